#pragma once

#include <initializer_list>

namespace vartemo {

// An event one thread sets and another waits for, with manual or automatic
// reset, and a wait for the first of several. Used between the main thread
// and the sensor threads (requests and acknowledgements); events are rare, so
// all of them share one lock.
class ThreadEvent {
public:
    static constexpr int kInfinite = -1;

    explicit ThreadEvent(bool manualReset) : manualReset_(manualReset) {}
    ThreadEvent(const ThreadEvent&) = delete;
    ThreadEvent& operator=(const ThreadEvent&) = delete;

    void set();
    void reset();
    bool isSet() const;
    // True when set within the time-out; an automatic event is reset by it.
    bool wait(int timeoutMs);
    // Index of the first set event (an automatic one is reset), -1 on time-out.
    static int waitAny(std::initializer_list<ThreadEvent*> events, int timeoutMs);

private:
    const bool manualReset_;
    bool set_ = false;
};

} // namespace vartemo
