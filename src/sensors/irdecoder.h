#pragma once

#include "core/clock.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

namespace vartemo {

// Turns the receive stream of one infrared receiver into kart codes. The
// stream is the ordered log of modem-status records (0xFF 0x03 MSR): changes
// of the receiver's output line, and changes of the timer line that carries
// the looped-back 9600 Bd square wave. Counting timer changes between two
// input changes measures each interval in units of 1/9600 s.
class IrDecoder {
public:
    static constexpr int kMaxEdges = 300;
    static constexpr double kTimerTick = 1.0 / 9600.0;   // seconds per timer change
    static constexpr double kFrameGap = 0.0128;          // a pause this long ends a frame
    static constexpr double kLongestBitInterval = 0.0075;
    static constexpr qint32 kDefaultBitMask = 16;

    struct Edge {
        qint32 level = 0;  // 1: input status bit clear, 0: set
        qint64 timeNs = 0; // since the frame's first edge
    };
    struct Interval {
        quint8 level = 0;  // 1: the input status bit was set during it
        double value = 0;  // seconds
    };
    struct Threshold {
        double t = 0;      // 0 for bi-phase coding
        double x = 0;      // threshold of level 1 intervals (0: level unused)
        double y = 0;      // threshold of level 0 intervals (0: level unused)
    };

    // Settings (written by the owner only while the port is closed).
    quint8 InputSignal = 1;
    quint8 TimerSignal = 2;
    qint32 CommandOrder = 0;   // decode only every N-th frame; 0 or less: every frame
    qint32 BitMask = kDefaultBitMask; // low bits kept; 0: all; below 0: the default
    bool LogToFile = false;
    QString logPath;           // "log.txt" in the program folder

    // Receives each decoded code as the 32-bit message parameter, with the
    // time of the frame's first edge on the station's clock when known.
    std::function<void(quint32 code, std::optional<TimeUs> frameStart)> post;
    // Told of each decoded frame that gives no code (a held key's repeat
    // frame before any code, too few edges, nothing that carries a bit, a
    // code longer than the message's 32 bits).
    std::function<void()> rejectedFrame;

    // Scans the bytes for modem-status records and fills Edges; returns the
    // number of edges of the frame.
    int CollectEdges(const QByteArray& bytes);
    // Decodes the collected frame and posts its code (or repeats LastCode).
    void DecodeFrame();
    // Thresholds over the kept intervals first..last.
    Threshold ComputeThreshold(int first, int last) const;

    // One read's worth of stream: collects the edges and, when the frame is
    // the CommandOrder-th one since the last decoded, decodes it.
    // newestRecordAt: when the read's last record was captured, on the
    // station's clock; the frame's start is then counted back from it.
    // True when the read held a frame's edges.
    bool ProcessRead(const QByteArray& bytes, std::optional<TimeUs> newestRecordAt = {});
    // Timer ticks from the frame's first edge to the end of the last read.
    int spanTicks() const { return spanTicks_; }
    // A new opening of the port counts frames from zero again.
    void ResetFrameCounter() { frameCounter_ = 0; }

    QString LastCode;          // hex text of the last posted code
    int LastEdge = -1;
    bool ShiftCoded = false;   // how the last frame was decoded
    const std::array<Edge, kMaxEdges>& edges() const { return edges_; }

    // For tests: the intervals table as DecodeFrame left it.
    const std::array<Interval, kMaxEdges>& intervals() const { return intervals_; }
    std::array<Interval, kMaxEdges>& intervals() { return intervals_; }

private:
    void PostCode(const QString& text);
    void reject() const {
        if (rejectedFrame)
            rejectedFrame();
    }
    QStringList scanLog() const;

    std::array<Edge, kMaxEdges> edges_{};
    std::array<Interval, kMaxEdges> intervals_{};
    int frameCounter_ = 0;
    int spanTicks_ = 0;
    std::optional<TimeUs> frameStart_;
};

} // namespace vartemo
