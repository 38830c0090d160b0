#include "freeport.h"
#include "support/pseudoterminal.h"
#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "platform/modemstatusport.h"
#include "platform/registrystore.h"
#include "sensors/receivers.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

struct Station : ::testing::Test {
    RaceBoard board;
    ManualClock clock;
    FixedLapSettings lapSettings;
    LapComputation laps{board, clock, lapSettings};
    FixedReceiverSettings settings;
    MemoryRegistryStore registry;
    std::vector<FakeModemStatusPort*> ports;
    QStringList errors;
    QStringList captions;
    Receivers receivers{{.laps = laps,
                         .settings = settings,
                         .registry = registry,
                         .infrared = {},
                         .makeModemPort =
                             [this] {
                                 auto port = std::make_unique<FakeModemStatusPort>();
                                 ports.push_back(port.get());
                                 return port;
                             },
                         .reportFailure = [this](const QString& m, const QString& caption) {
                             errors << m;
                             captions << caption;
                         }}};
};

} // namespace

TEST_F(Station, InfraredDecodersStartOnlyForModemLinesAndOncePerPort) {
    const struct {
        int input;
        const char* second;
        int firstOpens, secondOpens;
    } cases[] = {{3, "COM2", 0, 0}, {1, "COM1", 1, 0}, {0, "COM2", 1, 1},
                 {0, "", 1, 0}}; // no second port named: no second receiver
    for (const auto& c : cases) {
        receivers.CommThread().ClosePort();
        receivers.CommThread1().ClosePort();
        ports[0]->opens = ports[1]->opens = 0;
        receivers.CommThread().InputSignal = quint8(c.input);
        receivers.CommThread().ComName = QStringLiteral("COM1");
        receivers.CommThread1().ComName = QString::fromLatin1(c.second);
        receivers.startInfraredDecoders();
        EXPECT_EQ(ports[0]->opens, c.firstOpens) << c.input << c.second;
        EXPECT_EQ(ports[1]->opens, c.secondOpens) << c.input << c.second;
    }
    receivers.startInfraredDecoders();   // running decoders are left alone
    EXPECT_EQ(ports[0]->opens, 1);
}

TEST_F(Station, NetworkFailureIsToldOncePerCauseAndThePollLeavesItUntilARetry) {
    settings.udpPorts = {QStringLiteral("abc")};
    EXPECT_FALSE(receivers.bindNetworkPorts());
    receivers.activateNetwork(true);
    EXPECT_FALSE(receivers.IdUDPServer1().isActive());
    EXPECT_EQ(errors, QStringList{QStringLiteral("'abc' is not a valid integer value")});
    receivers.forgetFailures();          // a setting changed: told again if it still fails
    receivers.activateNetwork(true);
    EXPECT_EQ(errors.size(), 2);

    errors.clear();
    captions.clear();
    QUdpSocket occupant;
    ASSERT_TRUE(occupant.bind(QHostAddress::AnyIPv4, 0));
    const quint16 held = occupant.localPort();
    const quint16 free = FreeUdpPort();
    settings.udpPorts = {QString::number(free), QString::number(held)};
    receivers.activateNetwork(true);
    EXPECT_TRUE(receivers.IdUDPServer1().isActive()) << "the free port listens";
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QString::number(held)));
    EXPECT_EQ(captions, QStringList{QString()}) << "the program's own caption";
    for (int tick = 0; tick < 5; ++tick)
        receivers.activateNetwork(false); // the start poll
    EXPECT_EQ(errors.size(), 1);
    receivers.activateNetwork(true);      // the next START tries again, silently for the same cause
    EXPECT_EQ(errors.size(), 1);

    // Freed meanwhile: the poll alone does not look again; after a retry is
    // allowed (START, STOP) it binds the port without touching the other.
    occupant.close();
    receivers.activateNetwork(false);
    EXPECT_FALSE(receivers.IdUDPServer1().failures().isEmpty());
    receivers.allowRetry();
    receivers.activateNetwork(false);
    EXPECT_TRUE(receivers.IdUDPServer1().failures().isEmpty());
    EXPECT_EQ(errors.size(), 1);
    receivers.deactivateNetwork();
    EXPECT_FALSE(receivers.IdUDPServer1().isActive());
}

