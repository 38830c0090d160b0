#include "platform/processpriority.h"

#include <QDir>

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

namespace vartemo {

namespace {

constexpr int kRealtimeClass = 3;
constexpr int kFifo = -21;

// The nice value nearest to the wanted one that the thread may take (a
// lower value than the current one needs a privilege).
int SetThreadNice(int tid, int nice) {
    const int current = getpriority(PRIO_PROCESS, id_t(tid));
    for (int n = nice; n <= 19; ++n)
        if (setpriority(PRIO_PROCESS, id_t(tid), n) == 0)
            return n;
    return current;
}

bool SetFifo(int tid) {
    sched_param p{};
    p.sched_priority = sched_get_priority_min(SCHED_FIFO);
    return sched_setscheduler(tid, SCHED_FIFO, &p) == 0;
}

// Back from the realtime class; a thread that raised itself further (an
// infrared decoder while it reads) keeps its own priority.
void LeaveFifo(int tid) {
    sched_param p{};
    if (sched_getscheduler(tid) != SCHED_FIFO || sched_getparam(tid, &p) != 0 ||
        p.sched_priority != sched_get_priority_min(SCHED_FIFO))
        return;
    p.sched_priority = 0;
    sched_setscheduler(tid, SCHED_OTHER, &p);
}

} // namespace

int NiceOfPriorityClass(int priorityClass) {
    switch (priorityClass) {
    case 0: return 19;
    case 2: return -10;
    case 3: return -20;
    default: return 0;
    }
}

int ApplyProcessPriorityClass(int priorityClass) {
    // Linux keeps the nice value per thread: every thread of the process.
    const QStringList tasks = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    int reached = 19;
    bool allFifo = !tasks.isEmpty();
    for (const QString& task : tasks) {
        const int tid = task.toInt();
        if (priorityClass == kRealtimeClass && SetFifo(tid))
            continue;
        allFifo = false;
        LeaveFifo(tid);
        // The main thread runs the 2 ms kart poll, which ran at time-critical
        // thread priority whatever the class: it never goes below normal.
        const int nice = NiceOfPriorityClass(priorityClass);
        reached = std::min(reached, SetThreadNice(tid, tid == getpid() ? std::min(nice, 0) : nice));
    }
    return allFifo ? kFifo : reached;
}

} // namespace vartemo
