#pragma once

#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <ctime>
#include <thread>

// Shared by the benchmarks that send datagrams from a thread of their own
// into the station's event loop.

inline qint64 MonotonicNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// Runs the event loop (the station's timers and sockets) until the sender
// has set done, joins it, then a further 50 ms for the last datagrams and
// polls.
inline void RunEventsUntilSent(const std::atomic<bool>& done, std::thread& sender) {
    QEventLoop loop;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (done)
            loop.quit();
    });
    watch.start(20);
    loop.exec();
    sender.join();
    QEventLoop settle;
    QTimer::singleShot(50, &settle, &QEventLoop::quit);
    settle.exec();
}
