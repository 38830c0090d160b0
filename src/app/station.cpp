#include "app/station.h"

#include "about/tsplashscreen.h"
#include "app/aboutwiring.h"
#include "app/logbookwiring.h"
#include "app/printingwindows.h"
#include "app/besttwentywiring.h"
#include "records/toptables.h"
#include "app/fleetwiring.h"
#include "app/receiverstartupcheck.h"
#include "app/helpcommand.h"
#include "app/settingsdialogwiring.h"
#include "app/statisticswiring.h"
#include "records/ttopten10frm.h"
#include "app/ftppagewiring.h"
#include "app/soundpagewiring.h"
#include "sound/soundplayer.h"
#include "config/tnastavdlg.h"
#include "backup/tzalohujfrm.h"
#include "app/startupstatus.h"
#include "app/liveresultswiring.h"
#include "app/ridejournalwiring.h"
#include "app/sensorhealthwiring.h"
#include "app/terminationsignals.h"
#include "app/tvdisplaywiring.h"
#include "engine/lapfilecommands.h"
#include "engine/racecontrolpanel.h"
#include "engine/tform1.h"
#include "platform/linuxmodemstatusport.h"
#include "platform/mixer.h"
#include "platform/recordstreamport.h"
#include "platform/processorload.h"
#include "platform/screensaverinhibitor.h"
#include "platform/systeminfo.h"
#include "sensors/ircodedelivery.h"
#include "sensors/receivers.h"
#include "sensors/parallelport.h"
#include "sensors/semaforframe.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <cstdio>

