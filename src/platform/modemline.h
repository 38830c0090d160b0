#pragma once

#include <QtGlobal>

namespace vartemo {

// The modem-status input lines an infrared receiver can be wired to, by the
// index the settings use: 0 CTS, 1 DSR, 2 DCD. Index 3 ("RXD") means the byte
// receiver instead of the infrared decoders.
struct ModemLine {
    quint32 eventMask; // the line's comm event bit (EV_CTS, EV_DSR, EV_RLSD)
    quint8 statusBit;  // its bit in the modem status register
    quint8 deltaBit;   // its "changed" bit: the status bit shifted right by four
};

inline constexpr int kInputLineRxd = 3;

inline constexpr ModemLine kModemLines[3] = {
    {0x0008, 0x10, 0x01}, // CTS
    {0x0010, 0x20, 0x02}, // DSR
    {0x0020, 0x80, 0x08}, // DCD
};

// Out-of-range indices fall back to DSR, the default receiver line.
inline const ModemLine& ModemLineFor(int index) {
    return kModemLines[(index >= 0 && index < 3) ? index : 1];
}

// Escape byte and record type of a modem-status record in the receive stream:
// 0xFF 0x03 MSR.
inline constexpr quint8 kStreamEscape = 0xFF;
inline constexpr quint8 kRecordModemStatus = 0x03;

} // namespace vartemo
