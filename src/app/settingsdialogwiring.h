#pragma once

#include "config/receiversdialogadapter.h"
#include "config/settingid.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace vartemo {

class AutostartEntry;
class CommandButtons;
class LapComputation;
class ParallelPort;
class RaceBoard;
class RaceControl;
class Receivers;
class Settings;
class TForm1;
class TNastavDlg;

// The settings dialog in the station: made at start-up, shown by
// btnNastaveni, and the handlers through which a changed setting reaches the
// main window, the parallel port and the process at once.
class SettingsDialogWiring {
public:
    struct Parts {
        Settings& settings;
        TForm1& mainWindow;
        LapComputation& laps;
        Receivers& receivers;
        ParallelPort& parallelPort;
        RaceControl& race;
        RaceBoard& board;
        AutostartEntry& autostart;
        QString programFolder;
        const bool& loadingSettings; // start-up step 9 runs
        // The maintenance buttons' subsystems (empty: not in the station).
        std::function<QStringList()> resetBestTwenty; // problems met, empty when done
        std::function<void()> showBackup;
        std::function<bool(QString* error)> clearLogBook;
    };

    explicit SettingsDialogWiring(Parts parts);
    ~SettingsDialogWiring();

    TNastavDlg& dialog() { return *dialog_; }
    // btnNastaveni: the dialog, modal on the main window.
    void connectButton(CommandButtons& buttons);
    void showDialog();
    // Sized to its pages and centred on the main window, kept on the screen.
    void placeDialog();

private:
    void onSettingChanged(SettingId id);
    void onParallelPortSetting(SettingId id);
    void setStayOnTop(bool on);
    void createDesktopLauncher();

    Parts parts_;
    ReceiversDialogAdapter receivers_;
    std::unique_ptr<TNastavDlg> dialog_;
};

} // namespace vartemo
