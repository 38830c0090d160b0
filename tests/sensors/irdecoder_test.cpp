#include "irsignal.h"
#include "sensors/irdecoder.h"

#include <QTemporaryDir>
#include <QFile>
#include <gtest/gtest.h>
#include <limits>
#include <random>

using namespace vartemo;
using namespace vartemo::sim;

namespace {

// A decoder whose posted codes are collected.
struct Decoder : ::testing::Test {
    IrDecoder decoder;
    std::vector<quint32> posted;

    Decoder() {
        decoder.post = [this](quint32 code, auto) { posted.push_back(code); };
    }
    void receive(const IrSignal& signal) { decoder.ProcessRead(ModemStatusStream(signal)); }
};

// The value of bits read first bit first, with the third (toggle) bit cleared.
quint64 BiPhaseValue(const std::vector<bool>& bits) {
    quint64 v = 0;
    for (size_t i = 0; i < bits.size(); ++i)
        v = (v << 1) | ((i != 2 && bits[i]) ? 1 : 0);
    return v;
}

IrSignal Concat(IrSignal a, double gap, const IrSignal& b) {
    a.push_back({false, gap});
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST_F(Decoder, BiPhaseFrameDecodesWithFirstBitOneAndToggleBitZero) {
    receive(BiPhaseFrame(true, 0x05, 0x35));
    ASSERT_EQ(posted.size(), 1u);
    const quint64 expected = BiPhaseValue(BiPhaseBits(true, 0x05, 0x35));
    EXPECT_TRUE(decoder.ShiftCoded);
    EXPECT_EQ(posted[0], expected);
    EXPECT_TRUE(posted[0] & (1u << 13));  // first bit
    EXPECT_FALSE(posted[0] & (1u << 11)); // toggle bit read as 0
    EXPECT_EQ(decoder.LastCode, QStringLiteral("%1").arg(expected, 4, 16, QLatin1Char('0')).toUpper());
}

TEST_F(Decoder, PressesDifferingOnlyInTheToggleBitGiveOneCode) {
    for (int command : {0x00, 0x01, 0x15, 0x2A, 0x3F}) {
        posted.clear();
        receive(BiPhaseFrame(false, 0x1A, command));
        receive(BiPhaseFrame(true, 0x1A, command));
        ASSERT_EQ(posted.size(), 2u) << command;
        EXPECT_EQ(posted[0], posted[1]) << command;
        EXPECT_EQ(posted[0], BiPhaseValue(BiPhaseBits(false, 0x1A, command))) << command;
    }
}

TEST_F(Decoder, RepeatFramePostsTheLastCodeOnlyWhenThereIsOne) {
    receive(RepeatFrame());
    EXPECT_TRUE(posted.empty());
    EXPECT_EQ(decoder.LastEdge, 3);

    receive(BiPhaseFrame(false, 3, 9));
    receive(RepeatFrame());
    receive(RepeatFrame());
    ASSERT_EQ(posted.size(), 3u);
    EXPECT_EQ(posted[1], posted[0]);
    EXPECT_EQ(posted[2], posted[0]);
}

TEST_F(Decoder, HeaderFrameDropsTheHeaderAndDecodesPulseDistance) {
    decoder.BitMask = 0;
    receive(PulseDistanceFrame(0x20DF10EFu));
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_GE(decoder.LastEdge, 64);
    EXPECT_FALSE(decoder.ShiftCoded);
    EXPECT_EQ(posted[0], 0x20DF10EFu);
    EXPECT_EQ(decoder.LastCode, QStringLiteral("20DF10EF"));

    decoder.BitMask = 16;
    receive(PulseDistanceFrame(0x20DF10EFu));
    EXPECT_EQ(decoder.LastCode, QStringLiteral("10EF"));
}

TEST_F(Decoder, IntervalsOfSevenAndAHalfMillisecondsNeverGiveBits) {
    decoder.BitMask = 0;
    const quint32 bits = 0x20DF10EFu;
    // Stretch the space of bit 10 (counted from the first) to 7.6 ms: that
    // bit disappears, the others stay in order.
    IrSignal signal = PulseDistanceFrame(bits);
    signal[2 + 2 * 10 + 1].seconds = 0.0076;
    receive(signal);
    ASSERT_EQ(posted.size(), 1u);
    const quint32 high = bits >> 22;            // bits 0..9
    const quint32 low = bits & ((1u << 21) - 1); // bits 11..31
    EXPECT_EQ(posted[0], (high << 21) | low);
    EXPECT_EQ(decoder.LastCode.size(), 8);       // 31 bits: still 8 digits

    // A frame made only of such intervals has no code at all.
    posted.clear();
    IrSignal slow;
    for (int i = 0; i < 8; ++i)
        slow.insert(slow.end(), {{true, 0.008}, {false, 0.008}});
    receive(slow);
    EXPECT_GE(decoder.LastEdge, 11);
    EXPECT_TRUE(posted.empty());
}

TEST_F(Decoder, PauseOverTwelvePointEightMillisecondsEndsTheFrame) {
    decoder.BitMask = 0;
    const IrSignal first = BiPhaseFrame(false, 1, 2);
    const IrSignal second = BiPhaseFrame(false, 30, 60);
    receive(Concat(first, 0.0135, second));
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0], BiPhaseValue(BiPhaseBits(false, 1, 2)));
    EXPECT_EQ(decoder.LastEdge, int(first.size()));

