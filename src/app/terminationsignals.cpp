#include "app/terminationsignals.h"

#include <QApplication>
#include <QDialog>
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

// Closes the window top() names until there is none. One that stays even
// hidden ends the loop instead of spinning it.
void closeEach(QWidget* (*top)(), void (*close)(QWidget*)) {
    while (QWidget* window = top()) {
        close(window);
        if (top() == window) {
            window->hide();
            if (top() == window)
                return;
        }
    }
}

// Every menu, then every modal window and message box, the innermost first.
// One shown with exec() runs an event loop of its own inside the main one,
// and the main loop cannot end before it does: closing the window ends that
// loop, and the code that opened it goes on to its end. done() shuts the
// windows that would ask, fade out or refuse when the operator closes them.
void closeModalWindows() {
    closeEach(&QApplication::activePopupWidget, [](QWidget* popup) { popup->close(); });
    closeEach(&QApplication::activeModalWidget, [](QWidget* modal) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->done(QDialog::Rejected);
    });
}

void endStation() {
    closeModalWindows();
    if (!mainLoopRuns) {
        // Start-up goes on from where the window held it; the main loop ends it.
        endHeld = true;
        return;
    }
    // The main window's close is the station's closing (kart times, the
    // automatic FTP sending, the mixer levels), as after "Konec".
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows)
        if (window->isVisible())
            window->close();
    // Not quit(): it asks the windows to close once more and is ignored
    // while one stays up (a window that fades out or ignores its close, one
    // that the closing opened). exit() ends every running loop, the main one
    // too; the shutdown follows as after "Konec".
    QCoreApplication::exit(0);
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
        endStation();
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
