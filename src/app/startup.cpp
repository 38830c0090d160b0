// The station's start-up and shutdown, step by step in their fixed order.
// Steps whose subsystems are not part of the station yet are named at their
// place so that they are connected there.

#include "app/station.h"

#include "about/tsplashscreen.h"
#include "about/versiontext.h"
#include "app/aboutwiring.h"
#include "app/logbookwiring.h"
#include "app/printingwindows.h"
#include "app/backupwiring.h"
#include "backup/tzalohujfrm.h"
#include "app/besttwentywiring.h"
#include "app/fleetwiring.h"
#include "app/startupstatus.h"
#include "app/statisticswiring.h"
#include "app/liveresultswiring.h"
#include "app/ridejournalwiring.h"
#include "app/spectatortables.h"
#include "app/tvdisplaywiring.h"
#include "app/soundpagewiring.h"
#include "engine/commandbuttons.h"
#include "engine/mainstatusbar.h"
#include "engine/raceboardview.h"
#include "engine/tform1.h"
#include "platform/processorload.h"
#include "platform/systeminfo.h"
#include "printing/defaultlogo.h"
#include "sensors/parallelport.h"
#include "sensors/receivers.h"
#include "ui/centreonscreen.h"

#include <QApplication>
#include <QBoxLayout>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QThread>
#include <QTimer>

#include <cstdio>

#include <utility>

