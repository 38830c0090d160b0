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
} // namespace

Station::Station(const ProgramFolder& folder, const QString& simulatedPortPath)
    : folder_(folder), laps_(board_, clock_, lapSettings_),
      mainWindow_(std::make_unique<TForm1>(board_)) {
    // Until the settings file is read, a fresh installation's defaults.
    lapSettings_.parallelPort = parallelPortSettings_.useParallelPort();
    lapSettings_.hwControl = parallelPortSettings_.hardwareControl();

    PortDriver::Options portOptions;
    portOptions.simulatedPortPath = simulatedPortPath;
    parallelPort_ = std::make_unique<ParallelPort>(PortDriver::Open(portOptions),
                                                   parallelPortSettings_);
    if (!parallelPort_->driver().error.isEmpty())
        std::fprintf(stderr, "vartemo: parallel port: %s\n",
                     qPrintable(parallelPort_->driver().error));

    semaforFrame_ = new SemaforFrame(mainWindow_->centralWidget());
    PlaceBeforeRaceLength(mainWindow_->controlRow(), semaforFrame_);
    parallelPort_->lights().setLampsChanged([this](LitLamp lit) { semaforFrame_->showLamp(lit); });

    laps_.setHooks(parallelPort_->lapHooks());
    kartPollTimer_.setTimerType(Qt::PreciseTimer);
    kartPollTimer_.setInterval(kKartPollMs);
    QObject::connect(&kartPollTimer_, &QTimer::timeout, [this] { laps_.PollAll(); });
    kartPollTimer_.start();

    if (parallelPortSettings_.hardwareControl())
        parallelPort_->pulse().StartPulse();
}

Station::~Station() = default;

void Station::show() {
    mainWindow_->show();
    // First showing: the input port taken again, at its idle value, the red light off.
    parallelPort_->addresses().updateInputPort();
    parallelPort_->lights().writeIdleValue();
    parallelPort_->lights().SetLights(kLightsRedOff);
}

} // namespace vartemo
