#include "platform/threadpriority.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace vartemo {

namespace {

int NiceFor(int level) {
    switch (level) {
    case -15: return 19;
    case -2: return 10;
    case -1: return 5;
    case 0: return 0;
    case 1: return -5;
    case 2: return -10;
    default: return level > 2 ? -20 : 0;
    }
}

// Linux keeps a nice value per thread; 0 as the "process" is this thread.
void SetNice(int nice) {
    while (setpriority(PRIO_PROCESS, 0, nice) != 0 && nice < 0)
        ++nice;
}

} // namespace

void ApplyThreadPriority(int level) {
    SetNice(NiceFor(level));
}

bool RaiseToRealtime() {
    sched_param p{};
    p.sched_priority = sched_get_priority_min(SCHED_FIFO) + 10;
    return pthread_setschedparam(pthread_self(), SCHED_FIFO, &p) == 0;
}

void RestoreNormalScheduling() {
    sched_param p{};
    pthread_setschedparam(pthread_self(), SCHED_OTHER, &p);
    SetNice(0);
}

} // namespace vartemo