    // A shorter pause keeps both in one frame (and gives another code).
    decoder.CollectEdges(ModemStatusStream(Concat(first, 0.0100, second)));
    EXPECT_EQ(decoder.LastEdge, int(first.size() + second.size()) + 1);
}

TEST_F(Decoder, CommandOrderDecodesEveryNthFrame) {
    const struct {
        int order;
        size_t postsOfSix;
    } cases[] = {{0, 6}, {-1, 6}, {1, 6}, {3, 2}, {4, 1}, {7, 0}};
    for (const auto& c : cases) {
        posted.clear();
        decoder.CommandOrder = c.order;
        decoder.ResetFrameCounter();
        for (int i = 0; i < 6; ++i)
            receive(BiPhaseFrame(i % 2, 7, i));
        EXPECT_EQ(posted.size(), c.postsOfSix) << c.order;
    }
    // Every third frame: the third, not the first.
    posted.clear();
    decoder.CommandOrder = 3;
    decoder.ResetFrameCounter();
    for (int i = 1; i <= 3; ++i)
        receive(BiPhaseFrame(false, 7, i));
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0], BiPhaseValue(BiPhaseBits(false, 7, 3)));
}

TEST_F(Decoder, BitMaskZeroKeepsEveryDecodedBit) {
    decoder.BitMask = 0;
    receive(BiPhaseFrame(false, 0x1F, 0x3F));
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0], 0x37FFu);                 // 14 bits, toggle cleared
    EXPECT_EQ(decoder.LastCode, QStringLiteral("37FF")); // ceil(14 / 4) digits

    decoder.BitMask = 6;
    receive(BiPhaseFrame(false, 0x1F, 0x2A));
    EXPECT_EQ(decoder.LastCode, QStringLiteral("2A"));
}

TEST_F(Decoder, NegativeBitMaskDecodesWithTheDefaultMask) {
    // Set directly (not through the registry): the decoder itself never
    // shifts by a negative count.
    for (qint32 mask : {-1, -16, -64, std::numeric_limits<qint32>::min()}) {
        posted.clear();
        decoder.BitMask = mask;
        receive(PulseDistanceFrame(0x12345678u));
        ASSERT_EQ(posted.size(), 1u) << mask;
        EXPECT_EQ(posted[0], 0x5678u) << mask;     // the low 16 bits, as mask 16 keeps
        EXPECT_EQ(decoder.LastCode, QStringLiteral("5678")) << mask;
    }
}

TEST_F(Decoder, CodeWiderThanThirtyTwoBitsIsDroppedAndDecodingGoesOn) {
    decoder.BitMask = 0;
    std::vector<bool> bits(40, false);
    bits[0] = bits[5] = bits[39] = true;
    receive(PulseDistanceFrame(bits));
    EXPECT_TRUE(posted.empty());
    EXPECT_TRUE(decoder.LastCode.isEmpty());
    receive(RepeatFrame());                        // nothing to repeat
    EXPECT_TRUE(posted.empty());

    // Above 32 bits masked with a wider mask, a value that fits is posted.
    decoder.BitMask = 40;
    receive(PulseDistanceFrame(0x12345678u));
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0], 0x12345678u);
    EXPECT_EQ(decoder.LastCode, QStringLiteral("0012345678"));
}

// Frames that give no code are told (the receiver's health counts them);
// a decoded one or a repeat of a code is not.
TEST_F(Decoder, FramesThatGiveNoCodeAreTold) {
    int rejected = 0;
    decoder.rejectedFrame = [&] { ++rejected; };
    receive(RepeatFrame()); // nothing to repeat yet
    EXPECT_EQ(rejected, 1);
    receive(BiPhaseFrame(false, 3, 9));
    receive(RepeatFrame());
    EXPECT_EQ(rejected, 1);
    EXPECT_EQ(posted.size(), 2u);
    decoder.BitMask = 0;
    std::vector<bool> bits(40, false);
    bits[0] = true;
    receive(PulseDistanceFrame(bits)); // wider than the message
    EXPECT_EQ(rejected, 2);
    EXPECT_FALSE(decoder.ProcessRead(QByteArray("\x55\x55", 2))) << "no edges: no frame";
    EXPECT_EQ(rejected, 2);
}