namespace vartemo {

namespace {

// Start-up, the polls and the receivers go on while the operator reads a
// problem: the box stays on top of the main window without stopping anything.
void showError(QWidget* parent, const QString& text, const QString& caption) {
    auto* box = new QMessageBox(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("StartupError"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    box->setModal(false);
    box->show();
}

} // namespace

void WaitProcessingEvents(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(10);
    }
}

std::unique_ptr<TSplashScreen> Station::ShowSplash() {
    // 2. The splash window, before any other window.
    auto splash = std::make_unique<TSplashScreen>();
    splash->show();
    splash->setProgress(1);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return splash;
}

void Station::showStartupError(const QString& text, const QString& caption) {
    // Until the main window is up the boxes wait, so they open above it.
    if (mainWindow_->isVisible())
        showError(mainWindow_.get(), text, caption);
    else
        startupErrors_.append({text, caption});
}

void Station::reportReceiverFailure(const QString& message, const QString& caption) {
    const QString what = caption.isEmpty() ? message : caption + QStringLiteral(": ") + message;
    std::fprintf(stderr, "vartemo: receiver: %s\n", qPrintable(what.simplified()));
    AddLogEntry(QStringLiteral("Chyba přijímače ") + what.simplified());
    QString error;
    if (!programLog_.addError(QDateTime::currentDateTime(), what, &error))
        showStartupError(error);
    showStartupError(message, caption.isEmpty() ? TForm1::MainCaption() : caption);
}

void Station::logOutsideNotice(const QString& text) {
    std::fprintf(stderr, "vartemo: %s\n", qPrintable(text));
    QString error;
    programLog_.addError(QDateTime::currentDateTime(), text, &error);
}

void Station::setSplashProgress(int value) {
    splash_->setProgress(value);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void Station::buildMainWindowFrame() {
    // A fixed border with system menu and minimise button.
    mainWindow_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                                | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                                | Qt::WindowCloseButtonHint);
    commandButtons_ = new CommandButtons(mainWindow_.get());
    mainWindow_->commandButtons()->addWidget(commandButtons_);
    QObject::connect(commandButtons_, &CommandButtons::quit, mainWindow_.get(), &QWidget::close);
    commandButtons_->ApplyLayout(mainWindow_->boardView()->trackListsShown());
    QObject::connect(mainWindow_.get(), &TForm1::layoutApplied, commandButtons_,
                     &CommandButtons::ApplyLayout);
    MainStatusBar::Sources sources;
    sources.lptInUse = [this] { return settings_.useParallelPort(); };
    sources.comReceiving = [this] {
        return receivers_->serialPortOpen() || receivers_->CommThread().PortOpen || receivers_->CommThread1().PortOpen;
    };
    sources.load = processorLoad_.get();
    statusBar_ = new MainStatusBar(sources, mainWindow_.get());
    mainWindow_->setStatusBar(statusBar_);
    statusBar_->ApplyLayout(mainWindow_->boardView()->trackListsShown());
    QObject::connect(mainWindow_.get(), &TForm1::layoutApplied, statusBar_, &MainStatusBar::ApplyLayout);
    wireDesktop();
}

void Station::StartUp() {
    started_ = true;
    // 1. The single-instance check ran in main() before the station was made.
    // 2. Splash shown (ShowSplash). The help file for btnHelp: with the
    //    bundled help.

    // 3. The windows, in order. TForm1 exists (its creation registers the
    //    restore request and loads the parallel-port library); its frame:
    buildMainWindowFrame();
    setSplashProgress(10);
    // TDenikFrm: the log book window, made when first opened from the user panel.
    logBookWindow_ = std::make_unique<LogBookWiring>(
        LogBookWiring::Parts{.book = logBook_, .settings = settings_, .mainWindow = *mainWindow_,
                             .statusBar = *statusBar_,
                             .addLogEntry = [this](const QString& line) { AddLogEntry(line); }});
    setSplashProgress(20);
    // THlaseniDlg with the fleet; its TStav_KarFrm is made when first opened,
    // TUpravDlg with the best-twenty window.
    createFleet();
    setSplashProgress(30);
    // TTV_Out_Frm; TZalohujFrm when first opened (backupWindow()).
    tvDisplay_ = std::make_unique<TvDisplayWiring>(settings_, race_, laps_);
    liveResults_ = std::make_unique<LiveResultsWiring>(settings_, board_, race_, &tvDisplay_->window(),
                                                       [this](const QString& m) { showStartupError(m); });
    liveResults_->setNotice([this](const QString& text) { logOutsideNotice(text); });
    ConnectSpectatorTables(bestTwenty_->tables(), *tvDisplay_, *liveResults_);
    createSensorHealth();
    setSplashProgress(40);
    // The printing; its preview windows TNahled1Dlg, TNahled2Dlg, TNahled3Dlg
    // and TDiplomDlg are made when first opened.
    createPrinting();
    setSplashProgress(50);
    printing_->Connect(*commandButtons_);
    printing_->ConnectBestTwenty(*bestTwenty_);
    setSplashProgress(60);
    // TInformaceDlg
    about_ = std::make_unique<AboutWiring>(systemInfo_, folder_.root(), *mainWindow_);
    about_->createHistoryWindow();
    setSplashProgress(70);
    // TAboutBox, TNastavDlg
    about_->createAboutBox(*commandButtons_);
    createSettingsDialog();
    setSplashProgress(75);
    // TTopTen10Frm and TStat_Dlg, TStat1_Dlg: made when first opened.
    bestTwenty_->connectWindow(*commandButtons_);
    createStatistics();
    statistics_->connectButton(*commandButtons_);
    setSplashProgress(80);
    setSplashProgress(85);

    // 4. Status entry 1: the moment the windows exist. Status entry 2: the
    //    port driver opened with the main window (empty without any port).
    programLog_.setStart(QDateTime::currentDateTime());
    programLog_.setLine(StartupLine::PortLibrary, parallelPort_->driver().statusLine);

    // 5. The log book and this run's program-start entry.
    QString error;
    if (!logBook_.LoadLogBook(&error))
        showStartupError(error);
    statusBar_->setUserName(logBook_.CurrentOperator());

    // 6. The serial receiver reads its settings (section "ComPort1") from
    //    the settings whenever it opens.
    // 7., 8. Both infrared decoders with their registry settings.
    receivers_->loadDecoderSettings();
    AddLogEntry(QStringLiteral("Ovladač IR portu1 načten"));
    AddLogEntry(QStringLiteral("Ovladač IR portu2 načten"));
    // 9. The configuration file into the settings, which switches the chosen
    //    inputs on. Status entry 3.
    loadSettings();
    programLog_.setLine(StartupLine::Configuration, StatusLine(100041, true));

    // 10. The serial receiver check (only with "Použít COM"): status 4, 9, 10.
    RecordSerialReceiver(programLog_, serialReceiver_->CheckReceiver());

    // 11. The printing pictures: status 5, 6, 7 and the missing-logo message.
    //     A fresh installation has the logo the station draws, which the
    //     settings use while they name none: no box greets a new operator.
    if (!WriteDefaultLogo(folder_.defaultLogo()))
        std::fprintf(stderr, "vartemo: the default logo could not be written to %s\n",
                     qPrintable(folder_.defaultLogo()));
    const PictureFiles pictures{settings_.text(SettingId::DiplomaLogo), settings_.text(SettingId::DiplomaPicture),
                                settings_.text(SettingId::PrintLogo)};
    if (!RecordPictureFiles(programLog_, pictures, folder_.root())) {
        // The settings dialog's picture choice is cleared and starts in the
        // program folder's "Logo" then.
        showStartupError(kMissingLogoMessage);
    }

    // 12. The sound file selection (falls back to "zvuky\success.wav"; a
    //     first start writes the two sounds). 13. The media player made
    //     ready when the end-of-ride sound is on.
    soundPage_->prepareAtStartUp();
    // 14. The hardware-control timer with "Použít hardwarové řízení vartemy";
    //     the lights-off timer with "Zhasnout semafor ": the red light of the
    //     first showing goes off after its minutes when no ride comes.
    if (settings_.hardwareControl())
        parallelPort_->pulse().StartPulse();
    race_.ArmLightsOff();
    // 15. Kart status, the operator list and the due maintenance notices.
    startFleet();

    // 16. The version caption (the infrared decoders find the window by it)
    //     and the system information text for the program log.
    const VersionLabels version = LoadVersionText();
    mainWindow_->setWindowTitle(version.caption);
    programLog_.setSystemInfo(about_->setVersion(version));

    // 17. The best-twenty tables; the UDP ports when "Použít UDP/IP - sít" is on.
    bestTwenty_->load();

    // 18. Splash at 100, a moment to see it, then gone.
    setSplashProgress(100);
    WaitProcessingEvents(200);
    splash_.reset();

    // 19. The main window. Its first showing writes the program log and
    //     starts the status bar's tick (connectLogBook); on a desktop without
    //     a window manager its first activation would never come.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, mainWindow_.get(), [this] { ShutDown(); });
    commandButtons_->DisableUnconnected();
    mainWindow_->adjustSize();
    CentreOnScreen(*mainWindow_);
    startupEnded_ = true;
    mainWindow_->show();
    for (const auto& [text, caption] : std::exchange(startupErrors_, {}))
        showError(mainWindow_.get(), text, caption);
    // A ride the station was timing when it went down, settled as the main
    // loop begins, before the automatic start's first look.
    QTimer::singleShot(0, mainWindow_.get(), [this] { rideJournal_->RecoverUnclosedRide(); });
}

void Station::makeEveryWindow() {
    logBookWindow_->window();
    statistics_->lapDialog();
    statistics_->splitDialog();
    bestTwenty_->window();
    fleet_->statusWindow();
    backupWindow();
    printing_->bestTwentySheet();
    printing_->lapSheet();
    printing_->splitSheet();
    printing_->diploma();
}

TZalohujFrm& Station::backupWindow() {
    if (!backupWindow_)
        backupWindow_ = CreateBackupWindow({.programFolder = folder_.root(),
                                            .mainWindow = mainWindow_.get(),
                                            .addLogEntry = [this](const QString& line) { AddLogEntry(line); },
                                            .markEndingAfterRestore = [this] {
                                                endingAfterRestore_ = true;
                                                // The close leaves the restored stav.ini as it is.
                                                fleet_->setEndingAfterRestore(true);
                                            }});
    return *backupWindow_;
}

void Station::createPrinting() {
    printing_ = std::make_unique<PrintingWindows>(PrintingWindows::Sources{
        board_, race_, settings_, folder_.root(), printToPdf_, mainWindow_.get()});
    race_.feeds().autoPrint = [this] { return printing_->AutoPrint(); };
}

void Station::connectLogBook() {
    RaceFeeds& feeds = race_.feeds();
    feeds.currentOperator = [this] { return logBook_.CurrentOperator(); };
    feeds.addLogEntry = [this](const QString& line) { AddLogEntry(line); };
    // After what the parallel port does at the first showing.
    feeds.firstShow = [this, portFirstShow = std::move(feeds.firstShow)] {
        if (portFirstShow)
            portFirstShow();
        statusBar_->startTicking();
        statusBar_->MCPUUsage1Interval();
        writeProgramLog();
    };
}

void Station::AddLogEntry(const QString& text) {
    QString error;
    const bool written = logBook_.AddLogEntry(text, &error);
    // Once per failing spell: the operator learns that the log book is not
    // being kept, without a box for every line.
    if (!written && logBookWritable_)
        showStartupError(error);
    logBookWritable_ = written;
}

void Station::writeProgramLog() {
    QString error;
    if (!programLog_.WriteProgramLog(QDateTime::currentDateTime(), &error))
        showStartupError(error);
}

void Station::Restore() {
    if (!startupEnded_) {
        // The main window appears at its step: shown early, it would write
        // the program log and arm the automatic start before start-up is done.
        if (QWidget* up = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : splash_.get()) {
            up->raise();
            up->activateWindow();
        }
        qInfo("vartemo: restore request during start-up, the window that is up raised");
        return;
    }
    mainWindow_->setWindowState(mainWindow_->windowState() & ~Qt::WindowMinimized);
    mainWindow_->show();
    mainWindow_->raise();
    mainWindow_->activateWindow();
    qInfo("vartemo: restore request, main window restored");
}

void Station::ShutDown() {
    if (shutDown_ || !started_)
        return;
    shutDown_ = true;
    // By now the main window's close ran race control's FormClose (timers off,
    // then its closing feed: kart operating times to "stav.ini" unless the
    // program ends after a restore of a backup, the automatic FTP sending,
    // the mixer levels put back), and its destruction FormDestroy (screen
    // saver on, serial port closed, UDP server off). The infrared decoders
    // end with the receivers when the station goes; the parallel-port
    // library and the media player with theirs.
    // Passings a full queue had to drop during rides (a kart's code flooding
    // in): rare enough that the program log is the place to find them.
    if (laps_.droppedPassings() > 0)
        programLog_.addError(QDateTime::currentDateTime(),
                             QStringLiteral("Zahozené průjezdy (plná fronta): %1").arg(laps_.droppedPassings()));
    // Last, as the log book window goes: the program's end in the log book.
    logBook_.AddProgramEnd();
}

} // namespace vartemo
