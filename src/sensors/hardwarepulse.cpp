#include "sensors/hardwarepulse.h"

#include "platform/portio.h"
#include "sensors/portaddresses.h"
#include "sensors/pulsetimer.h"

#include <algorithm>

namespace vartemo {

HardwarePulse::HardwarePulse(PortIo& io, const PortAddresses& addresses, PulseTimer& log0,
                             PulseTimer& log1)
    : io_(io), addresses_(addresses), hwLog0Timer_(log0), hwLog1Timer_(log1) {
    hwLog0Timer_.setHandler([this] { HwLOG0TimerTimer(); });
    hwLog1Timer_.setHandler([this] { HWLOG1TimerTimer(); });
}

void HardwarePulse::setLog0Ms(int ms) {
    hwLog0Timer_.setInterval(std::clamp(ms, kMinPulseMs, kMaxPulseMs));
}

void HardwarePulse::setLog1Ms(int ms) {
    hwLog1Timer_.setInterval(std::clamp(ms, kMinPulseMs, kMaxPulseMs));
}

void HardwarePulse::StartPulse() {
    hwLog0Timer_.start();
}

void HardwarePulse::HwLOG0TimerTimer() {
    hwLog0Timer_.stop();
    changePulseBit(true);
    hwLog1Timer_.start();
}

void HardwarePulse::HWLOG1TimerTimer() {
    hwLog1Timer_.stop();
    changePulseBit(false);
}

void HardwarePulse::changePulseBit(bool high) {
    const auto base = addresses_.LptPortBase();
    if (!base)
        return;
    const auto now = quint8(io_.Inp32(*base) & 0xFF);
    io_.Out32(*base, high ? quint8(now | kPulseBit) : quint8(now & ~kPulseBit));
}

} // namespace vartemo
