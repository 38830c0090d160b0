#pragma once

#include "platform/directportio.h"
#include "platform/portio.h"
#include "sensors/pulsetimer.h"

#include <map>
#include <set>
#include <vector>

namespace vartemo::testing {

// Port registers in memory with a log of every write; addresses outside
// `bases` (when given) have no port.
struct MemoryPortIo final : PortIo {
    std::map<quint16, quint8> registers;
    std::vector<std::pair<quint16, quint8>> writes;
    std::set<quint16> bases; // empty: a port everywhere

    quint16 Inp32(quint16 address) override { return present(address) ? registers[address] : 0; }
    void Out32(quint16 address, quint16 value) override {
        if (!present(address))
            return;
        registers[address] = quint8(value);
        writes.emplace_back(address, quint8(value));
    }
    bool present(quint16 address) override {
        return bases.empty() || bases.count(PortBaseOf(address));
    }
};

// The processor's port instructions over a few pretend devices: a port that
// keeps what is written, or nothing at all (reads 0xFF, as the bus floats).
struct FakeRawPorts final : RawPortAccess {
    std::set<quint16> latches; // bases of ports that answer
    bool allowed = true;       // ioperm succeeds
    std::map<quint16, quint8> values;
    std::vector<std::pair<quint16, quint8>> writes;

    bool permit(quint16, int) override { return allowed; }
    quint8 in(quint16 address) override {
        if (!latches.count(PortBaseOf(address)))
            return 0xFF;
        return values[address];
    }
    void out(quint16 address, quint8 value) override {
        writes.emplace_back(address, value);
        if (latches.count(PortBaseOf(address)))
            values[address] = value;
    }
};

// A pulse timer that fires when the test moves time on (TimerRig::advance).
class ManualPulseTimer final : public PulseTimer {
public:
    void setHandler(std::function<void()> handler) override { handler_ = std::move(handler); }
    void setInterval(int ms) override {
        interval_ = ms;
        if (active_)
            due_ = now_ + ms; // a running countdown restarts with the new length
    }
    int interval() const override { return interval_; }
    void start() override {
        if (active_)
            return;
        active_ = true;
        due_ = now_ + interval_;
    }
    void stop() override { active_ = false; }
    bool isActive() const override { return active_; }

    // When the timer fires next; -1 while stopped.
    qint64 nextDue() const { return active_ ? due_ : -1; }
    // Fires now, at t; a repeating timer falls due again one interval later.
    void fireAt(qint64 t) {
        now_ = t;
        due_ = t + interval_;
        if (handler_)
            handler_();
    }
    void setNow(qint64 t) { now_ = t; }

private:
    std::function<void()> handler_;
    int interval_ = 0;
    bool active_ = false;
    qint64 now_ = 0;
    qint64 due_ = 0;
};

// Several manual timers on one time line, fired in the order they fall due.
struct TimerRig {
    std::vector<ManualPulseTimer*> timers;
    qint64 now = 0;

    void advanceTo(qint64 t) {
        for (;;) {
            ManualPulseTimer* next = nullptr;
            for (auto* timer : timers)
                if (timer->nextDue() >= 0 && timer->nextDue() <= t &&
                    (!next || timer->nextDue() < next->nextDue()))
                    next = timer;
            if (!next)
                break;
            now = next->nextDue();
            for (auto* timer : timers)
                timer->setNow(now);
            next->fireAt(now);
        }
        now = t;
        for (auto* timer : timers)
            timer->setNow(now);
    }
};

} // namespace vartemo::testing
