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
            EXPECT_LE(plan[i - 1].atMs, plan[i].atMs);
        }
        if (lastAtSensor.count(plan[i].sensor)) {
            EXPECT_GE(plan[i].atMs - lastAtSensor[plan[i].sensor], 15);
        }
        lastAtSensor[plan[i].sensor] = plan[i].atMs;
        lapsOfKart[plan[i].kart] += plan[i].sensor == 0;
    }
    for (int k = 1; k <= 8; ++k)
        EXPECT_EQ(lapsOfKart[k], 6);
    const auto again = PlanRide(model);
    EXPECT_TRUE(std::equal(plan.begin(), plan.end(), again.begin(), [](const Passing& a, const Passing& b) {
        return a.kart == b.kart && a.sensor == b.sensor && a.atMs == b.atMs;
    }));
}

TEST(RidePlan, LapFileGivesCumulativePassingsAndRejectsBadLines) {
    QString error;
    const auto plan = PlanRideFromLaps({QStringLiteral("# kart laps"), QStringLiteral("2 1000 1500"),
                                        QString(), QStringLiteral("1\t1200")},
                                       1, 0, &error);
    ASSERT_TRUE(plan.has_value()) << error.toStdString();
    const std::vector<std::tuple<int, int, qint64>> expected = {
        {2, 1, 500}, {1, 1, 600}, {2, 0, 1000}, {1, 0, 1200}, {2, 1, 1750}, {2, 0, 2500}};
    ASSERT_EQ(plan->size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(std::make_tuple((*plan)[i].kart, (*plan)[i].sensor, (*plan)[i].atMs), expected[i]) << i;

    for (const char* bad : {"9 1000", "x 1000", "1 1000 -5", "1 12a"}) {
        error.clear();
        EXPECT_FALSE(PlanRideFromLaps({QString::fromLatin1(bad)}, 0, 0, &error).has_value()) << bad;
        EXPECT_TRUE(error.startsWith(QStringLiteral("line 1:"))) << bad;
    }
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
    decoder.post = [&](quint32) { decoded = decoder.LastCode; };
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
