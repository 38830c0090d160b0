#include "irsignal.h"

#include "platform/modemline.h"

#include <cmath>

namespace vartemo::sim {

namespace {

constexpr double kHalfBit = 0.000889;
constexpr double kNecUnit = 0.0005625;

// Appends a stretch, merging it with the previous one of the same kind.
void Append(IrSignal& s, bool mark, double seconds) {
    if (!s.empty() && s.back().mark == mark)
        s.back().seconds += seconds;
    else
        s.push_back({mark, seconds});
}

} // namespace

std::vector<bool> BiPhaseBits(bool toggle, int address, int command) {
    std::vector<bool> bits{true, true, toggle};
    for (int i = 4; i >= 0; --i)
        bits.push_back((address >> i) & 1);
    for (int i = 5; i >= 0; --i)
        bits.push_back((command >> i) & 1);
    return bits;
}

IrSignal BiPhaseFrame(bool toggle, int address, int command) {
    IrSignal s;
    for (bool bit : BiPhaseBits(toggle, address, command)) {
        // 1: space then mark; 0: mark then space.
        Append(s, !bit, kHalfBit);
        Append(s, bit, kHalfBit);
    }
    // The line is idle before the first mark and after the last one.
    if (!s.empty() && !s.front().mark)
        s.erase(s.begin());
    if (!s.empty() && !s.back().mark)
        s.pop_back();
    return s;
}

IrSignal PulseDistanceFrame(quint32 bits) {
    std::vector<bool> v;
    for (int i = 31; i >= 0; --i)
        v.push_back((bits >> i) & 1);
    return PulseDistanceFrame(v);
}

IrSignal PulseDistanceFrame(const std::vector<bool>& bits) {
    IrSignal s{{true, 0.009}, {false, 0.0045}};
    for (bool bit : bits) {
        s.push_back({true, kNecUnit});
        s.push_back({false, bit ? 3 * kNecUnit : kNecUnit});
    }
    s.push_back({true, kNecUnit});
    return s;
}

IrSignal RepeatFrame() {
    return {{true, 0.009}, {false, 0.00225}, {true, kNecUnit}};
}

QByteArray ModemStatusStream(const IrSignal& signal, int inputLine, int timerLine,
                             double leadIn, double tail) {
    const ModemLine& input = ModemLineFor(inputLine);
    const ModemLine& timer = ModemLineFor(timerLine);

    // Input edges at absolute times; the line is idle (status set) between marks.
    std::vector<double> edgeTimes;
    double t = leadIn;
    for (const auto& span : signal) {
        edgeTimes.push_back(t);
        t += span.seconds;
    }
    edgeTimes.push_back(t);
    const double end = t + tail;

    QByteArray out;
    bool mark = false;
    bool timerHigh = false;
    auto status = [&]() {
        quint8 m = 0;
        if (!mark)
            m |= input.statusBit;
        if (timerHigh)
            m |= timer.statusBit;
        return m;
    };
    auto record = [&](quint8 m) {
        out.append(char(kStreamEscape));
        out.append(char(kRecordModemStatus));
        out.append(char(m));
    };

    size_t nextEdge = 0;
    const auto ticks = qint64(std::floor(end * 9600.0));
    for (qint64 tick = 1; tick <= ticks; ++tick) {
        const double now = double(tick) / 9600.0;
        // Input changes that happened before this timer change come first.
        while (nextEdge < edgeTimes.size() && edgeTimes[nextEdge] < now) {
            mark = !mark;
            record(quint8(status() | input.deltaBit));
            ++nextEdge;
        }
        timerHigh = !timerHigh;
        record(quint8(status() | timer.deltaBit));
    }
    return out;
}

} // namespace vartemo::sim
