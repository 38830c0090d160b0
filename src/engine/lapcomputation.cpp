#include "engine/lapcomputation.h"

#include "engine/codelearner.h"
#include "engine/lapsettings.h"

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

void LapComputation::MatchCode(const QString& code, const QString& source) {
    if (holding_) {
        if (held_.size() < kMaxHeldPassings)
            held_.append(PassingEvent(code, source));
        return;
    }
    const bool fromTrackside = !source.isEmpty() && source != settings_.lapSensorAddress();
    if (!fromTrackside) {
        for (int k = 1; k <= kKartCount; ++k) {
            for (int which : {1, 2}) {
                const QString kartCode = settings_.kartCode(k, which);
                // An empty field is no code: it must not match an empty datagram.
                if (!kartCode.isEmpty() && kartCode == code) {
                    pendingKart_ = k;
                    return;
                }
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
        AddSplit(k, label);
        return;
    }
}

void LapComputation::AddSplit(int kart, const QString& label) {
    if (settings_.useParallelPort())
        return;
    const TimeMs t = raceTime();
    const TimeMs split = t - lastSplitMark_[idx(kart)].value_or(0) - settings_.correctionMs(kart);
    board_.AddSplitLine(kart, label, split);
    lastSplitMark_[idx(kart)] = t;
}

void LapComputation::LearnCode(const QString& code) {
    if (!IsLearnCodeSlot(learnSlot_))
        return;
    const int slot = learnSlot_;
    learnSlot_ = kLearnNone;
    if (learner_)
        learner_->learnCode(slot, code);
}

void LapComputation::OnIrCode(quint32 code) {
    const QString text = IrCodeText(code);
    if (learnSlot_ != kLearnNone) {
        if (learner_)
            learner_->showTestCode(text);
        LearnCode(text);
        return;
    }
    MatchCode(text, QString());
}

bool LapComputation::triggered(int kart) const {
    if (pendingKart_ == kart)
        return true;
    return kart <= 4 && settings_.useParallelPort() && hooks_.kartInputActive &&
           hooks_.kartInputActive(kart);
}

void LapComputation::Poll(int kart) {
    if (!triggered(kart))
        return;
    // Only this kart's own pending code is consumed: clearing another kart's
    // code here (when a parallel input fired in the same tick) would lose its lap.
    if (pendingKart_ == kart)
        pendingKart_ = 0;
    const TimeMs t = raceTime();
    auto& mark = lastLapMark_[idx(kart)];
    if (mark && t - *mark < settings_.minLapTimeMs())
        return;
    const TimeMs lap = t - mark.value_or(0) - settings_.correctionMs(kart);
    if (settings_.tvOutput() && hooks_.updateRaceRow)
        hooks_.updateRaceRow(kart, board_.DriverName(kart), board_.lapCount(kart), lap);
    board_.AddLapLine(kart, lap);
    board_.AddTrackLapLine(kart, lap);
    mark = t;
    if (settings_.hardwareControl() && hooks_.startPulse)
        hooks_.startPulse();
}

void LapComputation::PollAll() {
    for (int k = 1; k <= kKartCount; ++k)
        Poll(k);
}

void LapComputation::startRace() {
    raceStart_ = clock_.now();
    raceRunning_ = true;
    // A split taken while no race ran (before the first start, or after a
    // stop) must not become the mark of this race's first split.
    resetMarks();
}

TimeMs LapComputation::raceTime() const {
    return clock_.now() - raceStart_;
}

void LapComputation::resetMarks() {
    lastLapMark_.fill(std::nullopt);
    lastSplitMark_.fill(std::nullopt);
}

} // namespace vartemo