TEST_F(Decoder, OtherRecordsAndDataInTheStreamAreSkipped) {
    const QByteArray clean = ModemStatusStream(BiPhaseFrame(false, 2, 5));
    QByteArray noisy;
    for (qsizetype i = 0; i < clean.size(); i += 3) {
        noisy += clean.mid(i, 3);
        if (i % 30 == 0)
            noisy += QByteArray("\xFF\x01\x60\x41", 4);      // line status with data
        if (i % 33 == 0)
            noisy += QByteArray("\xFF\x02\x60\xFF\x00", 5);  // line status, escaped 0xFF
        if (i % 36 == 0)
            noisy += QByteArray("U\xFF\x07", 3);              // data, lone 0xFF
    }
    decoder.ProcessRead(noisy);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0], BiPhaseValue(BiPhaseBits(false, 2, 5)));
}

TEST_F(Decoder, EdgesOnTheSelectedLinesOnly) {
    // The same frame on CTS with the timer on DCD.
    decoder.InputSignal = 0;
    decoder.TimerSignal = 2;
    decoder.ProcessRead(ModemStatusStream(BiPhaseFrame(false, 9, 9), 0, 2));
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0], BiPhaseValue(BiPhaseBits(false, 9, 9)));
    // Read as DSR (a line that stays clear): at most the one edge of the
    // first record, and nothing is posted.
    decoder.InputSignal = 1;
    posted.clear();
    decoder.ProcessRead(ModemStatusStream(BiPhaseFrame(false, 9, 9), 0, 2));
    EXPECT_LE(decoder.LastEdge, 0);
    EXPECT_TRUE(posted.empty());
}

TEST_F(Decoder, GarbageNeverOverrunsTheEdgeTable) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        QByteArray bytes(int(random() % 4000), Qt::Uninitialized);
        for (auto& b : bytes)
            b = char(random() % 4 == 0 ? 0xFF : random() % 8 == 0 ? 0x03 : random());
        const int n = decoder.CollectEdges(bytes);
        EXPECT_LE(n, IrDecoder::kMaxEdges);
        EXPECT_EQ(decoder.LastEdge, n - 1);
        decoder.DecodeFrame();
    }
    // 400 edges 1 ms apart: the table keeps the first 300.
    IrSignal many;
    for (int i = 0; i < 200; ++i)
        many.insert(many.end(), {{true, 0.001}, {false, 0.001}});
    EXPECT_EQ(decoder.CollectEdges(ModemStatusStream(many)), IrDecoder::kMaxEdges);
}

TEST_F(Decoder, ThresholdSearchEndsWhenAllIntervalsAreEqual) {
    for (int i = 0; i < 40; ++i)
        decoder.intervals()[size_t(i)] = {quint8(i % 2), 0.001};
    const auto th = decoder.ComputeThreshold(0, 39);
    EXPECT_NEAR(th.t, 0.0008, 1e-12);   // no long value: 0.8 of the short one
    // A single interval of the mode's level: nothing larger or smaller exists.
    decoder.intervals()[0] = {0, 0.002};
    decoder.intervals()[1] = {1, 0.001};
    decoder.intervals()[2] = {0, 0.002};
    const auto one = decoder.ComputeThreshold(0, 2);
    EXPECT_GT(one.t + one.x + one.y, 0.0);
}

TEST_F(Decoder, ScanLogRecordsEveryEdgeAndTheCode) {
    QTemporaryDir dir;
    decoder.LogToFile = true;
    decoder.logPath = dir.filePath(QStringLiteral("log.txt"));
    const IrSignal frame = BiPhaseFrame(false, 4, 4);
    receive(frame);
    receive(frame);
    QFile f(decoder.logPath);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = f.readAll().split('\n');
    const int edges = decoder.LastEdge + 1;
    // Per frame: separator, edges, edges-1 step lines, the code line.
    ASSERT_EQ(lines.size(), 2 * (1 + edges + edges - 1 + 1) + 1);
    EXPECT_EQ(lines[0], QByteArray(";----------------------------------------\r"));
    EXPECT_EQ(lines[1], QByteArray("     0.000\t1\r"));
    // The first interval is one half-bit: 9 ticks of 1/9600 s (0.9375 ms) or 8.
    EXPECT_TRUE(lines[2] == "     0.938\t1\t     0.938\r" || lines[2] == "     0.833\t1\t     0.833\r")
        << lines[2].toStdString();
    EXPECT_EQ(lines[3].left(11), QByteArray(lines[2].left(10) + '\t'));
    EXPECT_EQ(lines[2 * edges], "Code= " + decoder.LastCode.toLatin1() + ";  ShiftCoded=TRUE\r");
    EXPECT_EQ(lines.last(), QByteArray());

    // An unwritable log is skipped; decoding goes on.
    decoder.logPath = dir.filePath(QStringLiteral("missing/log.txt"));
    posted.clear();
    receive(frame);
    EXPECT_EQ(posted.size(), 1u);
}
