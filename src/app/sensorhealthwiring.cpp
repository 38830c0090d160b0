#include "app/sensorhealthwiring.h"

#include "config/settings.h"
#include "engine/lapcomputation.h"
#include "engine/raceboard.h"
#include "engine/raceboardview.h"
#include "engine/racecontrol.h"
#include "engine/sensorhealthtexts.h"
#include "engine/tform1.h"
#include "platform/registrystore.h"
#include "sensors/parallelport.h"
#include "sensors/receivers.h"
#include "sensors/sensorhealthstrip.h"
#include "spectators/liveresults.h"

namespace vartemo {

namespace {
// The tooltips' "heard 12 s ago" is written afresh every few ticks.
constexpr int kFiguresEveryTicks = 4;
} // namespace

const QString SensorHealthWiring::kRegistryKey = QStringLiteral("Software\\vartemo_kestral\\zdravi");
const QString SensorHealthWiring::kShownValue = QStringLiteral("Pruh");

SensorHealthWiring::SensorHealthWiring(Parts parts, QObject* parent) : QObject(parent), parts_(std::move(parts)) {
    strip_ = new SensorHealthStrip(parts_.mainWindow.centralWidget());
    parts_.mainWindow.insertBelowBoard(strip_);
    const auto stored = parts_.registry.readBinary(kRegistryKey, kShownValue);
    shown_ = !stored || stored->isEmpty() || stored->at(0) != 0;
    strip_->setVisible(shown_);

    // START: the ride's figures begin anew (the STOP keeps them to look at).
    connect(&parts_.race, &RaceControl::captionChanged, this, [this](const QString& caption) {
        if (caption == QLatin1String("&STOP"))
            parts_.health.rideStarted(parts_.clock.nowUs());
        tick();
    });
    timer_.setInterval(kTickMs);
    connect(&timer_, &QTimer::timeout, this, &SensorHealthWiring::tick);
    timer_.start();
}

void SensorHealthWiring::setStripShown(bool shown) {
    if (shown_ != shown) {
        shown_ = shown;
        parts_.registry.writeBinary(kRegistryKey, kShownValue, QByteArray(1, shown ? '\1' : '\0'));
    }
    strip_->setVisible(shown);
    if (shown)
        tick();
}

void SensorHealthWiring::tick() {
    const TimeUs now = parts_.clock.nowUs();
    updateSourcesInUse();
    sampleContacts(now);
    sampleInfrared(now);
    updateOverdue(now);
    const bool changed = parts_.health.takeChanged();
    if (shown_)
        strip_->showHealth(parts_.health, now, changed || ++ticks_ % kFiguresEveryTicks == 0);
}

void SensorHealthWiring::updateSourcesInUse() {
    SensorHealth& h = parts_.health;
    const Settings& s = parts_.settings;
    for (int input = 1; input <= SensorHealth::kContacts; ++input)
        h.setInUse(SensorHealth::contact(input), s.useParallelPort());
    const bool com = s.useSerial();
    const bool rxd = parts_.receivers.serialInputIsRxd();
    h.setInUse(SensorHealth::serial(), com && rxd);
    const QString first = parts_.receivers.CommThread().ComName;
    const QString second = parts_.receivers.CommThread1().ComName;
    h.setInUse(SensorHealth::infrared(1), com && !rxd && !first.isEmpty());
    h.setInUse(SensorHealth::infrared(2), com && !rxd && !second.isEmpty() && second != first);
    // The lap sensor and the trackside sensors of the settings, and every
    // other address heard: a silent one shows as such.
    const bool network = s.useNetwork();
    if (network)
        for (int sensor = 0; sensor <= 10; ++sensor)
            if (const QString address = s.sensorAddress(sensor).trimmed(); !address.isEmpty())
                h.network(address);
    for (int slot = SensorHealth::firstNetwork(); slot < SensorHealth::kSourceCount; ++slot)
        h.setInUse(slot, network && !h.source(slot).address.isEmpty());
}

void SensorHealthWiring::sampleContacts(TimeUs now) {
    if (!parts_.settings.useParallelPort())
        return;
    for (int input = 1; input <= SensorHealth::kContacts; ++input) {
        const bool closed = parts_.parallelPort.inputs().kartInputActive(input);
        if (parts_.health.contactLevel(input, closed, now) && parts_.addLogEntry)
            parts_.addLogEntry(StuckContactText(input));
    }
}

void SensorHealthWiring::sampleInfrared(TimeUs now) {
    const std::array<const TCommThread*, SensorHealth::kInfraredReceivers> threads = {
        &parts_.receivers.CommThread(), &parts_.receivers.CommThread1()};
    for (int i = 0; i < SensorHealth::kInfraredReceivers; ++i) {
        const int slot = SensorHealth::infrared(i + 1);
        const qint64 seen = threads[size_t(i)]->FramesSeen();
        const qint64 bad = threads[size_t(i)]->BadFrames();
        if (seen != framesSeen_[size_t(i)])
            parts_.health.heard(slot, now);
        for (qint64 n = badFrames_[size_t(i)]; n < bad; ++n)
            parts_.health.rejected(slot, Rejection::BadFrame, now);
        framesSeen_[size_t(i)] = seen;
        badFrames_[size_t(i)] = bad;
    }
}

void SensorHealthWiring::updateOverdue(TimeUs now) {
    const Settings& s = parts_.settings;
    OverdueRule rule;
    rule.racing = parts_.race.phase() == RacePhase::Timing && parts_.laps.raceRunning();
    rule.raceStartUs = parts_.laps.raceStartUs();
    rule.minLapUs = TimeUs(s.minLapTimeMs()) * 1000;
    for (int kart = 1; kart <= kKartCount; ++kart) {
        const bool code = !s.kartCode(kart, 1).isEmpty() || !s.kartCode(kart, 2).isEmpty();
        const bool contact = kart <= SensorHealth::kContacts && s.useParallelPort();
        rule.taking[size_t(kart - 1)] = !parts_.board.isExcluded(kart) && (code || contact);
    }
    if (!parts_.health.updateOverdue(now, rule))
        return;
    RaceBoardView& view = *parts_.mainWindow.boardView();
    for (int kart = 1; kart <= kKartCount; ++kart) {
        const bool overdue = parts_.health.overdue(kart);
        view.setOverdue(kart, overdue);
        if (parts_.liveResults)
            parts_.liveResults->setOverdue(kart, overdue);
    }
}

} // namespace vartemo

#include "moc_sensorhealthwiring.cpp"
