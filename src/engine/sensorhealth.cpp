#include "engine/sensorhealth.h"

#include <algorithm>
#include <utility>

namespace vartemo {

qint64 SourceCounts::rejectedTotal() const {
    qint64 sum = 0;
    for (qint64 n : rejected)
        sum += n;
    return sum;
}

SensorHealth::SensorHealth() {
    for (int i = 1; i <= kContacts; ++i) {
        at(contact(i)).kind = SourceKind::Contact;
        at(contact(i)).number = i;
    }
    at(serial()).kind = SourceKind::Serial;
    for (int i = 1; i <= kInfraredReceivers; ++i) {
        at(infrared(i)).kind = SourceKind::Infrared;
        at(infrared(i)).number = i;
    }
    for (int i = firstNetwork(); i < kSourceCount; ++i)
        at(i).kind = SourceKind::Network;
}

int SensorHealth::network(const QString& address) {
    const int first = firstNetwork();
    for (int i = 0; i < networkUsed_; ++i)
        if (sources_[size_t(first + i)].address == address)
            return first + i;
    if (networkUsed_ == kMaxNetworkSources)
        return kSourceCount - 1;
    SourceHealth& s = at(first + networkUsed_++);
    // The last slot stands for every further address.
    s.address = networkUsed_ == kMaxNetworkSources ? QStringLiteral("*") : address;
    changed_ = true;
    return first + networkUsed_ - 1;
}

void SensorHealth::hear(SourceHealth& s, TimeUs when) {
    if (!s.lastHeard || *s.lastHeard < when)
        s.lastHeard = when;
    changed_ = true;
}

void SensorHealth::passing(int slot, TimeUs when) {
    SourceHealth& s = at(slot);
    hear(s, when);
    ++s.ride.passings;
    ++s.sinceStart.passings;
}

void SensorHealth::rejected(int slot, Rejection why, TimeUs when) {
    SourceHealth& s = at(slot);
    hear(s, when);
    ++s.ride.rejected[size_t(why)];
    ++s.sinceStart.rejected[size_t(why)];
}

void SensorHealth::unknownCode(int slot, const QString& code, TimeUs when) {
    rejected(slot, Rejection::UnknownCode, when);
    const SourceKind kind = at(slot).kind;
    if (kind != SourceKind::Serial && kind != SourceKind::Infrared)
        return;
    for (int i = 0; i < unknownUsed_; ++i) {
        UnknownCode& u = unknown_[size_t(i)];
        if (u.kind == kind && u.code == code) {
            ++u.rideCount;
            return;
        }
    }
    // A flood of distinct codes is noise, not a kart to teach: the first ones are kept.
    if (unknownUsed_ < kMaxUnknownCodes)
        unknown_[size_t(unknownUsed_++)] = UnknownCode{code, kind, 1};
}

void SensorHealth::heard(int slot, TimeUs when) {
    hear(at(slot), when);
}

void SensorHealth::setFailure(int slot, const QString& failure) {
    SourceHealth& s = at(slot);
    if (s.failure == failure)
        return;
    s.failure = failure;
    changed_ = true;
}

void SensorHealth::setNetworkFailure(const QString& failure) {
    if (networkFailure_ == failure)
        return;
    networkFailure_ = failure;
    changed_ = true;
}

QString SensorHealth::failureOf(int slot) const {
    const SourceHealth& s = source(slot);
    if (s.failure.isEmpty() && s.kind == SourceKind::Network)
        return networkFailure_;
    return s.failure;
}

void SensorHealth::setInUse(int slot, bool inUse) {
    SourceHealth& s = at(slot);
    if (s.inUse == inUse)
        return;
    s.inUse = inUse;
    changed_ = true;
}

bool SensorHealth::contactLevel(int input, bool closed, TimeUs now) {
    SourceHealth& s = at(contact(input));
    if (!closed) {
        if (s.closedSince || s.stuck)
            changed_ = true;
        s.closedSince.reset();
        s.stuck = false;
        return false;
    }
    if (!s.closedSince)
        s.closedSince = now;
    if (s.stuck || now - *s.closedSince <= kStuckAfterUs)
        return false;
    s.stuck = true;
    changed_ = true;
    return true;
}

SourceLamp SensorHealth::lamp(int slot, TimeUs now) const {
    const SourceHealth& s = source(slot);
    const qint64 rejected = s.ride.rejectedTotal();
    if (!failureOf(slot).isEmpty() || s.stuck || (rejected >= kRejectedForRed && rejected > s.ride.passings))
        return SourceLamp::Red;
    if (s.lastHeard && now - *s.lastHeard <= kHeardRecentlyUs)
        return SourceLamp::Green;
    return SourceLamp::Grey;
}

std::array<const UnknownCode*, SensorHealth::kMaxUnknownCodes>
SensorHealth::listedUnknownCodes(int* count) const {
    std::array<const UnknownCode*, kMaxUnknownCodes> listed{};
    int n = 0;
    for (int i = 0; i < unknownUsed_; ++i)
        if (unknown_[size_t(i)].rideCount >= kUnknownCodeListed)
            listed[size_t(n++)] = &unknown_[size_t(i)];
    *count = n;
    return listed;
}

void SensorHealth::rideStarted(TimeUs at) {
    for (SourceHealth& s : sources_)
        s.ride = {};
    unknownUsed_ = 0;
    for (KartHealth& k : karts_) {
        const bool shown = k.overdue;
        k = KartHealth{};
        k.overdue = shown;
    }
    watchedFrom_ = at;
    changed_ = true;
}

void SensorHealth::kartLap(int kart, TimeUs when) {
    KartHealth& k = karts_[size_t(kart - 1)];
    // The run from the start signal to the first passing is no lap.
    if (k.lastLap && when > *k.lastLap) {
        const TimeUs lap = when - *k.lastLap;
        k.bestLapUs = std::min(lap, k.bestLapUs.value_or(lap));
    }
    k.lastLap = when;
    kartSeen(kart, when);
}

void SensorHealth::kartSeen(int kart, TimeUs when) {
    KartHealth& k = karts_[size_t(kart - 1)];
    if (!k.lastSeen || *k.lastSeen < when)
        k.lastSeen = when;
}

bool SensorHealth::updateOverdue(TimeUs now, const OverdueRule& rule) {
    bool changed = false;
    for (int kart = 1; kart <= kKartCount; ++kart) {
        KartHealth& k = karts_[size_t(kart - 1)];
        bool overdue = false;
        if (rule.racing && rule.taking[size_t(kart - 1)]) {
            const TimeUs since = std::max({k.lastSeen.value_or(rule.raceStartUs), rule.raceStartUs, watchedFrom_});
            const TimeUs quiet = now - since;
            const TimeUs limit = k.bestLapUs
                                     ? kOverdueFactor * *k.bestLapUs
                                     : std::max(kOverdueFactor * rule.minLapUs, kFirstLapGraceUs);
            overdue = quiet > limit;
        }
        if (overdue != k.overdue) {
            k.overdue = overdue;
            changed = true;
        }
    }
    changed_ = changed_ || changed;
    return changed;
}

bool SensorHealth::takeChanged() {
    return std::exchange(changed_, false);
}

} // namespace vartemo
