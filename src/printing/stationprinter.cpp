#include "printing/stationprinter.h"

#include "printing/sheetprinter.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>

namespace vartemo {

StationPrinter::StationPrinter(QString pdfFolder)
    : pdfFolder_(std::move(pdfFolder)),
      confirm_([](QPrinter& printer, QWidget* parent) {
          QPrintDialog dialog(&printer, parent);
          return dialog.exec() == QDialog::Accepted;
      }) {}

StationPrinter::~StationPrinter() = default;

QPrinter& StationPrinter::printer() {
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

bool StationPrinter::confirm(const Sheet& sheet, QWidget* parent) {
    ApplySheetPaper(printer(), sheet);
    aimAtNextPdf(sheet.jobName);
    return confirm_(printer(), parent);
}

bool StationPrinter::confirmAsIs(const QString& jobName, QWidget* parent) {
    aimAtNextPdf(jobName);
    return confirm_(printer(), parent);
}

void StationPrinter::aimAtNextPdf(const QString& jobName) {
    if (pdfFolder_.isEmpty())
        return;
    QDir().mkpath(pdfFolder_);
    printer().setOutputFormat(QPrinter::PdfFormat);
    printer().setOutputFileName(NextPdfPath(pdfFolder_, jobName));
}

void StationPrinter::beginPdfJob(const QString& jobName) {
    aimAtNextPdf(jobName);
    if (!pdfFolder_.isEmpty())
        lastPdf_ = printer().outputFileName();
}

QString StationPrinter::NextPdfPath(const QString& folder, const QString& jobName) {
    const QDir dir(folder);
    for (int n = 1;; ++n) {
        const QString path = dir.filePath(QStringLiteral("%1 %2.pdf").arg(jobName).arg(n));
        if (!QFileInfo::exists(path))
            return path;
    }
}

QString StationPrinter::paint(const QString& jobName,
                              const std::function<void(QPainter&, const QRect&)>& draw) {
    beginPdfJob(jobName);
    printer().setDocName(jobName);
    QPainter painter;
    if (!painter.begin(&printer()))
        return PrintCannotStartMessage(printer());
    draw(painter, printer().pageLayout().paintRectPixels(printer().resolution()));
    painter.end();
    return {};
}

QString StationPrinter::print(const Sheet& sheet, bool lowQuality,
                              const std::function<void(int, int)>& progress) {
    beginPdfJob(sheet.jobName);
    return PrintSheet(printer(), sheet, lowQuality, progress);
}

} // namespace vartemo
