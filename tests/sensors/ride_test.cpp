#include "freeport.h"
#include "rideplan.h"
#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/timetext.h"
#include "platform/threadpriority.h"
#include "sensors/udpsensorserver.h"
#include "support/simpassings.h"

#include <QEventLoop>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <map>

using namespace vartemo;

// The simulator drives a ride of eight karts over UDP into the running engine:
// a real clock, the 2 ms poll, datagrams on loopback. Every lap after the
// first (which runs from the start signal) equals the simulator's truth.
TEST(Ride, EightKartsOverUdpGiveTheSimulatorsLaps) {
    // The station's poll runs at the highest priority it may take; so does
    // this stand-in (where permitted), so a busy machine does not delay it.
    const bool realtime = RaiseToRealtime();
    RaceBoard board;
    SteadyClock clock;
    FixedLapSettings settings;
    settings.minLapTime = 500;
    settings.lapSensor = QStringLiteral("127.0.0.1");
    for (int k = 1; k <= kKartCount; ++k)
        settings.firstCode[size_t(k - 1)] = sim::KartCode(k);
    LapComputation laps(board, clock, settings);

    UdpSensorServer server(laps);
    const quint16 port = FreeUdpPort();
    server.BindUdpPorts({QString::number(port)});
    ASSERT_TRUE(server.activate()) << server.errorString().toStdString();

    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    poll.setInterval(2);
    QObject::connect(&poll, &QTimer::timeout, [&] { laps.PollAll(); });

    QProcess simulator;
    QByteArray output;
    QObject::connect(&simulator, &QProcess::readyReadStandardOutput, [&] {
        output += simulator.readAllStandardOutput();
        if (!poll.isActive() && output.contains("START\n")) {
            laps.startRace();
            poll.start();
        }
    });
    simulator.start(QStringLiteral(VARTEMO_SIM_PATH),
                    {QStringLiteral("--udp"), QStringLiteral("127.0.0.1:%1").arg(port),
                     QStringLiteral("--karts"), QStringLiteral("8"), QStringLiteral("--laps"),
                     QStringLiteral("4"), QStringLiteral("--lap-ms"), QStringLiteral("900"),
                     QStringLiteral("--pace-step-ms"), QStringLiteral("70"),
                     QStringLiteral("--spread-ms"), QStringLiteral("150"),
                     QStringLiteral("--trackside"), QStringLiteral("2"),
                     QStringLiteral("--min-gap-ms"), QStringLiteral("15"), QStringLiteral("--seed"),
                     QStringLiteral("11")});
    ASSERT_TRUE(simulator.waitForStarted(5000));
    // A plain event loop: polls and datagrams are served as they come.
    QEventLoop loop;
    QObject::connect(&simulator, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    ASSERT_EQ(simulator.state(), QProcess::NotRunning);
    QTest::qWait(50); // the last datagrams and polls
    output += simulator.readAllStandardOutput();
    if (realtime)
        RestoreNormalScheduling();
    ASSERT_EQ(simulator.exitCode(), 0) << simulator.readAllStandardError().toStdString();

    std::map<int, std::vector<SimPassing>> truth; // lap-sensor passings per kart
    std::map<int, int> splits;
    for (const SimPassing& p : ParseSimPassings(output)) {
        if (p.sensor == 0)
            truth[p.kart].push_back(p);
        else
            ++splits[p.kart];
    }
    ASSERT_EQ(truth.size(), 8u);
    for (int k = 1; k <= kKartCount; ++k) {
        const QStringList lapLines = board.lines(k, BoardList::Lap);
        const auto& t = truth[k];
        ASSERT_EQ(lapLines.size(), qsizetype(t.size())) << "kart " << k;
        for (size_t i = 1; i < t.size(); ++i) {
            // A poll period and the line's rounding either way.
            const double lap = double(ParseTimeText(lapLines[qsizetype(i)]));
            EXPECT_GE(lap, ShortestBetween(t[i - 1], t[i]) - 3.0) << "kart " << k << " lap " << i;
            EXPECT_LE(lap, LongestBetween(t[i - 1], t[i]) + 3.0) << "kart " << k << " lap " << i;
        }
        // Trackside sensors report from other addresses: splits, never laps.
        const QStringList track = board.lines(k, BoardList::Track);
        EXPECT_EQ(track.size(), lapLines.size() + splits[k]) << "kart " << k;
        EXPECT_EQ(track.filter(QStringLiteral("0%1 ").arg(k)).size(), splits[k]) << "kart " << k;
    }
}
