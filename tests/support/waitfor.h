#pragma once

#include <QDeadlineTimer>
#include <QThread>
#include <functional>

// Polls a condition of another process (a file it writes, a window it
// shows) until it holds; false after the deadline, which only a hang meets.
inline bool WaitFor(const std::function<bool()>& condition, int deadlineMs = 30000, int pollMs = 2) {
    QDeadlineTimer deadline(deadlineMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(pollMs);
    }
    return true;
}
