#include "app/station.h"

#include "engine/tform1.h"
#include "sensors/parallelport.h"
#include "sensors/semaforframe.h"

#include <QHBoxLayout>

#include <cstdio>

namespace vartemo {

namespace {
constexpr int kKartPollMs = 2;

// The lights sit in the control row before the race length.
void PlaceBeforeRaceLength(QHBoxLayout* row, QWidget* frame) {
    for (int i = 0; i < row->count(); ++i) {
        QWidget* w = row->itemAt(i)->widget();
        if (w && w->objectName() == QLatin1String("gbDelkaJizdy")) {
            row->insertWidget(i, frame);
            return;
        }
    }
    row->insertWidget(0, frame);
}

PortDriver OpenPortDriver(const QString& simulatedPortPath) {
    PortDriver::Options options;
    options.simulatedPortPath = simulatedPortPath;
    PortDriver driver = PortDriver::Open(options);
    if (!driver.error.isEmpty())
        std::fprintf(stderr, "vartemo: parallel port: %s\n", qPrintable(driver.error));
    return driver;
}
} // namespace

Station::Station(const ProgramFolder& folder, const QString& simulatedPortPath)
    : folder_(folder), settings_(folder.root()), lapSettings_(settings_),
      laps_(board_, clock_, lapSettings_), parallelPortSettings_(settings_),
      parallelPort_(std::make_unique<ParallelPort>(OpenPortDriver(simulatedPortPath),
                                                   parallelPortSettings_)),
      mainWindow_(std::make_unique<TForm1>(board_)) {
    // Wired before the settings load, so the loaded choices reach the port.
    wireParallelPort();
    // Connected before loading: the file's values act as the operator's changes do.
    connectSettings();
    settings_.loadFile(folder_.path(QStringLiteral("vartemo.ini")));
    // The window's own first layout need not match an unchanged setting.
    mainWindow_->ApplyLayout(settings_.showTrackSplits());
    mainWindow_->setCountsMinutes(settings_.countsMinutes());

    if (settings_.hardwareControl())
        parallelPort_->pulse().StartPulse();
}

void Station::wireParallelPort() {
    semaforFrame_ = new SemaforFrame(mainWindow_->centralWidget());
    PlaceBeforeRaceLength(mainWindow_->controlRow(), semaforFrame_);
    parallelPort_->lights().setLampsChanged([this](LitLamp lit) { semaforFrame_->showLamp(lit); });

    laps_.setHooks(parallelPort_->lapHooks());
    kartPollTimer_.setTimerType(Qt::PreciseTimer);
    kartPollTimer_.setInterval(kKartPollMs);
    QObject::connect(&kartPollTimer_, &QTimer::timeout, [this] { laps_.PollAll(); });
    kartPollTimer_.start();
}

// A port choice or a pulse length takes effect as soon as it changes. The
// base texts count as changes of the choice too: the light port's text is
// loaded after its choice, and would otherwise wait for the next click.
void Station::onParallelPortSetting(SettingId id) {
    switch (id) {
    case SettingId::StartPort:
    case SettingId::LPTxx_BASE:
        parallelPort_->addresses().updateInputPort();
        break;
    case SettingId::SemaforPort:
    case SettingId::Semafor_Base:
        parallelPort_->addresses().updateLightPort();
        break;
    case SettingId::SpinLOG0:
        parallelPort_->pulse().setLog0Ms(settings_.integer(id));
        break;
    case SettingId::SpinLOG1:
        parallelPort_->pulse().setLog1Ms(settings_.integer(id));
        break;
    default:
        break;
    }
}

void Station::connectSettings() {
    QObject::connect(&settings_, &Settings::changed, mainWindow_.get(), [this](SettingId id) {
        switch (id) {
        case SettingId::cbMezicasy:
            mainWindow_->ApplyLayout(settings_.showTrackSplits());
            break;
        case SettingId::cbMinuty:
            mainWindow_->setCountsMinutes(settings_.countsMinutes());
            break;
        case SettingId::cbBezUcasti:
            if (settings_.boolean(id))
                for (int kart = 1; kart <= kKartCount; ++kart)
                    board_.setExcluded(kart, true);
            break;
        default:
            onParallelPortSetting(id);
            break;
        }
    });
}

Station::~Station() = default;

void Station::show() {
    mainWindow_->show();
    // First showing: the input port taken again, at its idle value, the masks
    // taken from the settings, the red light off.
    parallelPort_->addresses().updateInputPort();
    parallelPort_->lights().reloadLightMasks();
    parallelPort_->lights().writeIdleValue();
    parallelPort_->lights().SetLights(kLightsRedOff);
}

} // namespace vartemo
