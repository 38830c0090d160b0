#include "spectators/liveresults.h"

#include "core/conversionerror.h"
#include "engine/racecontrol.h"
#include "engine/timetext.h"
#include "spectators/liveresultsjson.h"

namespace vartemo {

LiveResults::LiveResults(const RaceBoard& board, const RaceControl& race, QObject* parent)
    : QObject(parent), board_(board), race_(race) {
    idleTick_.setInterval(kIdleTickMs);
    connect(&idleTick_, &QTimer::timeout, this, &LiveResults::fire);
    connect(&race, &RaceControl::captionChanged, this, &LiveResults::onCaptionChanged);
    connect(&race, &RaceControl::clockShown, this, &LiveResults::onClockShown);
    connect(&board, &RaceBoard::lineAppended, this, &LiveResults::onLineAppended);
    // The length and unit change the progress bar's maximum; before the
    // first ride the page shows what the operator has set.
    connect(&race, &RaceControl::progressChanged, this, &LiveResults::onLengthMaybeChanged);
    ride_.planNext(race.raceLength(), race.countsMinutes());
    pending_.reserve(256);
    bestJson_ = BestTablesJson({});
}

void LiveResults::setBestTables(BestTablesSource source) {
    bestTables_ = std::move(source);
    BestTablesChanged();
}

void LiveResults::BestTablesChanged() {
    bestJson_ = BestTablesJson(bestTables_ ? bestTables_() : BestTables{});
    stale_ = true;
}

void LiveResults::setPublishing(bool on) {
    if (publishing_ == on)
        return;
    publishing_ = on;
    if (on)
        rebuild();
    updateTick();
}

void LiveResults::updateTick() {
    // While the race clock shows, its showings pace the rebuilds.
    const bool clockRuns = ride_.state() == LiveRideState::Running || ride_.state() == LiveRideState::Over;
    if (publishing_ && !clockRuns)
        idleTick_.start();
    else
        idleTick_.stop();
}

void LiveResults::fire() {
    if (!idleTick_.isActive())
        return;
    if (stale_)
        rebuild();
}

void LiveResults::onCaptionChanged(const QString& caption) {
    if (caption == QLatin1String("&STOP")) {
        std::array<QString, kKartCount> names;
        for (int k = 1; k <= kKartCount; ++k)
            names[size_t(k - 1)] = board_.DriverName(k);
        pending_.clear();
        ride_.start(names, race_.raceLength(), race_.countsMinutes());
    } else {
        // The STOP: what the ride's polls appended still belongs to it.
        takePendingLines();
        ride_.finish();
    }
    stale_ = true;
    updateTick();
}

void LiveResults::onClockShown(int minutes, int seconds, int millis) {
    const LiveRideState before = ride_.state();
    takePendingLines();
    ride_.showClock((TimeMs(minutes) * 60 + seconds) * 1000 + millis);
    if (ride_.state() != before)
        updateTick();
    stale_ = true;
    if (publishing_)
        rebuild();
}

void LiveResults::onLengthMaybeChanged() {
    if (ride_.state() != LiveRideState::Idle)
        return;
    if (ride_.length() == race_.raceLength() && ride_.countsMinutes() == race_.countsMinutes())
        return;
    ride_.planNext(race_.raceLength(), race_.countsMinutes());
    stale_ = true;
}

void LiveResults::onLineAppended(int kart, BoardList list, const QString& line) {
    // Lines outside a ride (a lap file opened between rides) are not its laps.
    if (list != BoardList::Lap || !ride_.inRide())
        return;
    pending_.append({kart, line});
    stale_ = true;
}

void LiveResults::setOverdue(int kart, bool overdue) {
    if (ride_.setOverdue(kart, overdue))
        stale_ = true;
}

void LiveResults::takePendingLines() {
    for (const PendingLine& p : pending_) {
        try {
            ride_.addLapLine(p.kart, ParseTimeText(p.line));
        } catch (const ConversionError&) {
            // Only a lap line that is no time: nothing to count.
        }
    }
    pending_.clear();
}

void LiveResults::rebuild() {
    takePendingLines();
    auto snapshot = std::make_shared<LiveSnapshot>();
    snapshot->seq = ++seq_;
    snapshot->json = LiveResultsJson(ride_, bestJson_, snapshot->seq);
    snapshot->etag = '"' + QByteArray::number(snapshot->seq) + '"';
    slot_.publish(std::move(snapshot));
    stale_ = false;
}

} // namespace vartemo

#include "moc_liveresults.cpp"
