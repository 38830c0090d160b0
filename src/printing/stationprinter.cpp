#include "printing/stationprinter.h"

#include "printing/sheetprinter.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>

namespace vartemo {

StationPrinter::StationPrinter(QString pdfFolder)
    : pdfFolder_(std::move(pdfFolder)), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)),
      confirm_([](QPrinter& printer, QWidget* parent) {
          QPrintDialog dialog(&printer, parent);
          return dialog.exec() == QDialog::Accepted;
      }) {}

StationPrinter::~StationPrinter() = default;

bool StationPrinter::confirm(const Sheet& sheet, QWidget* parent) {
    ApplySheetPaper(*printer_, sheet);
    return confirm_(*printer_, parent);
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
    if (!pdfFolder_.isEmpty()) {
        QDir().mkpath(pdfFolder_);
        lastPdf_ = NextPdfPath(pdfFolder_, jobName);
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(lastPdf_);
    }
    printer_->setDocName(jobName);
    QPainter painter;
    if (!painter.begin(printer_.get()))
        return PrintCannotStartMessage(*printer_);
    draw(painter, printer_->pageLayout().paintRectPixels(printer_->resolution()));
    painter.end();
    return {};
}

QString StationPrinter::print(const Sheet& sheet, bool lowQuality,
                              const std::function<void(int, int)>& progress) {
    if (!pdfFolder_.isEmpty()) {
        QDir().mkpath(pdfFolder_);
        lastPdf_ = NextPdfPath(pdfFolder_, sheet.jobName);
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(lastPdf_);
    }
    return PrintSheet(*printer_, sheet, lowQuality, progress);
}

} // namespace vartemo