TEST_F(Station, SerialPortThatFailsIsNotRetriedByThePoll) {
    settings.port.port = QStringLiteral("/dev/vartemo-no-such-port");
    for (int tick = 0; tick < 5; ++tick)
        receivers.openSerialPort();
    EXPECT_FALSE(receivers.serialPortOpen());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("/dev/vartemo-no-such-port")));

    // Once retries are allowed the port is tried again: a terminal there now opens.
    PseudoTerminal terminal;
    settings.port.port = terminal.slavePath;
    receivers.openSerialPort();
    EXPECT_FALSE(receivers.serialPortOpen()) << "the poll does not retry on its own";
    receivers.allowRetry();
    receivers.openSerialPort();
    EXPECT_TRUE(receivers.serialPortOpen()) << errors.join(u'|').toStdString();
    EXPECT_EQ(errors.size(), 1) << errors.join(u'|').toStdString();
}

TEST_F(Station, DecoderThatCannotOpenItsPortIsToldOnceWithThePortAsCaption) {
    ports[0]->result = ModemStatusPort::OpenResult::Busy;
    receivers.CommThread().ComName = QStringLiteral("COM5");
    receivers.CommThread1().ComName = QStringLiteral("COM5");
    for (int start = 0; start < 3; ++start)
        EXPECT_FALSE(receivers.CommThread().OpenPort());
    QTest::qWait(20); // the thread's box reaches the main thread queued
    EXPECT_EQ(errors, QStringList{QStringLiteral("COM port je obsazen")});
    EXPECT_EQ(captions, QStringList{QStringLiteral("COM5")});
}

TEST_F(Station, ChoosingTheSourceOpensOrClosesTheDecoders) {
    receivers.CommThread().ComName = QStringLiteral("COM1");
    receivers.CommThread1().ComName = QStringLiteral("COM2");
    settings.com = true;
    receivers.applySourceChoice(true);
    EXPECT_TRUE(receivers.CommThread().PortOpen);
    EXPECT_TRUE(receivers.CommThread1().PortOpen);
    EXPECT_EQ(ports[0]->openedDevice, QStringLiteral("/dev/ttyS0"));
    receivers.applySourceChoice(true); // loaded twice: nothing opens again
    EXPECT_EQ(ports[0]->opens, 1);

    settings.com = false;              // the parallel port or the network chosen
    receivers.applySourceChoice(true);
    EXPECT_FALSE(receivers.CommThread().PortOpen);
    EXPECT_FALSE(receivers.CommThread1().PortOpen);
    EXPECT_FALSE(ports[0]->isOpen);

    // RXD: the byte receiver instead of the decoders, when asked to open it.
    PseudoTerminal terminal;
    settings.port.port = terminal.slavePath;
    settings.com = true;
    receivers.CommThread().InputSignal = 3;
    receivers.applySourceChoice(false);
    EXPECT_FALSE(receivers.serialPortOpen());
    receivers.applySourceChoice(true);
    EXPECT_TRUE(receivers.serialPortOpen());
    EXPECT_EQ(ports[0]->opens, 1);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(Station, SerialReceiverCountsAsDetectedOnlyWithComOnAndCtsSeen) {
    settings.com = true;
    EXPECT_FALSE(receivers.serialReceiverDetected());
    receivers.ComPort1().ComPort1CTSChange(true);
    EXPECT_TRUE(receivers.serialReceiverDetected());
    settings.com = false;
    EXPECT_FALSE(receivers.serialReceiverDetected());
    receivers.CommThread().InputSignal = 3;
    EXPECT_TRUE(receivers.serialInputIsRxd());

}
