#include "sensors/pulsetimer.h"

namespace vartemo {

QtPulseTimer::QtPulseTimer() {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (handler_)
            handler_();
    });
}

void QtPulseTimer::setHandler(std::function<void()> handler) {
    handler_ = std::move(handler);
}

void QtPulseTimer::start() {
    // QTimer::start() would restart a running countdown.
    if (!timer_.isActive())
        timer_.start();
}

} // namespace vartemo
