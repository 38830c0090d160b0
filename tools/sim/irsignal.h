#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <vector>

namespace vartemo::sim {

// One stretch of an infrared receiver's output: carrier seen (mark) or not.
struct IrSpan {
    bool mark;
    double seconds;
};
using IrSignal = std::vector<IrSpan>;

// Bi-phase frame of 14 bits (two start bits 1, toggle, 5 address bits,
// 6 command bits) with 889 us half-bits, starting at the first mark.
IrSignal BiPhaseFrame(bool toggle, int address, int command);
// The 14 bits of that frame, first bit first.
std::vector<bool> BiPhaseBits(bool toggle, int address, int command);

// 9 ms + 4.5 ms header, 32 pulse-distance bits (562.5 us mark, then 562.5 us
// space for 0 or 1687.5 us for 1), first bit first, and a closing mark.
IrSignal PulseDistanceFrame(quint32 bits);
IrSignal PulseDistanceFrame(const std::vector<bool>& bits);
// The short frame a remote sends while a key is held: 9 ms mark, 2.25 ms
// space, one 562.5 us mark.
IrSignal RepeatFrame();

// The receive stream of a port whose input line carries the signal and whose
// timer line carries the looped-back 9600 Bd square wave: one 0xFF 0x03 MSR
// record per change of either line, in time order. The line is idle (status
// bit set) for leadIn seconds before the signal and tail seconds after it.
// Lines by index: 0 CTS, 1 DSR, 2 DCD.
QByteArray ModemStatusStream(const IrSignal& signal, int inputLine = 1, int timerLine = 2,
                             double leadIn = 0.02, double tail = 0.02);

} // namespace vartemo::sim
