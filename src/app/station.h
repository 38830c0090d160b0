#pragma once

#include "config/settings.h"
#include "config/settingslapsettings.h"
#include "config/settingsparallelportsettings.h"
#include "config/settingsracesettings.h"
#include "core/clock.h"
#include "core/programfolder.h"
#include "engine/lapcomputation.h"
#include "engine/raceboard.h"
#include "engine/racecontrol.h"
#include "engine/sensorhealth.h"
#include "platform/autostartentry.h"
#include "platform/fileregistrystore.h"
#include "engine/racecontrol.h"
#include "logbook/logbook.h"
#include "logbook/programlog.h"
#include "sensors/settingsreceiversettings.h"

#include <future>
#include <memory>

namespace vartemo {

class AboutWiring;
class BestTwentyWiring;
class LogBookWiring;
class CommandButtons;
class FleetWiring;
class HelpCommand;
class ScreenSaverInhibitor;
class IrCodeHandler;
class MainStatusBar;
class PrintingWindows;
class ParallelPort;
class ProcessorLoad;
class Receivers;
class SemaforFrame;
class SerialReceiverProbe;
class SettingsDialogWiring;
class StatisticsWiring;
class SystemInfoSource;
class TForm1;
class TSplashScreen;
class TZalohujFrm;
class TopTables;
class TvDisplayWiring;
class FtpPageWiring;
class SoundPageWiring;
class SoundPlayer;
class LiveResultsWiring;
class Mixer;
class RideJournalWiring;
class SensorHealthWiring;

// Lets events (painting, port line changes) be handled for ms milliseconds
// while start-up runs before the event loop.
void WaitProcessingEvents(int ms);

// The whole timing station of one run: every subsystem and window, created
// once at start-up in order and wired together here.
class Station {
public:
    // simulatedPortPath: the simulated parallel port to use instead of the real one.
    // irRecordStreams: the infrared ports carry modem-status records (simulators).
    explicit Station(const ProgramFolder& folder, const QString& simulatedPortPath = {},
                     bool irRecordStreams = false);
    ~Station();

    // Every print job as a PDF file in this folder (before show()).
    void setPrintToPdf(const QString& folder) { printToPdf_ = folder; }
    PrintingWindows& printing() { return *printing_; }

    // Runs the start-up sequence and shows the main window.
    void show();
    TForm1& mainWindow() { return *mainWindow_; }
    Receivers& receivers() { return *receivers_; }
    Settings& settings() { return settings_; }
    SettingsDialogWiring& settingsDialog() { return *settingsDialog_; }
    ParallelPort& parallelPort() { return *parallelPort_; }
    RaceControl& raceControl() { return race_; }
    RaceBoard& board() { return board_; }
    LapComputation& laps() { return laps_; }
    LogBook& logBook() { return logBook_; }
    // The log book window and the information windows (after start-up step 3).
    LogBookWiring& logBookWindow() { return *logBookWindow_; }
    AboutWiring& about() { return *about_; }
    // The kart fleet: status records, their window and the notices.
    FleetWiring& fleet() { return *fleet_; }
    // The best-twenty tables (change notice, rows, reset) and their window's hooks.
    TopTables& topTables();
    BestTwentyWiring& bestTwenty() { return *bestTwenty_; }
    // The statistics charts and the results editor page.
    StatisticsWiring& statistics() { return *statistics_; }
    // The ride journal, the start-up question after an outage and "Konec"
    // during a ride.
    RideJournalWiring& rideJournal() { return *rideJournal_; }
    // The sensors' health, its strip under the race board and the overdue marks.
    SensorHealth& health() { return health_; }
    SensorHealthWiring& sensorHealth() { return *sensorHealth_; }
    // An event under this run in the log book; a failed write is shown.
    void AddLogEntry(const QString& text);

    // The windows that are made when first opened, made now (after show()):
    // for checks that look at every window of the station.
    void makeEveryWindow();

    // A second start asked for the station: restore and raise the main window.
    void Restore();

