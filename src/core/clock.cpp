#include "core/clock.h"

#include <ctime>

namespace vartemo {

TimeUs SteadyClock::nowUs() const {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return TimeUs(ts.tv_sec) * 1'000'000 + ts.tv_nsec / 1000;
}

} // namespace vartemo
