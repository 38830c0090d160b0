#include "sensors/irdecoder.h"

#include "core/textfile.h"
#include "platform/modemline.h"

#include <algorithm>
#include <cmath>

namespace vartemo {

namespace {

QString Millis(double seconds) {
    return QString::asprintf("%10.3f", seconds * 1000.0);
}

double Seconds(qint64 ns) {
    return double(ns) / 1e9;
}

} // namespace

int IrDecoder::CollectEdges(const QByteArray& bytes) {
    const ModemLine& input = ModemLineFor(InputSignal);
    const ModemLine& timer = ModemLineFor(TimerSignal);
    const auto* data = reinterpret_cast<const quint8*>(bytes.constData());
    const qsizetype size = bytes.size();

    double t = 0;
    qint32 cur = 0;
    int n = 0;
    bool frameEnded = false;
    spanTicks_ = 0;
    qsizetype i = 0;
    while (i < size) {
        if (data[i] != kStreamEscape || i + 1 >= size) {
            ++i;
            continue;
        }
        switch (data[i + 1]) {
        case 0x00: i += 2; continue;   // escaped data byte
        case 0x01: i += 4; continue;   // line status with data
        case 0x02: i += 3; continue;   // line status
        case kRecordModemStatus: break;
        default: ++i; continue;        // a lone 0xFF is ordinary data
        }
        if (i + 2 >= size)
            break;                      // record cut off at the end of the read
        const quint8 m = data[i + 2];
        i += 3;

        // The rest of the read after the frame only counts the time since
        // its first edge: the frame's start is the passing.
        if ((m & timer.deltaBit) != 0 && n > 0)
            ++spanTicks_;
        if (frameEnded)
            continue;
        const qint32 g = (m & input.statusBit) == 0 ? 1 : 0;
        const bool edge = g != cur || (m & input.deltaBit) != 0;
        if (edge)
            cur = g;
        if ((m & timer.deltaBit) != 0 && n > 0)
            t += kTimerTick;
        if (edge && n < kMaxEdges) {
            edges_[size_t(n)] = {cur, std::llround(t * 1e9)};
            if (n > 2 && t - Seconds(edges_[size_t(n - 1)].timeNs) > kFrameGap) {
                frameEnded = true;      // the frame has ended
                continue;
            }
            ++n;
        }
    }
    LastEdge = n - 1;
    return n;
}

IrDecoder::Threshold IrDecoder::ComputeThreshold(int first, int last) const {
    if (first + 1 < last)
        first += 2;                     // the first two intervals are often distorted

    double minimum[2] = {100.0, 100.0};
    double maximum[2] = {0.0, 0.0};
    for (int i = first; i <= last; ++i) {
        const auto& iv = intervals_[size_t(i)];
        minimum[iv.level] = std::min(minimum[iv.level], iv.value);
        maximum[iv.level] = std::max(maximum[iv.level], iv.value);
    }
    const double spread0 = maximum[0] - minimum[0];
    const double spread1 = maximum[1] - minimum[1];

    double limit = (last - first) * 0.25;
    int mode = 2; // 2: both levels carry information (bi-phase)
    if (!(spread1 != 0 && spread0 / spread1 > 5.0 / 7.0 && spread0 / spread1 < 1.4)) {
        mode = spread0 < spread1 ? 1 : 0;
        limit /= 2;
    }
    auto considered = [&](int i) { return mode == 2 || intervals_[size_t(i)].level == mode; };
    auto countEqual = [&](double v) {
        int c = 0;
        for (int i = first; i <= last; ++i)
            c += considered(i) && intervals_[size_t(i)].value == v;
        return c;
    };

    // Short value: walk up through the distinct values until about the lower
    // quarter of the intervals lies below. Stops at the largest value.
    double p = 0;
    double count = 1;
    while (count < limit) {
        bool found = false;
        double candidate = 100.0;
        for (int i = first; i <= last; ++i) {
            const double v = intervals_[size_t(i)].value;
            if (considered(i) && v > p && v < candidate) {
                candidate = v;
                found = true;
            }
        }
        count += countEqual(p);
        if (!found)
            break;
        p = candidate;
    }
    double shortValue = p;

    // Long value: walk down from the top the same way, unless the values
    // reach the short one first (all intervals of one length).
    double q = 100.0;
    double longValue = 0;
    count = 1;
    bool decided = false;
    while (count < limit) {
        bool found = false;
        double candidate = 0.0;
        for (int i = first; i <= last; ++i) {
            const double v = intervals_[size_t(i)].value;
            if (considered(i) && v < q && v > candidate) {
                candidate = v;
                found = true;
            }
        }
        count += countEqual(q);
        if (shortValue != 0 && candidate / shortValue > 0.75 && candidate / shortValue < 4.0 / 3.0) {
            if (q == 100.0) {
                shortValue *= 0.8;
                longValue = shortValue;
            } else {
                longValue = q;
            }
            decided = true;
            break;
        }
        if (!found)
            break;
        q = candidate;
    }
    if (!decided)
        longValue = q;

    Threshold result;
    const double t = (shortValue + longValue) / 2;
    result.x = result.y = t;
    if (mode == 0)
        result.x = 0;
    if (mode == 1)
        result.y = 0;
    result.t = mode == 2 ? 0 : t;
    return result;
}

QStringList IrDecoder::scanLog() const {
    QStringList lines{QStringLiteral(";----------------------------------------")};
    const double start = Seconds(edges_[0].timeNs);
    for (int i = 0; i <= LastEdge; ++i) {
        const double ti = Seconds(edges_[size_t(i)].timeNs);
        const int level = edges_[size_t(i)].level;
        lines << Millis(ti - start) + u'\t' + QString::number(level);
        if (i < LastEdge) {
            const double next = Seconds(edges_[size_t(i + 1)].timeNs);
            lines << Millis(next - start) + u'\t' + QString::number(level) + u'\t' +
                         Millis(next - ti);
        }
    }
    return lines;
}

void IrDecoder::DecodeFrame() {
    // A held key: a short four-edge frame that opens with a long pulse.
    if (LastEdge == 3 && Seconds(edges_[1].timeNs - edges_[0].timeNs) > 0.005) {
        if (!LastCode.isEmpty())
            PostCode(LastCode);
        else
            reject();
        return;
    }
    if (LastEdge <= 10) {
        reject();
        return;
    }

    for (int i = 0; i <= LastEdge; ++i)
        intervals_[size_t(i)] = {quint8(edges_[size_t(i)].level == 0 ? 1 : 0),
                                 Seconds(edges_[size_t(i)].timeNs)};
    QStringList log;
    if (LogToFile)
        log = scanLog();

    for (int i = 0; i < LastEdge; ++i)
        intervals_[size_t(i)].value = intervals_[size_t(i + 1)].value - intervals_[size_t(i)].value;

    // A 9 ms + 4.5 ms header in front of a long frame carries no bits.
    const bool longHeader =
        intervals_[0].value > 0.005 && intervals_[1].value > 0.003 && LastEdge >= 64;
    const bool firstIsLongPulse = intervals_[0].level != 0 && intervals_[0].value > 0.003;
    int k = 0;
    for (int j = 0; j < LastEdge; ++j) {
        const auto iv = intervals_[size_t(j)];
        if (iv.value < kLongestBitInterval && (!longHeader || j >= 2) &&
            (j > 0 || !firstIsLongPulse))
            intervals_[size_t(k++)] = iv;
    }

    // Nothing left that could carry a bit: no code (not the lone start bit).
    if (k == 0) {
        reject();
        return;
    }
    const Threshold th = ComputeThreshold(0, k - 1);
    ShiftCoded = th.t == 0;
    LastCode.clear();
    quint64 v = 0;
    int b = 0;
    if (ShiftCoded) {
        // Bi-phase: a long interval flips the bit, two short halves repeat it.
        const double t = th.x;
        b = 1;
        v = 1;
        bool bit = true;
        int j = 0;
        while (j <= k - 1) {
            if (intervals_[size_t(j)].value > t) {
                bit = !bit;
            } else {
                if (j == k - 1)
                    break;
                if (intervals_[size_t(j + 1)].value < t)
                    ++j;
            }
            ++j;
            v <<= 1;
            ++b;
            if (bit)
                v |= 1;
            if (b == 3)
                v &= ~quint64(1); // the toggle bit: repeated presses give one code
        }
    } else {
        // Pulse width or pulse distance: only intervals of one level carry bits.
        const quint8 s = th.x != 0 ? 1 : 0;
        const bool shortFrame = !longHeader && s == 0 && k - 1 == 24;
        for (int j = 0; j < k; ++j) {
            const auto& iv = intervals_[size_t(j)];
            if (iv.level != s)
                continue;
            v <<= 1;
            ++b;
            if (iv.value > th.t)
                v |= 1;
            if (shortFrame) {
                const double next = j + 1 < k ? intervals_[size_t(j + 1)].value : 0.0;
                if (b < 3 && iv.value + next > 0.004)
                    v &= ~quint64(1);
                if (b == 5)
                    v &= ~quint64(1);
            }
        }
    }

    // A negative mask (a damaged registry value) would shift by a negative count.
    const qint32 mask = BitMask < 0 ? kDefaultBitMask : BitMask;
    if (mask != 0) {
        if (mask < 64)
            v &= (quint64(1) << mask) - 1;
        b = mask;
    }
    const int digits = std::max(1, (b + 3) / 4);
    const QString text = QStringLiteral("%1").arg(v, digits, 16, QLatin1Char('0')).toUpper();
    PostCode(text);

    if (LogToFile) {
        log << QStringLiteral("Code= ") + text + QStringLiteral(";  ShiftCoded=") +
                   (ShiftCoded ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
        textfile::appendLines(logPath, log); // a log that cannot be written is skipped
    }
}

void IrDecoder::PostCode(const QString& text) {
    // The message carries 32 bits. A longer code (BitMask 0 or above 32) is
    // dropped rather than cut: its low bits could equal another kart's code
    // and give that kart a lap it did not drive. It is not kept as LastCode
    // either, so its repeat frames post nothing.
    bool ok = false;
    const quint64 value = text.toULongLong(&ok, 16);
    if (!ok || value > 0xFFFFFFFFull) {
        reject();
        return;
    }
    LastCode = text;
    if (post)
        post(quint32(value), frameStart_);
}

bool IrDecoder::ProcessRead(const QByteArray& bytes, std::optional<TimeUs> newestRecordAt) {
    frameStart_.reset();
    if (CollectEdges(bytes) == 0)
        return false;
    // The timer line counts the time from the frame's first edge to the
    // newest record exactly, whatever the delay of the read.
    if (newestRecordAt)
        frameStart_ = *newestRecordAt - std::llround(spanTicks_ * kTimerTick * 1e6);
    ++frameCounter_;
    if (CommandOrder <= 0 || frameCounter_ >= CommandOrder) {
        DecodeFrame();
        frameCounter_ = 0;
    }
    return true;
}

} // namespace vartemo