    // "Zálohování"; the settings dialog opens it (made when first opened).
    TZalohujFrm& backupWindow();
    // The program ends after a restore of a backup: the closing must not
    // write the kart status (stav.ini) over the restored one.
    bool endingAfterRestore() const { return endingAfterRestore_; }

private:
    // The start-up and shutdown sequences (startup.cpp).
    static std::unique_ptr<TSplashScreen> ShowSplash();
    void StartUp();
    void buildMainWindowFrame();
    void ShutDown();
    void setSplashProgress(int value);
    void showStartupError(const QString& text, const QString& caption = QString());
    // A receiver could not open: its box, the log book and the program log.
    void reportReceiverFailure(const QString& message, const QString& caption);
    // Bytes from outside that the station refused (datagrams of no kart,
    // requests the page does not take): told once per kind, into vartemo.log.
    void logOutsideNotice(const QString& text);
    void writeProgramLog();
    void connectLogBook();
    void createPrinting();
    void loadSettings();
    void createSettingsDialog();
    void createStatistics();
    void createSensorHealth();
    std::unique_ptr<Receivers> createReceivers(bool irRecordStreams);
    void wireParallelPort();
    void createFleet();
    void startFleet();
    void wireDesktop(); // desktopwiring.cpp
    void wireSoundsAndFtp(); // soundftpwiring.cpp

    ProgramFolder folder_;
    // The sound card's mixer takes milliseconds to open (the sound server is
    // asked): opened beside the building of the windows, taken by the sound
    // page when it is made.
    std::future<std::unique_ptr<Mixer>> mixerOpening_;
    // From the first step of start-up to its end: created before the windows.
    std::unique_ptr<TSplashScreen> splash_;
    SteadyClock clock_;
    // Before everything that reports to it.
    SensorHealth health_;
    RaceBoard board_;
    FileRegistryStore registry_;
    AutostartEntry autostart_;
    Settings settings_;
    SettingsLapSettings lapSettings_;
    LapComputation laps_;
    SettingsParallelPortSettings parallelPortSettings_;
    std::unique_ptr<ParallelPort> parallelPort_;
    SettingsReceiverSettings receiverSettings_;
    std::unique_ptr<Receivers> receivers_;
    SettingsRaceSettings raceSettings_;
    RaceControl race_;
    std::unique_ptr<TForm1> mainWindow_;
    std::unique_ptr<IrCodeHandler> irCodes_;
    SemaforFrame* semaforFrame_ = nullptr;
    // The spectators' TV display (start-up step 3).
    std::unique_ptr<TvDisplayWiring> tvDisplay_;
    // The live results page for the spectators' phones.
    std::unique_ptr<LiveResultsWiring> liveResults_;
    std::unique_ptr<SensorHealthWiring> sensorHealth_;
    std::unique_ptr<SettingsDialogWiring> settingsDialog_;
    // Sounds, the card's mixer and the FTP page (with the settings dialog).
    std::unique_ptr<SoundPlayer> soundPlayer_;
    std::unique_ptr<SoundPageWiring> soundPage_;
    std::unique_ptr<FtpPageWiring> ftpPage_;

    // Operator log, start-up record and the main window's frame.
    LogBook logBook_;
    ProgramLog programLog_;
    std::shared_ptr<SystemInfoSource> systemInfo_;
    std::unique_ptr<LogBookWiring> logBookWindow_;
    std::unique_ptr<AboutWiring> about_;
    std::unique_ptr<ProcessorLoad> processorLoad_;
    std::unique_ptr<SerialReceiverProbe> serialReceiver_;
    CommandButtons* commandButtons_ = nullptr;
    QString printToPdf_;
    std::unique_ptr<PrintingWindows> printing_;
    std::unique_ptr<HelpCommand> help_;
    std::unique_ptr<ScreenSaverInhibitor> screenSaver_;
    std::unique_ptr<BestTwentyWiring> bestTwenty_;
    std::unique_ptr<StatisticsWiring> statistics_;
    MainStatusBar* statusBar_ = nullptr;
    std::unique_ptr<FleetWiring> fleet_;
    std::unique_ptr<TZalohujFrm> backupWindow_;
    bool endingAfterRestore_ = false;
    std::unique_ptr<RideJournalWiring> rideJournal_;
    QList<std::pair<QString, QString>> startupErrors_; // text, caption
    bool loadingSettings_ = false;
    bool logBookWritable_ = true;
    bool started_ = false;
    // Until then a restore request raises the window that is up (the splash,
    // a start-up dialog), not the main window.
    bool startupEnded_ = false;
    bool shutDown_ = false;
};

} // namespace vartemo
