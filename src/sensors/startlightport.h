#pragma once

#include "engine/racehardware.h"

#include <QtGlobal>
#include <functional>

namespace vartemo {

class PortAddresses;
class ParallelPortSettings;
class PortIo;

// Which of the three on-screen lamps is lit: at most one at a time.
enum class LitLamp { None, Red, Orange, Green };

// The light states of SetLights.
inline constexpr int kLightsRedOff = 0;
inline constexpr int kLightsRed = 1;
inline constexpr int kLightsOrange = 2;
inline constexpr int kLightsGreen = 3;

struct LightMasks {
    quint8 idle = 0;
    quint8 green = 0;
    quint8 orange = 0;
    quint8 red = 0;
};

// The byte SetLights writes to the light port. Red, orange and green replace
// the whole byte (one light at a time); the idle value joins them only when
// the lights share the input port, so that its bits are not lost there.
// Red off keeps what the port shows now without the red bits. An unknown
// state darkens the port.
quint8 LightByte(int state, const LightMasks& masks, bool sharedPort, quint8 portNow);
LitLamp LampOfState(int state);

// The start lights on the light port's data lines and their copy on screen.
class StartLightPort final : public StartLights {
public:
    StartLightPort(PortIo& io, const PortAddresses& addresses,
                   const ParallelPortSettings& settings);

    // Called after every SetLights with the lamp to show.
    void setLampsChanged(std::function<void(LitLamp)> handler) {
        lampsChanged_ = std::move(handler);
    }

    void SetLights(int state) override;
    void reloadLightMasks() override;
    void writeIdleValue() override;

    const LightMasks& masks() const { return masks_; }
    LitLamp lamp() const { return lamp_; }

private:
    PortIo& io_;
    const PortAddresses& addresses_;
    const ParallelPortSettings& settings_;
    LightMasks masks_;
    LitLamp lamp_ = LitLamp::None;
    std::function<void(LitLamp)> lampsChanged_;
};

} // namespace vartemo
