#include "spectators/liveride.h"

#include <algorithm>
#include <vector>

namespace vartemo {

void LiveRide::start(const std::array<QString, kKartCount>& names, int length, bool minutes) {
    state_ = LiveRideState::Lights;
    length_ = length;
    minutes_ = minutes;
    clockMs_ = 0;
    for (int k = 1; k <= kKartCount; ++k) {
        const QString& name = names[size_t(k - 1)];
        karts_[size_t(k - 1)] = Kart{name, name != RaceBoard::DefaultDriverName(k), 0, 0, {}, {}, false};
    }
}

void LiveRide::planNext(int length, bool minutes) {
    if (state_ != LiveRideState::Idle)
        return;
    length_ = length;
    minutes_ = minutes;
}

bool LiveRide::inRide() const {
    return state_ == LiveRideState::Lights || state_ == LiveRideState::Running ||
           state_ == LiveRideState::Over;
}

void LiveRide::showClock(TimeMs clockMs) {
    if (!inRide())
        return;
    if (state_ == LiveRideState::Lights)
        state_ = LiveRideState::Running;
    clockMs_ = clockMs;
    checkOver();
}

void LiveRide::addLapLine(int kart, TimeMs lap) {
    if (!inRide() || kart < 1 || kart > kKartCount)
        return;
    Kart& k = karts_[size_t(kart - 1)];
    ++k.lines;
    k.passedAt += lap;
    if (k.lines > 1) {
        k.last = lap;
        k.best = std::min(lap, k.best.value_or(lap));
    }
    checkOver();
}

void LiveRide::checkOver() {
    if (state_ != LiveRideState::Running)
        return;
    bool over = false;
    if (minutes_) {
        over = clockMs_ >= TimeMs(length_) * 60'000;
    } else {
        for (const Kart& k : karts_)
            over = over || k.lines - 1 >= length_;
    }
    if (over)
        state_ = LiveRideState::Over;
}

void LiveRide::finish() {
    if (inRide())
        state_ = LiveRideState::Finished;
}

bool LiveRide::setOverdue(int kart, bool overdue) {
    if (kart < 1 || kart > kKartCount || karts_[size_t(kart - 1)].overdue == overdue)
        return false;
    karts_[size_t(kart - 1)].overdue = overdue;
    return true;
}

QList<LiveKart> LiveRide::standing() const {
    struct Entry {
        LiveKart kart;
        bool passed;
        TimeMs passedAt;
    };
    std::vector<Entry> entries;
    entries.reserve(kKartCount);
    for (int k = 1; k <= kKartCount; ++k) {
        const Kart& s = karts_[size_t(k - 1)];
        const int laps = std::max(s.lines - 1, 0);
        if (laps == 0 && !s.named)
            continue;
        entries.push_back({LiveKart{k, s.name, laps, s.last, s.best, s.overdue}, s.lines > 0, s.passedAt});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.kart.laps != b.kart.laps)
            return a.kart.laps > b.kart.laps;
        if (a.passed != b.passed)
            return a.passed; // a kart that has not passed yet comes after
        if (a.passed && a.passedAt != b.passedAt)
            return a.passedAt < b.passedAt;
        return a.kart.kart < b.kart.kart;
    });
    QList<LiveKart> out;
    out.reserve(qsizetype(entries.size()));
    for (const Entry& e : entries)
        out.append(e.kart);
    return out;
}

} // namespace vartemo
