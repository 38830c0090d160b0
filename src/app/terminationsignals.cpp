#include "app/terminationsignals.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace vartemo {

namespace {

int signalPipe[2] = {-1, -1};
bool mainLoopRuns = false;
bool endHeld = false;
bool signalled = false;

void endStation() {
    QApplication::closeAllWindows();
    QApplication::quit();
}

// Only async-signal-safe work here: one byte into the pipe.
void onSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
}

} // namespace

void QuitOnTerminationSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(signalPipe[0], &byte, 1);
        signalled = true;
        if (mainLoopRuns)
            endStation();
        else
            endHeld = true;
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool EndingBySignal() {
    return signalled;
}

int ExecEndingOnTerminationSignals() {
    QTimer::singleShot(0, qApp, [] {
        mainLoopRuns = true;
        if (endHeld)
            endStation();
    });
    return QApplication::exec();
}

} // namespace vartemo
