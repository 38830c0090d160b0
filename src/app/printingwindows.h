#pragma once

#include "engine/raceboard.h"
#include "printing/resultsheet.h"

#include <QImage>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

class QWidget;

namespace vartemo {

class BestTwentyWiring;
class PrintPreviewDialog;
class CommandButtons;
class RaceControl;
class Settings;
class StationPrinter;
class TDiplomDlg;
class TNahled1Dlg;
class TNahled2Dlg;
class TNahled3Dlg;

// The station's printing: the lap and split sheets, the best-twenty sheet
// and the diploma with their preview windows and printers, fed from the
// race board, race control's ride names and the settings.
class PrintingWindows {
public:
    struct Sources {
        RaceBoard& board;
        RaceControl& race;
        Settings& settings;
        QString programFolder;
        QString pdfFolder; // --print-to-pdf: every job a PDF file there
        QWidget* mainWindow = nullptr;
    };
    explicit PrintingWindows(Sources sources);
    ~PrintingWindows();

    // The preview windows TNahled1Dlg, TNahled2Dlg, TNahled3Dlg and TDiplomDlg
    // are made when first needed: few runs open them, and each costs the
    // start-up time of a window with its pages.
    void Connect(CommandButtons& buttons);
    // The best-twenty window's "&Tisk" (its two tables grabbed as shown) and
    // its rows' "Tisk diplomu".
    void ConnectBestTwenty(BestTwentyWiring& bestTwenty);

    // Tisk1 and "Tisk výsledku jízd", also the settings' "Náhled".
    void ShowLapSheet();
    // "Tisk výsledku mezičasů".
    void ShowSplitSheet();
    // "Tisk diplomu" of the main window and the settings' " Náhled": the name
    // and placement as they were left.
    void ShowDiploma();
    // "Tisk diplomu" of a best-twenty row: its name, placement 0..4 (-1
    // keeps the last one).
    void ShowDiplomaFor(const QString& name, int placement);
    // "&Tisk" of the best-twenty window: the two tables as they are shown.
    void ShowBestTwentySheet(const QImage& men, const QImage& women);
    // The automatic print at the stop: every kart, no dialog; the problems
    // for race control to show after the stop.
    QStringList AutoPrint();

    // Each made now if it was not yet.
    TNahled2Dlg* lapSheet();
    TNahled3Dlg* splitSheet();
    TNahled1Dlg* bestTwentySheet();
    TDiplomDlg* diploma();
    StationPrinter& printer() { return *printer_; }

private:
    void showProblem(const QString& message) const;
    // The problems a preview meets (an empty sheet, a printer that failed) in a box.
    void connectProblems(PrintPreviewDialog* dialog);
    ResultSheetInput resultInput(BoardList list) const;

    Sources src_;
    std::unique_ptr<StationPrinter> printer_;
    std::unique_ptr<StationPrinter> diplomaPrinter_;
    // The windows belong to the main window (which may go first) and to
    // this object when there is none.
    QPointer<TNahled1Dlg> bestTwenty_;
    QPointer<TNahled2Dlg> lapSheet_;
    QPointer<TNahled3Dlg> splitSheet_;
    QPointer<TDiplomDlg> diploma_;
    QImage men_;
    QImage women_;
};

} // namespace vartemo
