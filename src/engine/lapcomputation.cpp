#include "engine/lapcomputation.h"

#include "engine/codelearner.h"
#include "engine/lapsettings.h"
#include "engine/ridejournal.h"
#include "engine/sensorhealth.h"
#include "engine/timetext.h"

#include <utility>

namespace vartemo {

bool IsLearnCodeSlot(int slot) {
    return (slot >= 1 && slot <= kKartCount) ||
           (slot >= 11 && slot <= kKartCount * 10 + 1 && slot % 10 == 1);
}

QString IrCodeText(quint32 code) {
    return QStringLiteral("%1").arg(code, 4, 16, QLatin1Char('0')).toUpper();
}

LapComputation::LapComputation(RaceBoard& board, const Clock& clock, const LapSettings& settings)
    : board_(board), clock_(clock), settings_(settings) {}

void LapComputation::holdPassings() {
    holding_ = true;
}

void LapComputation::releasePassings() {
    holding_ = false;
    const QList<PassingEvent> waiting = std::exchange(held_, {});
    for (const PassingEvent& e : waiting)
        MatchCode(e);
}

std::optional<LapComputation::Found> LapComputation::find(const QString& code,
                                                         const QString& source) const {
    const bool fromTrackside = !source.isEmpty() && source != settings_.lapSensorAddress();
    if (!fromTrackside) {
        for (int k = 1; k <= kKartCount; ++k) {
            for (int which : {1, 2}) {
                const QString kartCode = settings_.kartCode(k, which);
                // An empty field is no code: it must not match an empty datagram.
                if (!kartCode.isEmpty() && kartCode == code)
                    return Found{k, true, {}};
            }
        }
    }
    for (int k = 1; k <= kKartCount; ++k) {
        const QString first = settings_.kartCode(k, 1);
        const QString second = settings_.kartCode(k, 2);
        const bool inFirst = !first.isEmpty() && code.contains(first);
        const bool inSecond = !second.isEmpty() && code.contains(second);
        if (!inFirst && !inSecond)
            continue;
        // A trackside sensor sends its identifier before the kart code; over
        // the network the kart number itself is the label. A split found by
        // the second code alone has no identifier before a first code: empty.
        const QString label = !source.isEmpty() ? QStringLiteral("0%1").arg(k)
                              : inFirst         ? code.left(code.indexOf(first))
                                                : QString();
        return Found{k, false, label};
    }
    return std::nullopt;
}

CodeMatch LapComputation::MatchCode(const QString& code, const QString& source,
                                    std::optional<TimeUs> stamped) {
    const TimeUs at = stamped.value_or(clock_.nowUs());
    const std::optional<Found> found = find(code, source);
    if (!found)
        return CodeMatch::NoKart;
    const CodeMatch match = found->lap ? CodeMatch::Lap : CodeMatch::Split;
    // Only passings of a kart wait: bytes of no kart must not fill the queue.
    if (holding_) {
        if (held_.size() < kMaxHeldPassings)
            held_.append(PassingEvent(code, source, at));
        return match;
    }
    if (found->lap)
        queueLap(found->kart, at);
    else
        AddSplit(found->kart, found->label, at);
    return match;
}

void LapComputation::queueLap(int kart, TimeUs at) {
    // A full queue only happens when a kart's code floods in faster than
    // polls run; the newest passings are the ones still worth a lap.
    if (!waiting_[idx(kart)].push(at) && timing_)
        ++dropped_;
    lastRecognised_ = kart;
    if (passingWaiting_)
        passingWaiting_();
}

int LapComputation::pendingKart() const {
    if (lastRecognised_ != 0 && !waiting_[idx(lastRecognised_)].empty())
        return lastRecognised_;
    for (int k = 1; k <= kKartCount; ++k)
        if (!waiting_[idx(k)].empty())
            return k;
    return 0;
}

void LapComputation::forgetWaitingPassings() {
    for (WaitingPassings& w : waiting_)
        w.clear();
    lastRecognised_ = 0;
}

void LapComputation::setPendingKart(int kart) {
    if (kart == 0)
        forgetWaitingPassings();
    else
        queueLap(kart, clock_.nowUs());
}

void LapComputation::AddSplit(int kart, const QString& label, std::optional<TimeUs> at) {
    if (settings_.useParallelPort())
        return;
    const TimeUs stamp = at.value_or(clock_.nowUs());
    const TimeUs t = raceTimeOf(stamp);
    const TimeUs split = t - lastSplitMark_[idx(kart)].value_or(0);
    const TimeMs shown = RoundToMs(split) - settings_.correctionMs(kart);
    if (journaling())
        journal_->append(riderecords::Split(kart, label, stamp, t, shown, RaceBoard::SplitLine(label, shown)));
    board_.AddSplitLine(kart, label, shown);
    lastSplitMark_[idx(kart)] = t;
    if (health_)
        health_->kartSeen(kart, stamp);
}

void LapComputation::LearnCode(const QString& code) {
    if (!IsLearnCodeSlot(learnSlot_))
        return;
    const int slot = learnSlot_;
    learnSlot_ = kLearnNone;
    if (learner_)
        learner_->learnCode(slot, code);
}

std::optional<CodeMatch> LapComputation::OnIrCode(quint32 code, std::optional<TimeUs> at) {
    const QString text = IrCodeText(code);
    if (learnSlot_ != kLearnNone) {
        if (learner_)
            learner_->showTestCode(text);
        LearnCode(text);
        return std::nullopt;
    }
    return MatchCode(text, QString(), at);
}

bool LapComputation::parallelInputActive(int kart) const {
    return kart <= 4 && settings_.useParallelPort() && hooks_.kartInputActive &&
           hooks_.kartInputActive(kart);
}

void LapComputation::Poll(int kart) {
    // Only this kart's own passings are taken: another kart's wait for its
    // own poll, whatever fired in this tick.
    WaitingPassings& waiting = waiting_[idx(kart)];
    while (!waiting.empty()) {
        const TimeUs at = waiting.pop();
        const bool counted = takeLap(kart, raceTimeOf(at), at);
        if (health_)
            counted ? health_->kartLap(kart, at) : health_->kartSeen(kart, at);
    }
    // Contacts are sampled: the tick that sees the input is the passing.
    if (parallelInputActive(kart)) {
        const TimeUs now = clock_.nowUs();
        const bool counted = takeLap(kart, raceTimeOf(now), now);
        if (health_) {
            if (counted) {
                health_->kartLap(kart, now);
                health_->passing(SensorHealth::contact(kart), now);
            } else {
                health_->kartSeen(kart, now);
                health_->heard(SensorHealth::contact(kart), now);
            }
        }
    }
}

bool LapComputation::journaling() const {
    return timing_ && journal_ && journal_->isOpen() && !journal_->stopping();
}

bool LapComputation::takeLap(int kart, TimeUs t, TimeUs stampUs) {
    auto& mark = lastLapMark_[idx(kart)];
    if (mark && t - *mark < TimeUs(settings_.minLapTimeMs()) * 1000)
        return false;
    const TimeMs lap = RoundToMs(t - mark.value_or(0)) - settings_.correctionMs(kart);
    // On its way to the disk before anything shows it.
    if (journaling())
        journal_->append(riderecords::Lap(kart, stampUs, t, lap, FormatTimeText(lap)));
    if (settings_.tvOutput() && hooks_.updateRaceRow)
        hooks_.updateRaceRow(kart, board_.DriverName(kart), board_.lapCount(kart), lap);
    board_.AddLapLine(kart, lap);
    board_.AddTrackLapLine(kart, lap);
    mark = t;
    if (settings_.hardwareControl() && hooks_.startPulse)
        hooks_.startPulse();
    return true;
}

void LapComputation::PollAll() {
    for (int k = 1; k <= kKartCount; ++k)
        Poll(k);
}

void LapComputation::startRace() {
    raceStartUs_ = clock_.nowUs();
    raceRunning_ = true;
    // A split taken while no race ran (before the first start, or after a
    // stop) must not become the mark of this race's first split.
    resetMarks();
    timing_ = true;
}

TimeMs LapComputation::raceTime() const {
    return FloorToMs(clock_.nowUs() - raceStartUs_);
}

void LapComputation::resumeRace(TimeUs raceStartUs,
                                 const std::array<std::optional<TimeUs>, kKartCount>& lapMarks,
                                 const std::array<std::optional<TimeUs>, kKartCount>& splitMarks,
                                 bool running) {
    raceStartUs_ = raceStartUs;
    raceRunning_ = running;
    lastLapMark_ = lapMarks;
    lastSplitMark_ = splitMarks;
    timing_ = true;
}

void LapComputation::resetMarks() {
    lastLapMark_.fill(std::nullopt);
    lastSplitMark_.fill(std::nullopt);
    timing_ = false;
}

} // namespace vartemo
