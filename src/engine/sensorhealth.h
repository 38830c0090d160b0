#pragma once

#include "core/clock.h"
#include "engine/raceboard.h"

#include <QString>
#include <array>
#include <optional>

namespace vartemo {

// Where an input came from: a parallel-port contact (karts 1 to 4), the
// serial receiver, an infrared receiver (1 or 2) or a network sensor (by
// the sender's address).
enum class SourceKind : quint8 { Contact, Serial, Infrared, Network };

// Why an input gave no passing.
enum class Rejection : quint8 {
    BadFrame,       // an infrared frame that decodes to no code, a datagram of no code's length
    UnknownCode,    // a code that is no kart's
    UnknownAddress, // a datagram from an address that is no configured sensor
    FailedCheck,    // a serial burst longer than a code can be
};
inline constexpr int kRejectionKinds = 4;

// What a source's lamp shows: heard recently, quiet, or failing (could not
// open, a contact stuck closed, or more rejected inputs than passings).
enum class SourceLamp : quint8 { Green, Grey, Red };

struct SourceCounts {
    qint64 passings = 0;
    std::array<qint64, kRejectionKinds> rejected{};
    qint64 rejectedTotal() const;
    qint64 rejectedOf(Rejection why) const { return rejected[size_t(why)]; }
};

struct SourceHealth {
    SourceKind kind = SourceKind::Contact;
    int number = 0;     // contact 1..4, infrared receiver 1..2; 0 otherwise
    QString address;    // a network sensor's address
    bool inUse = false; // its lamp is shown
    std::optional<TimeUs> lastHeard;
    SourceCounts ride;       // since the START of the current (or last) ride
    SourceCounts sinceStart; // since the program started
    QString failure;         // why it could not open; empty when it did
    // Contacts: closed since then (at rest, sampled), and reported stuck.
    std::optional<TimeUs> closedSince;
    bool stuck = false;
};

// A code that is no kart's, seen by the serial or an infrared receiver.
struct UnknownCode {
    QString code;
    SourceKind kind = SourceKind::Serial;
    int rideCount = 0;
};

// What decides a kart's overdue mark at one moment.
struct OverdueRule {
    bool racing = false;  // the race clock runs (not over, not stopped)
    TimeUs raceStartUs = 0;
    TimeUs minLapUs = 0;  // the minimum lap time
    // The karts that take part: not "Bez účasti", and able to pass at all
    // (a code learnt, or a contact of karts 1 to 4 in use).
    std::array<bool, kKartCount> taking{};
};

// The health of the station's sensors, kept beside the timing: per source
// when it was last heard, its passings and rejected inputs in the ride and
// since start; per kart in a ride whether it is overdue. Every call is a
// few stores into fixed slots: nothing is allocated on a passing (a network
// address and an unknown code are copied once, when first seen).
class SensorHealth {
public:
    static constexpr TimeUs kHeardRecentlyUs = 30'000'000;
    static constexpr TimeUs kStuckAfterUs = 10'000'000;
    // A kart without a lap of this ride yet gets no mark within a minute.
    static constexpr TimeUs kFirstLapGraceUs = 60'000'000;
    static constexpr int kOverdueFactor = 3;
    // An unknown code seen this often in a ride is worth teaching.
    static constexpr int kUnknownCodeListed = 3;
    // A lamp turns red once rejected inputs reach this many and outnumber passings.
    static constexpr int kRejectedForRed = 3;
    static constexpr int kContacts = 4;
    static constexpr int kInfraredReceivers = 2;
    static constexpr int kMaxNetworkSources = 16;
    static constexpr int kMaxUnknownCodes = 16;
    // Slots: contacts, serial, infrared, network addresses (the last one
    // takes every address beyond the others).
    static constexpr int kSourceCount = kContacts + 1 + kInfraredReceivers + kMaxNetworkSources;

    SensorHealth();

    // --- finding a source's slot
    static int contact(int input) { return input - 1; }
    static int serial() { return kContacts; }
    static int infrared(int receiver) { return kContacts + receiver; }
    // Found by the address; a new address takes a free slot, the last slot
    // when none is free.
    int network(const QString& address);
    static int firstNetwork() { return kContacts + 1 + kInfraredReceivers; }

    const SourceHealth& source(int slot) const { return sources_[size_t(slot)]; }
    SourceLamp lamp(int slot, TimeUs now) const;

    // --- what the receivers report
    void passing(int slot, TimeUs at);
    void rejected(int slot, Rejection why, TimeUs at);
    // A code of no kart: rejected, and remembered by its code when a serial
    // or infrared receiver sent it.
    void unknownCode(int slot, const QString& code, TimeUs at);
    // Heard without a passing or a rejection of its own (an infrared frame
    // the receiver thread saw, counted elsewhere).
    void heard(int slot, TimeUs at);
    void setFailure(int slot, const QString& failure);
    // The datagram server could not listen on a port: every network sensor's failure.
    void setNetworkFailure(const QString& failure);
    const QString& networkFailure() const { return networkFailure_; }
    // The failure a source's lamp shows (its own or the server's), empty: none.
    QString failureOf(int slot) const;
    void setInUse(int slot, bool inUse);
    // A contact's level at a sample. True once when it has stayed closed
    // longer than kStuckAfterUs; counted again only after it opened.
    bool contactLevel(int input, bool closed, TimeUs now);

    // The unknown codes of this ride seen at least kUnknownCodeListed times.
    std::array<const UnknownCode*, kMaxUnknownCodes> listedUnknownCodes(int* count) const;

    // --- karts in a ride
    // START (or a ride continued after an outage) at this moment: the
    // ride's figures and the karts' passings begin anew, and no kart is
    // overdue for time before it (the marks shown stay until the next
    // update, so that their going is told).
    void rideStarted(TimeUs at);
    // A lap passing counted for the kart (its lap is measured from its last one).
    void kartLap(int kart, TimeUs at);
    // Any other sighting of the kart: a split, a passing within the minimum lap.
    void kartSeen(int kart, TimeUs at);
    // The marks as they stand now; true when one changed.
    bool updateOverdue(TimeUs now, const OverdueRule& rule);
    bool overdue(int kart) const { return karts_[size_t(kart - 1)].overdue; }
    std::optional<TimeUs> bestLapUs(int kart) const { return karts_[size_t(kart - 1)].bestLapUs; }
    // Figures changed since the last take (the strip repaints only then).
    bool takeChanged();

private:
    struct KartHealth {
        std::optional<TimeUs> lastSeen;
        std::optional<TimeUs> lastLap; // its last counted lap passing
        std::optional<TimeUs> bestLapUs;
        bool overdue = false;
    };
    SourceHealth& at(int slot) { return sources_[size_t(slot)]; }
    void hear(SourceHealth& s, TimeUs at);

    std::array<SourceHealth, kSourceCount> sources_{};
    int networkUsed_ = 0;
    QString networkFailure_;
    std::array<UnknownCode, kMaxUnknownCodes> unknown_{};
    int unknownUsed_ = 0;
    std::array<KartHealth, kKartCount> karts_{};
    TimeUs watchedFrom_ = 0;
    bool changed_ = true;
};

} // namespace vartemo
