#include "sensors/startlightport.h"

#include "platform/portio.h"
#include "sensors/portaddresses.h"

namespace vartemo {

quint8 LightByte(int state, const LightMasks& masks, bool sharedPort, quint8 portNow) {
    const quint8 idle = sharedPort ? masks.idle : 0;
    switch (state) {
    case kLightsRedOff:
        return quint8(portNow & ~masks.red);
    case kLightsRed:
        return quint8(masks.red | idle);
    case kLightsOrange:
        return quint8(masks.orange | idle);
    case kLightsGreen:
        return quint8(masks.green | idle);
    default:
        return 0;
    }
}

LitLamp LampOfState(int state) {
    switch (state) {
    case kLightsRed:
        return LitLamp::Red;
    case kLightsOrange:
        return LitLamp::Orange;
    case kLightsGreen:
        return LitLamp::Green;
    default:
        return LitLamp::None;
    }
}

StartLightPort::StartLightPort(PortIo& io, const PortAddresses& addresses,
                               const ParallelPortSettings& settings)
    : io_(io), addresses_(addresses), settings_(settings) {
    reloadLightMasks();
}

void StartLightPort::reloadLightMasks() {
    masks_ = {settings_.idleValue(), settings_.greenMask(), settings_.orangeMask(),
              settings_.redMask()};
}

void StartLightPort::SetLights(int state) {
    // The lamps go dark first, so a failed write never leaves a stale colour lit.
    lamp_ = LitLamp::None;
    if (lampsChanged_)
        lampsChanged_(lamp_);
    if (const auto base = addresses_.SemaforPortBase()) {
        const quint8 now = state == kLightsRedOff ? quint8(io_.Inp32(*base) & 0xFF) : 0;
        io_.Out32(*base, LightByte(state, masks_, addresses_.lightsShareInputPort(), now));
    }
    lamp_ = LampOfState(state);
    if (lamp_ != LitLamp::None && lampsChanged_)
        lampsChanged_(lamp_);
}

void StartLightPort::writeIdleValue() {
    if (const auto base = addresses_.LptPortBase())
        io_.Out32(*base, settings_.idleValue());
}

} // namespace vartemo
