#pragma once

#include "analysis/statisticsdialog.h"

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace vartemo {

class CommandButtons;
class RaceBoard;
class Settings;
class StationPrinter;
class TNastavDlg;
class ResultsEditorPage;

// The statistics charts and the results editor in the station. "S&tatistika"
// opens the lap chart, its "   Mezičasy na dráze " the split chart; both
// read the race board and the sensors' identifiers and descriptions, print
// on the lap-sheet window's printer and open the best-twenty window. The
// results editor is a page of the settings dialog.
class StatisticsWiring {
public:
    struct Parts {
        RaceBoard& board;
        Settings& settings;
        QWidget& mainWindow;
        QString resultsFolder;
        StationPrinter& printer;
        std::function<void()> showBestTwenty;
    };
    explicit StatisticsWiring(Parts parts);

    // Start-up step 3 (progress 80): "Statistika" opens TStat_Dlg. The chart
    // dialogs are made when first opened: their charts cost more than the
    // rest of the start-up, and most runs never look at them.
    void connectButton(CommandButtons& buttons);
    // The editor page of the settings dialog.
    void addResultsEditor(TNastavDlg& settingsDialog);

    // The lap chart (made now if it was not yet) and the split chart, which
    // its "   Mezičasy na dráze " opens.
    TStat_Dlg* lapDialog();
    TStat1_Dlg* splitDialog();
    ResultsEditorPage* resultsEditor() const { return editor_; }

    // The main window's save dialog: name proposed, "caption|pattern|..." filter.
    static std::optional<QString> AskSaveFile(QWidget* parent, const QString& folder, const QString& name,
                                              const QString& filter);

private:
    StatisticsDialog::Sources sources();

    Parts parts_;
    TStat_Dlg* lapDialog_ = nullptr;
    TStat1_Dlg* splitDialog_ = nullptr;
    ResultsEditorPage* editor_ = nullptr;
};

} // namespace vartemo