namespace vartemo {

namespace {
PortDriver OpenPortDriver(const QString& simulatedPortPath) {
    PortDriver::Options options;
    options.simulatedPortPath = simulatedPortPath;
    PortDriver driver = PortDriver::Open(options);
    if (!driver.error.isEmpty())
        std::fprintf(stderr, "vartemo: parallel port: %s\n", qPrintable(driver.error));
    return driver;
}
} // namespace

Station::Station(const ProgramFolder& folder, const QString& simulatedPortPath, bool irRecordStreams)
    : folder_(folder), mixerOpening_(std::async(std::launch::async, [] { return OpenAlsaMixer(); })),
      splash_(ShowSplash()), settings_(folder.root()), lapSettings_(settings_),
      laps_(board_, clock_, lapSettings_), parallelPortSettings_(settings_),
      parallelPort_(
          std::make_unique<ParallelPort>(OpenPortDriver(simulatedPortPath), parallelPortSettings_)),
      receiverSettings_(settings_), receivers_(createReceivers(irRecordStreams)), raceSettings_(settings_),
      race_(board_, laps_, clock_, raceSettings_,
            RaceControl::Hardware{&parallelPort_->lights(), &parallelPort_->inputs(),
                                  receivers_.get()}),
      mainWindow_(std::make_unique<TForm1>(board_)), logBook_(folder.path(QStringLiteral("vartemo.den"))),
      programLog_(folder.path(QStringLiteral("vartemo.log"))),
      systemInfo_(std::make_unique<LinuxSystemInfoSource>()),
      processorLoad_(std::make_unique<ProcStatProcessorLoad>()),
      serialReceiver_(std::make_unique<ReceiverStartupCheck>(
          *receivers_, receiverSettings_,
          ReceiverStartupCheck::Hooks{.addLogEntry = [this](const QString& text) { AddLogEntry(text); },
                                      .showError = [this](const QString& text) { showStartupError(text); },
                                      .wait = &WaitProcessingEvents})) {
    laps_.setHealth(&health_);
    // A datagram from an address that is neither the lap sensor nor one of
    // the trackside sensors listed in the settings (when any is listed).
    receivers_->setHealth(&health_, [this](const QString& address) {
        bool listed = false;
        for (int sensor = 1; sensor <= 10; ++sensor) {
            const QString known = settings_.sensorAddress(sensor).trimmed();
            listed = listed || !known.isEmpty();
            if (known == address)
                return true;
        }
        return !listed || address == settings_.lapSensorAddress().trimmed();
    });
    irCodes_ = std::make_unique<IrCodeHandler>(laps_, &health_);
    mainWindow_->installEventFilter(irCodes_.get());
    race_.setResultsFolder(folder_.resultsFolder());
    race_.feeds().showError = [this](const QString& message) {
        QMessageBox::critical(mainWindow_.get(), QString(), message);
    };
    new RaceControlPanel(*mainWindow_, race_);
    new LapFileCommands(*mainWindow_, board_, folder_.resultsFolder());
    // Wired before the settings load, so the loaded choices reach the port.
    wireParallelPort();
    connectLogBook();
    bestTwenty_ = std::make_unique<BestTwentyWiring>(BestTwentyWiring::Parts{
        .folder = folder_, .board = board_, .feeds = race_.feeds(), .mainWindow = *mainWindow_,
        .boardView = *mainWindow_->boardView(),
        .addLogEntry = [this](const QString& line) { AddLogEntry(line); },
        .currentOperator = [this] { return logBook_.CurrentOperator(); }});
    rideJournal_ = std::make_unique<RideJournalWiring>(RideJournalWiring::Parts{
        .folder = folder_.path(QStringLiteral("jizdy")), .race = race_, .mainWindow = *mainWindow_,
        .clock = clock_, .addLogEntry = [this](const QString& line) { AddLogEntry(line); },
        .tell = [this](const QString& text) { showStartupError(text); },
        .given = RideAnswer::Ask, .endingFromOutside = &EndingBySignal});
}

TopTables& Station::topTables() {
    return bestTwenty_->tables();
}

// Start-up step 9: the configuration file into the settings.
void Station::loadSettings() {
    // The serial receiver's port is left to the receiver check that follows.
    loadingSettings_ = true;
    settings_.loadFile(folder_.path(QStringLiteral("vartemo.ini")), soundPage_->hardware());
    soundPage_->applyLevels();
    loadingSettings_ = false;
    // The network receiver's listening ports; race control activates them.
    if (settings_.useNetwork())
        receivers_->bindNetworkPorts();
    // The window's own first layout need not match an unchanged setting.
    mainWindow_->ApplyLayout(settings_.showTrackSplits());
    mainWindow_->setCountsMinutes(settings_.countsMinutes());
}

void Station::wireParallelPort() {
    semaforFrame_ = new SemaforFrame(mainWindow_->centralWidget());
    mainWindow_->insertBeforeRaceLength(semaforFrame_);
    parallelPort_->lights().setLampsChanged([this](LitLamp lit) { semaforFrame_->showLamp(lit); });

    laps_.setHooks(parallelPort_->lapHooks());
    // First showing: the input port address taken again, the light masks
    // from the settings (race control then writes the idle value and lights).
    race_.feeds().firstShow = [this] {
        parallelPort_->addresses().updateInputPort();
        parallelPort_->lights().reloadLightMasks();
    };
}

std::unique_ptr<Receivers> Station::createReceivers(bool irRecordStreams) {
    auto receivers = std::make_unique<Receivers>(Receivers::Dependencies{
        .laps = laps_,
        .settings = receiverSettings_,
        .registry = registry_,
        .infrared = {.postIrCode = [](quint32 code, std::optional<TimeUs> at) { PostIrCodeToMainWindow(code, at); }, .showError = {}, .logPath = folder_.path(QStringLiteral("log.txt"))},
        .makeModemPort = [irRecordStreams]() -> std::unique_ptr<ModemStatusPort> {
            if (irRecordStreams)
                return std::make_unique<RecordStreamPort>();
            return std::make_unique<LinuxModemStatusPort>();
        },
        .reportFailure = [this](const QString& message, const QString& caption) {
            reportReceiverFailure(message, caption);
        },
        .postIrCodeFrom = [](int receiver, quint32 code, std::optional<TimeUs> frameStart) {
            PostIrCodeToMainWindow(code, frameStart, receiver);
        }});
    receivers->IdUDPServer1().setNotice([this](const QString& text) { logOutsideNotice(text); });
    return receivers;
}

// Start-up step 3: the settings dialog, with the handlers of the settings
// that act at once. Made before the load, so the file's values act as the
// operator's changes do.
void Station::createSettingsDialog() {
    settingsDialog_ = std::make_unique<SettingsDialogWiring>(SettingsDialogWiring::Parts{
        settings_, *mainWindow_, laps_, *receivers_, *parallelPort_, race_, board_, autostart_,
        folder_.root(), loadingSettings_,
        [this] { return bestTwenty_->tables().Reset(); },
        [this] { backupWindow().exec(); },
        [this](QString* error) { return logBook_.ClearLogBook(error); }});
    settingsDialog_->connectButton(*commandButtons_);
    wireSoundsAndFtp();
    // The print pages' previews show the sheets the print buttons make.
    TNastavDlg::Hooks& hooks = settingsDialog_->dialog().hooks();
    hooks.printPreview = [this] { printing_->ShowLapSheet(); };
    hooks.diplomaPreview = [this] { printing_->ShowDiploma(); };
    hooks.healthStripShown = [this] { return sensorHealth_->stripShown(); };
    hooks.showHealthStrip = [this](bool shown) { sensorHealth_->setStripShown(shown); };
}

// The sensor strip under the race board, the overdue marks of the board
// and the live results; the settings dialog shows or hides the strip.
void Station::createSensorHealth() {
    sensorHealth_ = std::make_unique<SensorHealthWiring>(SensorHealthWiring::Parts{
        .health = health_, .clock = clock_, .settings = settings_, .mainWindow = *mainWindow_,
        .board = board_, .race = race_, .laps = laps_, .receivers = *receivers_,
        .parallelPort = *parallelPort_, .registry = registry_,
        .liveResults = &liveResults_->liveResults(),
        .addLogEntry = [this](const QString& line) { AddLogEntry(line); }});
}

// The statistics charts print on the lap-sheet window's printer and open
// the best-twenty window; their editor page joins the settings dialog.
void Station::createStatistics() {
    statistics_ = std::make_unique<StatisticsWiring>(StatisticsWiring::Parts{
        .board = board_, .settings = settings_, .mainWindow = *mainWindow_,
        .resultsFolder = folder_.resultsFolder(), .printer = printing_->printer(),
        .showBestTwenty = [this] {
            if (TTopTen10Frm* window = bestTwenty_->window())
                window->ShowModal();
        }});
    statistics_->addResultsEditor(settingsDialog_->dialog());
}

Station::~Station() {
    ShutDown();
    // The dialog and the window go first: the window's destruction still
    // switches the receivers off. The pages' wiring before their dialog.
    ftpPage_.reset();
    soundPage_.reset();
    settingsDialog_.reset();
    mainWindow_.reset();
    rideJournal_.reset();
}

void Station::show() {
    StartUp();
}

} // namespace vartemo
