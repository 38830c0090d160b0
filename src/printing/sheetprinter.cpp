#include "printing/sheetprinter.h"

#include "printing/pagerenderer.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

namespace vartemo {

void ApplySheetPaper(QPrinter& printer, const Sheet& sheet) {
    printer.setFullPage(true);
    const bool landscape = sheet.orientation == PaperOrientation::Landscape;
    const QSizeF portraitMm = landscape ? QSizeF(sheet.paper.height(), sheet.paper.width()) / 100.0
                                        : QSizeF(sheet.paper) / 100.0;
    printer.setPageSize(QPageSize(portraitMm, QPageSize::Millimeter));
    printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    printer.setDocName(sheet.jobName);
    printer.setCreator(QStringLiteral("Vartemo Kestral"));
}

QString PrintCannotStartMessage(const QPrinter& printer) {
    const QString name = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName()
                                                                        : printer.printerName();
    if (name.isEmpty())
        return QStringLiteral("Tisk nelze spustit: není nastavena žádná tiskárna. Nic nebylo vytištěno.");
    return QStringLiteral("Tisk nelze spustit: tiskárna \"%1\" není dostupná. Nic nebylo vytištěno.")
        .arg(name);
}

QString PrintSheet(QPrinter& printer, const Sheet& sheet, bool lowQuality,
                   const std::function<void(int, int)>& progress) {
    ApplySheetPaper(printer, sheet);
    QPainter painter;
    if (!painter.begin(&printer))
        return PrintCannotStartMessage(printer);
    // A full page: device coordinates start at the paper's corner.
    const QRect target(QPoint(0, 0), printer.paperRect(QPrinter::DevicePixel).size().toSize());
    const int count = int(sheet.pages.size());
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            printer.newPage();
        if (progress)
            progress(i + 1, count);
        RenderPage(painter, sheet.pages[size_t(i)], sheet.paper, target, lowQuality);
    }
    painter.end();
    return {};
}

} // namespace vartemo
