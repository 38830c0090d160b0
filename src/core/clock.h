#pragma once

#include <QtGlobal>

namespace vartemo {

// Milliseconds; race times are differences of two Clock readings.
using TimeMs = qint64;

// Where timing reads "now". The station's clock is monotonic, so a wall-clock
// step (NTP, daylight saving) in the middle of a ride never bends a lap time;
// tests use a clock they move by hand.
class Clock {
public:
    virtual ~Clock() = default;
    virtual TimeMs now() const = 0;
};

class SteadyClock final : public Clock {
public:
    TimeMs now() const override;
};

class ManualClock final : public Clock {
public:
    explicit ManualClock(TimeMs start = 1'000'000) : now_(start) {}
    TimeMs now() const override { return now_; }
    void set(TimeMs t) { now_ = t; }
    void advance(TimeMs ms) { now_ += ms; }

private:
    TimeMs now_;
};

} // namespace vartemo
