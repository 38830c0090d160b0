#include "freeport.h"
#include "core/conversionerror.h"
#include "recordinglearner.h"
#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/timetext.h"
#include "sensors/datagramreceivetime.h"
#include "sensors/udpsensorserver.h"

#include <QTest>
#include <QThread>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cstdlib>
#include <map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace vartemo;

namespace {

// The engine with a datagram server over it, and a sensor that sends from
// 127.0.0.1 to the server's port.
struct Network : ::testing::Test {
    RaceBoard board;
    ManualClock clock;
    FixedLapSettings settings;
    LapComputation laps{board, clock, settings};
    vartemo::testing::RecordingLearner learner;
    UdpSensorServer server{laps};
    QStringList memo;
    quint16 port = FreeUdpPort();

    Network() {
        laps.setLearner(&learner);
        server.setMonitor([this](const QString& line) { memo << line; });
        for (int k = 1; k <= kKartCount; ++k)
            settings.firstCode[size_t(k - 1)] = QStringLiteral("KART%1").arg(k);
        laps.startRace();
    }
    void listen() {
        server.BindUdpPorts({QString::number(port)});
        ASSERT_TRUE(server.activate()) << server.errorString().toStdString();
    }
    // Sends from the given local port and lets the event loop deliver it.
    void send(const QByteArray& payload, quint16 fromPort = 0, quint16 toPort = 0) {
        QUdpSocket sensor;
        ASSERT_TRUE(sensor.bind(QHostAddress::LocalHost, fromPort));
        sensor.writeDatagram(payload, QHostAddress::LocalHost, toPort ? toPort : port);
        QTest::qWait(30);
    }
    QStringList trackLines(int k) const { return board.lines(k, BoardList::Track); }
    // One split line with the label, at race time ms less the real time the
    // datagram waited to be read (the station's clock here stands still; the
    // kernel's receive time makes the passing that much earlier).
    static void expectSplit(const QStringList& lines, const QString& label, TimeMs ms) {
        ASSERT_EQ(lines.size(), 1) << lines.join(u'|').toStdString();
        ASSERT_TRUE(lines[0].startsWith(label + u' ')) << lines[0].toStdString();
        const TimeMs at = ParseTimeText(lines[0].mid(label.size() + 1));
        EXPECT_LE(at, ms);
        EXPECT_GT(at, ms - 1000) << "read a second late at most";
    }
};

} // namespace

TEST(DatagramText, ControlBytesBecomeDots) {
    EXPECT_EQ(UdpSensorServer::DatagramText(QByteArray("A\r\n")), QStringLiteral("A.."));
    EXPECT_EQ(UdpSensorServer::DatagramText(QByteArray("\x00\x1F\x20\x7F", 4)),
              QStringLiteral(". \x7F").prepend(u'.'));
    EXPECT_EQ(UdpSensorServer::DatagramText(QByteArray()), QString());
    // Bytes above 127 are characters of the station's code page.
    EXPECT_EQ(UdpSensorServer::DatagramText(QByteArray("\xE8", 1)), QStringLiteral("č"));
}

TEST_F(Network, MonitorListsTheDatagramAndTimesNothing) {
    server.BindUdpPorts({QStringLiteral("5000")});
    ASSERT_TRUE(server.activate()) << server.errorString().toStdString();
    laps.setLearnSlot(kLearnMonitor);
    settings.lapSensor = QStringLiteral("127.0.0.1");
    settings.firstCode[0] = QStringLiteral("ABC");
    send("ABC", 4000, 5000);
    EXPECT_EQ(memo, QStringList{QStringLiteral("Od 127.0.0.1:5000/4000 Data ABC")});
    EXPECT_EQ(laps.pendingKart(), 0);
}

TEST_F(Network, LapSensorCodeSetsThePendingKartAndContainedCodeIsASplit) {
    listen();
    settings.lapSensor = QStringLiteral("127.0.0.1");
    send("KART3");
    EXPECT_EQ(laps.pendingKart(), 3);
    EXPECT_TRUE(trackLines(3).isEmpty());

    laps.setPendingKart(0);
    clock.advance(4321);
    send("07KART4\r\n");
    EXPECT_EQ(laps.pendingKart(), 0);
    expectSplit(trackLines(4), QStringLiteral("04"), 4321);
}

