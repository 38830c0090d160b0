#pragma once

#include "printing/pagemodel.h"

#include <QPrinter>
#include <QString>
#include <functional>
#include <memory>

class QPainter;
class QRect;
class QWidget;

namespace vartemo {

// The station's printer with its setup dialog. The lap-sheet window owns
// one that the other sheets share; the diploma window has its own. With a
// PDF folder (--print-to-pdf DIR) every job becomes one PDF file there,
// named after the job with a running number, instead of a printer job.
class StationPrinter {
public:
    explicit StationPrinter(QString pdfFolder = {});
    ~StationPrinter();

    // Made at the first print: a printer loads the system's printing
    // service, which the station's start need not wait for.
    QPrinter& printer();
    const QString& pdfFolder() const { return pdfFolder_; }

    // The printer setup dialog for the sheet (its paper already set); false
    // when the operator cancels it. Tests replace the dialog.
    using Confirm = std::function<bool(QPrinter& printer, QWidget* parent)>;
    void setConfirm(Confirm confirm) { confirm_ = std::move(confirm); }
    bool confirm(const Sheet& sheet, QWidget* parent);

    // The setup dialog with the printer as it stands, for a print of a
    // window or a chart rather than a sheet; false when cancelled.
    bool confirmAsIs(const QString& jobName, QWidget* parent);
    // One page the caller paints (rect: the printable area in device
    // pixels); as a PDF file in the PDF folder when there is one. An empty
    // text or why it could not print.
    QString paint(const QString& jobName, const std::function<void(QPainter& painter, const QRect& rect)>& draw);

    // Prints every page without a dialog; an empty text or why it could not.
    QString print(const Sheet& sheet, bool lowQuality = false,
                  const std::function<void(int page, int count)>& progress = {});

    // The file the last job went to in the PDF folder.
    const QString& lastPdf() const { return lastPdf_; }

    // "<folder>/<job name> <n>.pdf" with the first n from 1 not yet taken.
    static QString NextPdfPath(const QString& folder, const QString& jobName);

private:
    // With a PDF folder: the printer writes the job's next free file there.
    // Set before the dialog too, so that it never offers to overwrite the
    // previous job's file.
    void aimAtNextPdf(const QString& jobName);
    // The job itself: aimed there, and that file becomes the last PDF.
    void beginPdfJob(const QString& jobName);

    QString pdfFolder_;
    std::unique_ptr<QPrinter> printer_;
    Confirm confirm_;
    QString lastPdf_;
};

} // namespace vartemo
