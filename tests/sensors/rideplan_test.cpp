#include "support/pseudoterminal.h"
#include "passingsender.h"
#include "rideplan.h"
#include "sensors/irdecoder.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <map>
#include <termios.h>
#include <unistd.h>

using namespace vartemo::sim;

TEST(RidePlan, PassingsAreOrderedApartAndRepeatable) {
    RideModel model;
    model.karts = 8;
    model.laps = 6;
    model.trackside = 2;
    model.lapMs = 1000;
    model.paceStepMs = 0;  // equal pace: many near-simultaneous passings
    model.spreadMs = 30;
    model.minGapMs = 15;
    const auto plan = PlanRide(model);
    ASSERT_EQ(plan.size(), size_t(8 * 6 * 3));
    std::map<int, qint64> lastAtSensor;
    std::map<int, int> lapsOfKart;
    for (size_t i = 0; i < plan.size(); ++i) {
        if (i > 0) {
            EXPECT_LE(plan[i - 1].atUs, plan[i].atUs);
        }
        if (lastAtSensor.count(plan[i].sensor)) {
            EXPECT_GE(plan[i].atUs - lastAtSensor[plan[i].sensor], 15'000);
        }
        lastAtSensor[plan[i].sensor] = plan[i].atUs;
        lapsOfKart[plan[i].kart] += plan[i].sensor == 0;
    }
    for (int k = 1; k <= 8; ++k)
        EXPECT_EQ(lapsOfKart[k], 6);
    const auto again = PlanRide(model);
    EXPECT_TRUE(std::equal(plan.begin(), plan.end(), again.begin(), [](const Passing& a, const Passing& b) {
        return a.kart == b.kart && a.sensor == b.sensor && a.atUs == b.atUs;
    }));
}

TEST(RidePlan, LapFileGivesCumulativePassingsAndRejectsBadLines) {
    QString error;
    const auto plan = PlanRideFromLaps({QStringLiteral("# kart laps"), QStringLiteral("2 1000 1500"),
                                        QString(), QStringLiteral("1\t1200")},
                                       1, 0, &error);
    ASSERT_TRUE(plan.has_value()) << error.toStdString();
    const std::vector<std::tuple<int, int, qint64>> expected = {
        {2, 1, 500'000}, {1, 1, 600'000}, {2, 0, 1'000'000}, {1, 0, 1'200'000}, {2, 1, 1'750'000}, {2, 0, 2'500'000}};
    ASSERT_EQ(plan->size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(std::make_tuple((*plan)[i].kart, (*plan)[i].sensor, (*plan)[i].atUs), expected[i]) << i;

    for (const char* bad : {"9 1000", "x 1000", "1 1000 -5", "1 12a", "1 nan", "1 inf", "1 0.0004"}) {
        error.clear();
        EXPECT_FALSE(PlanRideFromLaps({QString::fromLatin1(bad)}, 0, 0, &error).has_value()) << bad;
        EXPECT_TRUE(error.startsWith(QStringLiteral("line 1:"))) << bad;
    }
}

// Karts crossing together, the way the station must keep every one of them.
TEST(RidePlan, BunchesCrossEverySensorAFractionOfAMillisecondApart) {
    RideModel model;
    model.karts = 7;       // the last bunch has only one kart
    model.laps = 3;
    model.trackside = 1;
    model.lapMs = 2000;
    model.paceStepMs = 0;
    model.spreadMs = 200;
    model.minGapMs = 20;
    model.bunch = 2;
    model.bunchGapUs = 300;
    const auto plan = PlanRide(model);
    ASSERT_EQ(plan.size(), size_t(7 * 3 * 2));
    std::map<std::pair<int, int>, std::vector<qint64>> times; // (kart, sensor)
    for (const Passing& p : plan)
        times[{p.kart, p.sensor}].push_back(p.atUs);
    for (int leader : {1, 3, 5}) {
        for (int sensor : {0, 1}) {
            const auto& lead = times[{leader, sensor}];
            const auto& follow = times[{leader + 1, sensor}];
            ASSERT_EQ(follow.size(), lead.size());
            for (size_t i = 0; i < lead.size(); ++i)
                EXPECT_EQ(follow[i] - lead[i], 300) << leader << " " << sensor << " " << i;
        }
    }
    EXPECT_EQ(times[std::make_pair(7, 0)].size(), 3u);
    EXPECT_FALSE(times.count(std::make_pair(8, 0)));
    // Bunches keep the least gap between each other.
    std::vector<qint64> leaders;
    for (const Passing& p : plan)
        if (p.sensor == 0 && p.kart % 2 == 1)
            leaders.push_back(p.atUs);
    for (size_t i = 1; i < leaders.size(); ++i)
        EXPECT_GE(leaders[i] - leaders[i - 1], 20'000) << i;

    // A laps file pairs karts by fractional lap times.
    QString error;
    const auto pair = PlanRideFromLaps({QStringLiteral("1 1000 1500"), QStringLiteral("2 1000.3 1500")},
                                       0, 0, &error);
    ASSERT_TRUE(pair.has_value()) << error.toStdString();
    ASSERT_EQ(pair->size(), 4u);
    EXPECT_EQ((*pair)[1].atUs - (*pair)[0].atUs, 300);
    EXPECT_EQ((*pair)[3].atUs, 2'500'300);
}

// A flat transmitter: nothing of the kart after its n-th lap, at any sensor.
// A sensor without power: none of its passings from then on.
TEST(RidePlan, SilencedKartsAndSensorsSendNothingAfterwards) {
    QString error;
    const auto full = PlanRideFromLaps({"1 10000 10000 10000 10000 10000", "2 11000 11000 11000 11000"}, 1, 0, &error);
    ASSERT_TRUE(full) << qPrintable(error);
    auto plan = *full;
    SilenceKart(plan, 2, 3);
    SilenceSensor(plan, 1, 25'000'000);
    std::map<std::pair<int, int>, int> count; // (kart, sensor) -> passings
    qint64 lastOfKart2 = 0;
    for (const Passing& p : plan) {
        ++count[{p.kart, p.sensor}];
        if (p.kart == 2)
            lastOfKart2 = std::max(lastOfKart2, p.atUs);
        if (p.sensor == 1) {
            EXPECT_LT(p.atUs, 25'000'000);
        }
    }
    EXPECT_EQ(count[std::make_pair(1, 0)], 5) << "the other kart drives on";
    EXPECT_EQ(count[std::make_pair(2, 0)], 3);
    EXPECT_EQ(lastOfKart2, 33'000'000) << "its third lap is the last thing heard of it";
    EXPECT_EQ(count[std::make_pair(1, 1)], 2) << "trackside at 5, 15, 25, ... s: from 25 s on gone";

    auto short_ = *full;
    SilenceKart(short_, 2, 7);
    EXPECT_EQ(short_.size(), full->size()) << "a kart that never drives that many laps loses nothing";
}

TEST(RidePlan, TracksideReportsCarryTheSensorIdentifier) {
    EXPECT_EQ(SensorReport(0, KartCode(3)), QStringLiteral("K03"));
    EXPECT_EQ(SensorReport(10, KartCode(8)), QStringLiteral("10K08"));
}

TEST(SimulatedInfrared, EachKartsFrameDecodesToItsAdvertisedCode) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("stream"));
    QString error;
    auto sender = IrStreamPassingSender::create(path, 0, &error);
    ASSERT_TRUE(sender) << error.toStdString();
    vartemo::IrDecoder decoder;
    decoder.InputSignal = 0;
    QString decoded;
    decoder.post = [&](quint32, auto) { decoded = decoder.LastCode; };
    QFile stream(path);
    ASSERT_TRUE(stream.open(QIODevice::ReadOnly));
    for (int kart = 1; kart <= 8; ++kart) {
        for (int pass = 0; pass < 2; ++pass) { // the toggle bit changes between passings
            decoded.clear();
            ASSERT_TRUE(sender->send({kart, 0, 0}, &error)) << error.toStdString();
            decoder.ProcessRead(stream.readAll());
            EXPECT_EQ(decoded, IrStreamPassingSender::KartIrCode(kart)) << kart;
        }
    }
    // Trackside passings have no infrared frame.
    ASSERT_TRUE(sender->send({1, 2, 0}, &error));
    EXPECT_TRUE(stream.readAll().isEmpty());
}

TEST(SimulatedSerial, EachPassingIsOneBurstIntoTheTerminal) {
    const PseudoTerminal terminal;
    ASSERT_TRUE(terminal.isOpen());
    terminal.makeRaw();
    QString error;
    auto sender = SerialPassingSender::create(terminal.slavePath, &error);
    ASSERT_TRUE(sender) << error.toStdString();
    const struct {
        Passing passing;
        QByteArray burst;
    } cases[] = {{{3, 0, 0}, "K03"}, {{8, 2, 0}, "02K08"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(sender->send(c.passing, &error)) << error.toStdString();
        char buffer[64] = {};
        const ssize_t n = ::read(terminal.master, buffer, sizeof buffer);
        EXPECT_EQ(QByteArray(buffer, int(std::max<ssize_t>(n, 0))), c.burst);
    }
}
