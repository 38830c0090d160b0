#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace vartemo {

// A repeating timer as the pulse needs it: starting a running timer changes
// nothing, a new interval restarts the countdown at once. Tests drive their
// own implementation by hand.
class PulseTimer {
public:
    virtual ~PulseTimer() = default;
    virtual void setHandler(std::function<void()> handler) = 0;
    virtual void setInterval(int ms) = 0;
    virtual int interval() const = 0;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

// The running station's: a precise Qt timer on the main thread.
class QtPulseTimer final : public PulseTimer {
public:
    QtPulseTimer();

    void setHandler(std::function<void()> handler) override;
    void setInterval(int ms) override { timer_.setInterval(ms); }
    int interval() const override { return timer_.interval(); }
    void start() override;
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
    std::function<void()> handler_;
};

} // namespace vartemo
