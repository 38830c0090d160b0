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

    // Start-up step 3 (progress 80): TStat_Dlg, opened by "Statistika".
    void createLapDialog(CommandButtons& buttons);
    // Start-up step 3 (progress 85): TStat1_Dlg.
    void createSplitDialog();
    // The editor page of the settings dialog.
    void addResultsEditor(TNastavDlg& settingsDialog);

    TStat_Dlg* lapDialog() const { return lapDialog_; }
    TStat1_Dlg* splitDialog() const { return splitDialog_; }
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
