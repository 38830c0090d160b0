#pragma once

#include "engine/racehardware.h"

#include <QtGlobal>
#include <optional>

namespace vartemo {

class PortAddresses;
class ParallelPortSettings;
class PortIo;

// Status-register bits of the input port.
inline constexpr int kFirstKartBit = 3; // kart 1 on bit 3 (pin 15) ... kart 4 on bit 6 (pin 10)
inline constexpr int kLptKartCount = 4;
inline constexpr quint8 kStartButtonBit = 0x80; // pin 11 "BUSY"

// Kart input of kart 1..4 in a status byte. Inputs are levels: with
// negation on a kart is active while its bit reads 1, with it off while 0.
bool KartBitActive(quint8 status, int kart, bool negated);

// The parallel-port inputs: the lap sensors of karts 1 to 4 (polled every
// 2 ms by the lap computation) and the external start button with the
// automatic start (polled every 200 ms by race control). Without a port at
// the input address every input stays idle.
class LptInputs final : public StartInputs {
public:
    LptInputs(PortIo& io, const PortAddresses& addresses, const ParallelPortSettings& settings);

    // One status read. Never active for karts 5 to 8 or with "Použít LPT" off.
    bool kartInputActive(int kart);

    void readStatus() override;
    bool externalStartPressed() const override;
    bool anyKartInputActive() const override;

private:
    // The status register, or nullopt when no port answers there.
    std::optional<quint8> readStatusRegister();

    PortIo& io_;
    const PortAddresses& addresses_;
    const ParallelPortSettings& settings_;
    std::optional<quint8> lastStatus_;
};

} // namespace vartemo
