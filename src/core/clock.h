#pragma once

#include <QtGlobal>

namespace vartemo {

// Milliseconds; race times are differences of two Clock readings.
using TimeMs = qint64;
// Microseconds on the same clock: sensors stamp passings this finely, so a
// lap is not bent by the millisecond the reading happened to fall in.
using TimeUs = qint64;

// Whole milliseconds, rounded down (towards the past).
inline TimeMs FloorToMs(TimeUs us) {
    return us >= 0 ? us / 1000 : -((-us + 999) / 1000);
}

// The nearest whole millisecond (halves away from zero).
inline TimeMs RoundToMs(TimeUs us) {
    return us >= 0 ? (us + 500) / 1000 : -((-us + 500) / 1000);
}

// Where timing reads "now". The station's clock is monotonic, so a wall-clock
// step (NTP, daylight saving) in the middle of a ride never bends a lap time;
// tests use a clock they move by hand.
class Clock {
public:
    virtual ~Clock() = default;
    virtual TimeUs nowUs() const = 0;
    // Whole milliseconds, rounded down.
    TimeMs now() const { return FloorToMs(nowUs()); }
};

// CLOCK_MONOTONIC: the clock the kernel's own monotonic stamps use too.
class SteadyClock final : public Clock {
public:
    TimeUs nowUs() const override;
};

class ManualClock final : public Clock {
public:
    explicit ManualClock(TimeMs start = 1'000'000) : nowUs_(start * 1000) {}
    TimeUs nowUs() const override { return nowUs_; }
    void set(TimeMs t) { nowUs_ = t * 1000; }
    void setUs(TimeUs t) { nowUs_ = t; }
    void advance(TimeMs ms) { nowUs_ += ms * 1000; }
    void advanceUs(TimeUs us) { nowUs_ += us; }

private:
    TimeUs nowUs_;
};

} // namespace vartemo
