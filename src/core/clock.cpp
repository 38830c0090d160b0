#include "core/clock.h"

#include <chrono>

namespace vartemo {

TimeMs SteadyClock::now() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace vartemo
