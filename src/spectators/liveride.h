#pragma once

#include "core/clock.h"
#include "engine/raceboard.h"

#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace vartemo {

// Where a ride stands for the spectators. Idle: no ride since the program
// started. Lights: START taken, the lights run. Running: the race clock
// runs. Over: the length is reached, passings still count. Finished: STOP
// closed the ride; it stays as it was until the next START.
enum class LiveRideState { Idle, Lights, Running, Over, Finished };

// One kart of the standing; no lap yet leaves last and best empty. overdue:
// not seen for too long (a flat transmitter, a kart stopped on the track).
struct LiveKart {
    int kart = 0;
    QString name;
    int laps = 0;
    std::optional<TimeMs> last;
    std::optional<TimeMs> best;
    bool overdue = false;
    friend bool operator==(const LiveKart&, const LiveKart&) = default;
};

// The ride as the live results page shows it: its state, clock and length,
// and the standing of the karts with a lap or a named driver.
class LiveRide {
public:
    // START: the ride's names (index kart-1), its length in minutes or laps;
    // the standing starts empty.
    void start(const std::array<QString, kKartCount>& names, int length, bool minutes);
    // Before the first START: the length and unit the next ride will have,
    // as the operator sets them. A ride, running or finished, keeps its own.
    void planNext(int length, bool minutes);
    // The race clock started (its first showing) and each showing after.
    void showClock(TimeMs clockMs);
    // A line appended to the kart's lap list. The kart's first line is the
    // run from the start signal: it is a passing, not a lap.
    void addLapLine(int kart, TimeMs lap);
    // STOP: the ride stays as it is until the next start.
    void finish();
    // The kart's overdue mark as the race board shows it; false when it
    // did not change.
    bool setOverdue(int kart, bool overdue);

    LiveRideState state() const { return state_; }
    // From START to STOP: laps and the clock count.
    bool inRide() const;
    bool countsMinutes() const { return minutes_; }
    int length() const { return length_; }
    TimeMs clockMs() const { return clockMs_; }
    // Listed karts: more laps first, then the earlier last passing, then
    // the kart number.
    QList<LiveKart> standing() const;

private:
    struct Kart {
        QString name;
        bool named = false;
        int lines = 0;
        TimeMs passedAt = 0; // the sum of its lines: when it last passed
        std::optional<TimeMs> last;
        std::optional<TimeMs> best;
        bool overdue = false;
    };
    void checkOver();

    LiveRideState state_ = LiveRideState::Idle;
    bool minutes_ = true;
    int length_ = 10;
    TimeMs clockMs_ = 0;
    std::array<Kart, kKartCount> karts_{};
};

} // namespace vartemo
