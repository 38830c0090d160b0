#include "freeport.h"
#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "platform/modemstatusport.h"
#include "platform/registrystore.h"
#include "sensors/receivers.h"

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
                         .showError = [this](const QString& m) { errors << m; }}};
};

} // namespace

TEST_F(Station, InfraredDecodersStartOnlyForModemLinesAndOncePerPort) {
    const struct {
        int input;
        const char* second;
        int firstOpens, secondOpens;
    } cases[] = {{3, "COM2", 0, 0}, {1, "COM1", 1, 0}, {0, "COM2", 1, 1}};
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

TEST_F(Station, NetworkErrorsAreShownAndLeaveTheServerOff) {
    settings.udpPorts = {QStringLiteral("abc")};
    EXPECT_FALSE(receivers.bindNetworkPorts());
    errors.clear();
    receivers.activateNetwork(true);
    EXPECT_FALSE(receivers.IdUDPServer1().isActive());
    EXPECT_EQ(errors, QStringList{QStringLiteral("'abc' is not a valid integer value")});

    QUdpSocket occupant;
    ASSERT_TRUE(occupant.bind(QHostAddress::AnyIPv4, 0));
    settings.udpPorts = {QString::number(occupant.localPort())};
    receivers.activateNetwork(true);
    EXPECT_FALSE(receivers.IdUDPServer1().isActive());
    ASSERT_EQ(errors.size(), 2);

    settings.udpPorts = {QString::number(FreeUdpPort())};
    receivers.activateNetwork(true);
    EXPECT_TRUE(receivers.IdUDPServer1().isActive());
    receivers.deactivateNetwork();
    EXPECT_FALSE(receivers.IdUDPServer1().isActive());
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

    settings.port.port = QStringLiteral("/dev/vartemo-no-such-port");
    receivers.openSerialPort();
    EXPECT_FALSE(receivers.serialPortOpen());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("/dev/vartemo-no-such-port")));
}
