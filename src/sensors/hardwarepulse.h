#pragma once

#include <QtGlobal>

namespace vartemo {

class PortAddresses;
class PortIo;
class PulseTimer;

inline constexpr quint8 kPulseBit = 0x40; // data bit 6, pin 8
inline constexpr int kMinPulseMs = 10;
inline constexpr int kMaxPulseMs = 5000;

// The hardware-control pulse on pin 8 of the input port: after a counted lap
// the pin goes high LOG0 ms later and back low LOG1 ms after that. The other
// data bits are kept (read, change bit 6, write). A lap that comes while the
// first wait runs gives no pulse of its own.
class HardwarePulse {
public:
    HardwarePulse(PortIo& io, const PortAddresses& addresses, PulseTimer& log0, PulseTimer& log1);

    // "Délka pulzu LOG0 :" / "Délka pulzu LOG1 :" changed: takes effect at once.
    void setLog0Ms(int ms);
    void setLog1Ms(int ms);

    void StartPulse();
    void HwLOG0TimerTimer();
    void HWLOG1TimerTimer();

private:
    void changePulseBit(bool high);

    PortIo& io_;
    const PortAddresses& addresses_;
    PulseTimer& hwLog0Timer_;
    PulseTimer& hwLog1Timer_;
};

} // namespace vartemo
