#pragma once

#include <QtGlobal>

namespace vartemo {

// What the decoder's PriorityLevel setting means while its port is read.
struct PriorityChoice {
    int threadPriority;    // -15 idle ... 0 normal ... 15 time critical
    bool realtimeProcess;  // raise to the realtime class, restored afterwards
};

inline PriorityChoice PriorityForLevel(quint8 level) {
    static constexpr int kThread[] = {-15, -2, -1, 0, 1, 2, 15};
    if (level >= 7)
        return {15, true};
    return {kThread[level], false};
}

} // namespace vartemo