TEST_F(Network, WithoutALapSensorAddressEveryDatagramIsASplit) {
    listen();
    settings.lapSensor.clear();
    clock.advance(1500);
    send("KART2");
    send("nobody");
    EXPECT_EQ(laps.pendingKart(), 0);
    expectSplit(trackLines(2), QStringLiteral("02"), 1500);
    for (int k : {1, 3, 4, 5, 6, 7, 8})
        EXPECT_TRUE(trackLines(k).isEmpty()) << k;
}

TEST_F(Network, LearningTakesTheDatagramInsteadOfTimingIt) {
    listen();
    settings.lapSensor = QStringLiteral("127.0.0.1");
    laps.setLearnSlot(51);
    send("KART2");
    ASSERT_EQ(learner.learnt.size(), 1);
    EXPECT_EQ(learner.learnt[0], std::make_pair(51, QStringLiteral("KART2")));
    EXPECT_EQ(laps.pendingKart(), 0);
    EXPECT_EQ(laps.learnSlot(), kLearnNone);
}

TEST_F(Network, NonNumericRowStopsBindingAfterTheRowsBeforeIt) {
    const quint16 second = FreeUdpPort();
    EXPECT_THROW(server.BindUdpPorts({QString::number(port), QStringLiteral("50x1"),
                                      QString::number(second)}),
                 ConversionError);
    EXPECT_EQ(server.boundPorts(), QList<quint16>{port});
    ASSERT_TRUE(server.activate());
    settings.lapSensor = QStringLiteral("127.0.0.1");
    send("KART6", 0, second);
    EXPECT_EQ(laps.pendingKart(), 0);
    send("KART6", 0, port);
    EXPECT_EQ(laps.pendingKart(), 6);
}

TEST_F(Network, PortThatCannotBeBoundIsLeftOutAndTheOthersListen) {
    settings.lapSensor = QStringLiteral("127.0.0.1");
    QUdpSocket occupant;
    ASSERT_TRUE(occupant.bind(QHostAddress::AnyIPv4, port));
    const quint16 other = FreeUdpPort();
    const struct {
        const char* why;
        QStringList rows;
        quint16 failing;
    } cases[] = {
        {"held by another program", {QString::number(other), QString::number(port)}, port},
        {"listed twice", {QString::number(other), QString::number(other)}, other},
    };
    for (const auto& c : cases) {
        laps.setPendingKart(0);
        server.BindUdpPorts(c.rows);
        EXPECT_FALSE(server.activate()) << c.why;
        EXPECT_TRUE(server.isActive()) << c.why;
        ASSERT_EQ(server.failures().size(), 1) << c.why;
        EXPECT_TRUE(server.failures()[0].contains(QString::number(c.failing))) << c.why;
        send("KART1", 0, other);
        EXPECT_EQ(laps.pendingKart(), 1) << c.why << ": the port that could be bound listens";
        // Again: only the missing port is tried; the listening one is kept.
        EXPECT_FALSE(server.activate()) << c.why;
        EXPECT_EQ(server.failures().size(), 1) << c.why;
    }
    // Once the port is free, the next activation binds it.
    occupant.close();
    server.BindUdpPorts({QString::number(port)});
    EXPECT_TRUE(server.activate());
    EXPECT_TRUE(server.failures().isEmpty());
}

TEST_F(Network, DeactivatedServerHearsNothing) {
    listen();
    settings.lapSensor = QStringLiteral("127.0.0.1");
    server.deactivate();
    send("KART5");
    EXPECT_EQ(laps.pendingKart(), 0);
    ASSERT_TRUE(server.activate());
    send("KART5");
    EXPECT_EQ(laps.pendingKart(), 5);
}

