#pragma once

#include "printing/pagemodel.h"

#include <QDialog>
#include <functional>

class QBoxLayout;
class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace vartemo {

class PageView;
class StationPrinter;

// The preview window every sheet shares: zoom, whole page, the measuring
// unit, the fast low-quality print, paging, print and close, and the
// composing state with its wait text and progress bar. A sheet's window
// derives from it, adds its own controls to extraControls() and composes its
// pages in composeSheet(). Every activation composes anew.
class PrintPreviewDialog : public QDialog {
    Q_OBJECT
public:
    struct Options {
        QString caption;          // before the first composing
        QSize size;               // the window's design size
        bool compactPaging = false; // paging writes "1/2" (the best-twenty window)
        bool waitIndicator = true;  // the wait text and progress bar while composing
        int composePauseMs = 250;   // the pause before composing ends
    };
    PrintPreviewDialog(StationPrinter& printer, Options options, QWidget* parent = nullptr);
    ~PrintPreviewDialog() override;

    // Composes the pages anew and shows the first.
    void ComposePages();
    bool composing() const { return composing_; }
    const Sheet& sheet() const { return sheet_; }
    int currentPage() const { return page_; } // 1-based; 0 before composing
    int zoom() const { return zoom_; }
    void setZoom(int percent);
    void zoomWholePage();
    bool lowQuality() const;

    // "Tisk": the printer dialog, then every page; the window closes in any case.
    void PrintBtnClick();
    // Composes and prints without the printer dialog (the automatic print);
    // the problems of composing and printing are returned.
    QStringList PrintWithoutDialog();

    // The application title the captions start with.
    static QString ApplicationTitle();
    // The measuring units of "Rozlišení".
    static QStringList UnitNames();

signals:
    void composed();
    // A message for the operator (unreadable lines, a print that cannot
    // start); an automatic print returns them instead.
    void problem(const QString& message);

protected:
    virtual Sheet composeSheet(const std::function<void(int done, int planned)>& progress) = 0;
    QBoxLayout* extraControls() const { return extra_; }
    StationPrinter& stationPrinter() { return printer_; }
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void done(int result) override;

private:
    void setComposingState(bool composing);
    void finishComposing();
    void printPages();
    // A problem is shown at once, or kept for the caller of an automatic print.
    void report(const QString& message);
    void showPage(int page);
    void writePageLabel(bool paging);
    void writeZoomLabel();
    int wholePageZoom() const;

    StationPrinter& printer_;
    Options options_;
    Sheet sheet_;
    int page_ = 0;
    int zoom_ = 100;
    bool composing_ = false;
    bool printing_ = false;
    bool activationCompose_ = false;
    QStringList* collecting_ = nullptr;
    int composeRun_ = 0;

    QLabel* zoomLabel_ = nullptr;
    QToolButton* zoomIn_ = nullptr;
    QToolButton* zoomOut_ = nullptr;
    QPushButton* allPage_ = nullptr;
    QComboBox* unitBox_ = nullptr;
    QCheckBox* quality_ = nullptr;
    QLabel* pageLabel_ = nullptr;
    QPushButton* prevPage_ = nullptr;
    QPushButton* nextPage_ = nullptr;
    QPushButton* printBtn_ = nullptr;
    QPushButton* closeBtn_ = nullptr;
    QLabel* waitLabel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QBoxLayout* extra_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    PageView* view_ = nullptr;
};

} // namespace vartemo
