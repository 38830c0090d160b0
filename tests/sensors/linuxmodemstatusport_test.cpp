#include "support/pseudoterminal.h"
#include "irsignal.h"
#include "platform/linuxmodemstatusport.h"
#include "sensors/irdecoder.h"

#include <cmath>

#include <gtest/gtest.h>
#include <unistd.h>

using namespace vartemo;

// Line changes can only be counted on a real UART. Everything else must be
// refused with the right answer, and the port must be free again afterwards.
TEST(LinuxModemStatusPort, RefusesWhatCannotCaptureLineChanges) {
    LinuxModemStatusPort port;
    EXPECT_EQ(port.open(QStringLiteral("/dev/vartemo-no-such-port"), 1, 2),
              ModemStatusPort::OpenResult::Busy);
    EXPECT_EQ(port.open(QStringLiteral("/dev/null"), 1, 2), ModemStatusPort::OpenResult::Busy);

    const PseudoTerminal terminal;
    ASSERT_TRUE(terminal.isOpen());
    // A pseudo-terminal opens but has no interrupt counters.
    EXPECT_EQ(port.open(terminal.slavePath, 0, 2), ModemStatusPort::OpenResult::CaptureFailed);
    EXPECT_TRUE(port.takeRecords().isEmpty());
    EXPECT_FALSE(port.inputChanged().isSet());
    port.close();
}

// What the capture thread writes at each wake-up (timer changes counted since
// the last one, then the input change) is a stream the decoder reads exactly
// as the driver-made one.
TEST(LinuxModemStatusPort, CapturedRecordsDecodeLikeTheDriversStream) {
    const auto bits = vartemo::sim::BiPhaseBits(true, 0x15, 0x2B);
    QByteArray stream;
    qint64 ticks = 0;
    double t = 0;
    bool inputOn = true; // idle: the status bit is set
    stream += LinuxModemStatusPort::RecordsForChanges(40, 0, inputOn, false, 0, 1); // idle lead-in
    ticks = 40;
    for (const auto& span : vartemo::sim::BiPhaseFrame(true, 0x15, 0x2B)) {
        // Input change at the start of the span, after the timer changes since the last one.
        const qint64 now = qint64(std::floor((t + 0.004) * 9600.0));
        inputOn = !inputOn;
        stream += LinuxModemStatusPort::RecordsForChanges(int(now - ticks), 1, inputOn, now % 2, 0, 1);
        ticks = now;
        t += span.seconds;
    }
    const qint64 end = qint64(std::floor((t + 0.004) * 9600.0));
    stream += LinuxModemStatusPort::RecordsForChanges(int(end - ticks), 1, true, end % 2, 0, 1);

    IrDecoder decoder;
    decoder.InputSignal = 0;
    decoder.TimerSignal = 1;
    quint32 posted = 0;
    decoder.post = [&](quint32 code, auto) { posted = code; };
    decoder.ProcessRead(stream);
    quint32 expected = 0;
    for (size_t i = 0; i < bits.size(); ++i)
        expected = (expected << 1) | ((i != 2 && bits[i]) ? 1 : 0);
    EXPECT_EQ(posted, expected);
    EXPECT_TRUE(decoder.ShiftCoded);
    // The levels follow the line: a mark (status bit clear) first, then alternating.
    for (int i = 0; i <= decoder.LastEdge; ++i)
        EXPECT_EQ(decoder.edges()[size_t(i)].level, (i + 1) % 2) << i;
}