TEST_F(Network, DatagramsOfNoKartAreToldOncePerKindAndTimeNothing) {
    QStringList told;
    server.setNotice([&](const QString& text) { told << text; });
    listen();
    settings.lapSensor = QStringLiteral("127.0.0.1");
    for (int round = 0; round < 2; ++round) {
        send(QByteArray());                 // empty
        send(QByteArray(300, 'K') + "KART2"); // longer than any code, a code past its end
        send("xyz");
        send("KART");
    }
    EXPECT_EQ(laps.pendingKart(), 0);
    EXPECT_TRUE(trackLines(2).isEmpty()) << "nothing past a code's length is looked at";
    ASSERT_EQ(told.size(), 2) << told.join(u'\n').toStdString();
    EXPECT_TRUE(told[0].contains(QStringLiteral("datagram o 0 bajtech od 127.0.0.1"))) << told[0].toStdString();
    EXPECT_TRUE(told[1].contains(QStringLiteral("nenese kód žádné káry"))) << told[1].toStdString();
    send("KART6");
    EXPECT_EQ(laps.pendingKart(), 6);
    EXPECT_EQ(told.size(), 2);
}

TEST(ReceiveTime, TheDatagramIsAsOldOnTheStationsClockAsOnTheWallClock) {
    constexpr qint64 wallNow = 1'765'000'000'000'000'000; // ns
    constexpr TimeUs clockNow = 50'000'000;
    struct Case {
        qint64 received;
        TimeUs expected;
        const char* why;
    } cases[] = {
        {wallNow - 2'500'300, clockNow - 2'500, "read 2.5 ms late"},
        {wallNow, clockNow, "read at once"},
        {wallNow + 1'000'000, clockNow, "the wall clock stepped back: now"},
        {wallNow - 60'000'000'000, clockNow, "stepped forward by a minute: now"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UdpSensorServer::RaceClockTime(c.received, wallNow, clockNow), c.expected) << c.why;
}

// Both clocks on one simulated timeline, each read taking 1 us; `holdsNs`
// holds the thread up before a given read (0, 1, 2, ...), `wallStepsNs`
// steps the wall clock before it. The pair must name one moment on both
// clocks, whatever happened between the reads.
TEST(ReceiveTime, AThreadHeldUpBetweenTheClockReadsDoesNotMoveThePassing) {
    constexpr qint64 wallBase = 1'765'000'000'000'000'000;
    constexpr TimeUs clockBase = 50'000'000;
    std::map<int, qint64> everyPairHeld;
    for (int read = 1; read < 30; read += 3)
        everyPairHeld[read] = 4'000'000;
    struct Case {
        std::map<int, qint64> holdsNs;
        std::map<int, qint64> wallStepsNs;
        qint64 worstErrorNs;
        const char* why;
    } cases[] = {
        {{}, {}, 1'000, "nothing in the way"},
        {{{1, 21'000'000}}, {}, 1'000, "held 21 ms between the wall clock and the race clock"},
        {{{2, 21'000'000}}, {}, 1'000, "held 21 ms between the race clock and the wall clock"},
        {{{1, 3'000'000}, {5, 5'000'000}, {7, 2'000'000}}, {}, 1'000, "held in each of the first three pairs"},
        {everyPairHeld, {}, 2'001'000, "held 4 ms in every pair: half of it at most"},
        {{}, {{2, -1'000'000'000}}, 1'000, "the wall clock stepped back a second between two reads"},
    };
    for (const Case& c : cases) {
        qint64 t = 0;
        qint64 wallStep = 0;
        int reads = 0;
        auto step = [&] {
            if (const auto hold = c.holdsNs.find(reads); hold != c.holdsNs.end())
                t += hold->second;
            if (const auto jump = c.wallStepsNs.find(reads); jump != c.wallStepsNs.end())
                wallStep += jump->second;
            ++reads;
            t += 1'000;
        };
        const ClockPair pair = ReadClockPair([&] { step(); return wallBase + wallStep + t; },
                                             [&] { step(); return clockBase + t / 1'000; });
        const qint64 wallAtClockRead = wallBase + wallStep + (pair.clockUs - clockBase) * 1'000;
        EXPECT_LE(std::abs(pair.realtimeNs - wallAtClockRead), c.worstErrorNs) << c.why;
    }
}

namespace {

// A socket on loopback that asks for receive stamps, bound to a port of its own.
struct StampedSelf {
    int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in self{};
    StampedSelf() {
        AskForReceiveTimes(fd);
        self.sin_family = AF_INET;
        self.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof self;
        ::bind(fd, reinterpret_cast<sockaddr*>(&self), sizeof self);
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&self), &length);
    }
    ~StampedSelf() { ::close(fd); }
    StampedSelf(const StampedSelf&) = delete;
    StampedSelf& operator=(const StampedSelf&) = delete;
    // How long after its sending a datagram to itself, read 20 ms later, is
    // stamped (ns; nullopt without a stamp).
    std::optional<qint64> stampDelayOfADatagramReadLate() {
        const qint64 sentNs = RealtimeNowNs();
        ::sendto(fd, "x", 1, 0, reinterpret_cast<sockaddr*>(&self), sizeof self);
        QThread::msleep(20);
        const std::optional<qint64> stampNs = ReceiveTimeNs(fd, 0);
        return stampNs ? std::optional<qint64>(*stampNs - sentNs) : std::nullopt;
    }
};

// The kernel turns receive stamps on for the whole machine a moment after the
// first socket asks for them; until then a datagram is stamped when it is
// read. Waits until a datagram of its own, read 20 ms after it was sent,
// carries a stamp that old. False if that never happens within 5 s.
bool WaitUntilTheKernelStampsDatagrams() {
    StampedSelf socket;
    for (int attempt = 0; attempt < 250; ++attempt) {
        const std::optional<qint64> delay = socket.stampDelayOfADatagramReadLate();
        if (delay && *delay < 10'000'000)
            return true;
    }
    return false;
}

} // namespace

// A socket opened while a keeper lives has its first datagram stamped when
// it came in, not when it was read (without one, on a machine where no other
// socket asked for stamps, most first datagrams are stamped when read).
TEST(ReceiveTime, WhileAKeeperLivesTheFirstDatagramOfANewSocketKeepsItsArrival) {
    const ReceiveStampKeeper keeper;
    ASSERT_TRUE(WaitUntilTheKernelStampsDatagrams());
    for (int socketNo = 0; socketNo < 5; ++socketNo) {
        SCOPED_TRACE(socketNo);
        QThread::msleep(100); // what the last socket's closing set off has run
        const std::optional<qint64> delay = StampedSelf().stampDelayOfADatagramReadLate();
        ASSERT_TRUE(delay);
        EXPECT_LT(*delay, 10'000'000) << "stamped " << *delay / 1'000'000 << " ms after sending";
    }
}

// The station's clock stands still here: a lap can only come out shorter
// than the clock says if the datagram's own receive time was used.
TEST_F(Network, DatagramsReadLateKeepTheTimeTheyArrived) {
    listen();
    ASSERT_TRUE(WaitUntilTheKernelStampsDatagrams());
    settings.lapSensor = QStringLiteral("127.0.0.1");
    QUdpSocket sensor;
    ASSERT_TRUE(sensor.bind(QHostAddress::LocalHost, 0));
    // Eight karts in one bunch, before the event loop gets to any of them.
    for (int k = 1; k <= kKartCount; ++k)
        sensor.writeDatagram(QStringLiteral("KART%1").arg(k).toLatin1(), QHostAddress::LocalHost, port);
    QThread::msleep(80);
    clock.advance(20'000);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            size_t waiting = 0;
            for (int k = 1; k <= kKartCount; ++k)
                waiting += laps.waitingPassings(k);
            return waiting == size_t(kKartCount);
        },
        5000));
    laps.PollAll();
    for (int k = 1; k <= kKartCount; ++k) {
        const QStringList laps = board.lines(k, BoardList::Lap);
        ASSERT_EQ(laps.size(), 1) << "kart " << k;
        const TimeMs lap = ParseTimeText(laps[0]);
        EXPECT_LE(lap, 20'000 - 80) << "kart " << k;
        EXPECT_GT(lap, 20'000 - UdpSensorServer::kMaxReceiveAgeMs) << "kart " << k;
    }
}
