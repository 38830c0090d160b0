#include "core/threadevent.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace vartemo {

namespace {
std::mutex& Lock() {
    static std::mutex m;
    return m;
}
std::condition_variable& Changed() {
    static std::condition_variable c;
    return c;
}
} // namespace

void ThreadEvent::set() {
    {
        std::lock_guard guard(Lock());
        set_ = true;
    }
    Changed().notify_all();
}

void ThreadEvent::reset() {
    std::lock_guard guard(Lock());
    set_ = false;
}

bool ThreadEvent::isSet() const {
    std::lock_guard guard(Lock());
    return set_;
}

bool ThreadEvent::wait(int timeoutMs) {
    return waitAny({this}, timeoutMs) == 0;
}

int ThreadEvent::waitAny(std::initializer_list<ThreadEvent*> events, int timeoutMs) {
    std::unique_lock guard(Lock());
    int found = -1;
    auto anySet = [&] {
        int i = 0;
        for (ThreadEvent* e : events) {
            if (e->set_) {
                found = i;
                return true;
            }
            ++i;
        }
        return false;
    };
    if (timeoutMs < 0)
        Changed().wait(guard, anySet);
    else if (!Changed().wait_for(guard, std::chrono::milliseconds(timeoutMs), anySet))
        return -1;
    ThreadEvent* e = *(events.begin() + found);
    if (!e->manualReset_)
        e->set_ = false;
    return found;
}

} // namespace vartemo
