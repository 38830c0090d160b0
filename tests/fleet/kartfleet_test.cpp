#include "fleet/kartstatusfile.h"
#include "fleetfixture.h"

#include <QDir>
#include <QSignalSpy>

using namespace vartemo;
using vartemo::testing::FleetTest;

TEST_F(FleetTest, WithoutAFileEveryKartStartsEmpty) {
    fleet.LoadKartStatus();
    fleet.RefreshKartTotals();
    for (int k = 1; k <= 8; ++k) {
        EXPECT_EQ(fleet.totals(k).total, QStringLiteral("0:0"));
        EXPECT_EQ(fleet.totals(k).fuelSinceReset, QStringLiteral("0,0"));
        EXPECT_EQ(fleet.totals(k).totalFuel, QStringLiteral("0,0"));
        EXPECT_EQ(fleet.notice(k), QString());
        EXPECT_FALSE(fleet.marks(k, 1).confirmEnabled);
    }
    EXPECT_FALSE(QFile::exists(path)); // nothing written until a save
}

TEST_F(FleetTest, SixtyInitialMinutesCarryIntoTheHoursAndTheTotalFollows) {
    loadDriven({{2, "1:30"}});
    fleet.setInitialHours(2, 2);
    fleet.setInitialMinutes(2, 60);
    EXPECT_EQ(fleet.kart(2).initialHours, 3);
    EXPECT_EQ(fleet.kart(2).initialMinutes, 0);
    EXPECT_EQ(fleet.totals(2).total, QStringLiteral("4:30"));
    // A loaded 75 is clamped to 60 and carried by the refresh.
    writeFile("[Motokara4]\r\nPocatecniStavHod=9\r\nPocatecniStavMin=75\r\n");
    fleet.LoadKartStatus();
    fleet.RefreshKartTotals();
    EXPECT_EQ(fleet.kart(4).initialHours, 10);
    EXPECT_EQ(fleet.totals(4).total, QStringLiteral("10:0"));
}

TEST_F(FleetTest, ResetMovesTheDrivenTimeIntoTheInitialStateAndSavesIt) {
    writeFile("[Motokara3]\r\nPocatecniStavHod=10\r\nPocatecniStavMin=50\r\nNajeto=3:40\r\n"
              "PrumernaSpotreba=60\r\nHlaseni1=4\r\nHlaseni4=2\r\n");
    fleet.LoadKartStatus();
    fleet.RefreshKartTotals();
    EXPECT_EQ(fleet.totals(3).total, QStringLiteral("14:30"));
    ASSERT_TRUE(fleet.ResetDrivenTime(3));
    const KartStatus& k = fleet.kart(3);
    EXPECT_EQ(k.initialHours, 14);
    EXPECT_EQ(k.initialMinutes, 30);
    EXPECT_EQ(k.driven, QStringLiteral("0:0"));
    EXPECT_EQ(fleet.totals(3).total, QStringLiteral("14:30"));
    EXPECT_EQ(fleet.totals(3).fuelSinceReset, QStringLiteral("0,0"));
    EXPECT_EQ(fleet.totals(3).totalFuel, QStringLiteral("870,0"));
    for (const KartTask& t : k.tasks)
        EXPECT_EQ(t.counter, 1);
    EXPECT_EQ(log, QStringList{QStringLiteral("14:03:27 - Admin: nulování stavu motokára 3")});
    // The file says what the log book says.
    EXPECT_EQ(LoadKartStatus(path)[2], k);
}

TEST_F(FleetTest, RideMinutesAreAddedUnpaddedAndSaved) {
    loadDriven({{1, "1:59"}, {2, "0:0"}, {8, "103:59"}});
    QSignalSpy changed(&fleet, &KartFleet::changed);
    EXPECT_EQ(fleet.AddRideMinutes(ride({2, 0, 0, 0, 0, 0, 0, 61})), QStringList{});
    EXPECT_EQ(fleet.kart(1).driven, QStringLiteral("2:1"));
    EXPECT_EQ(fleet.kart(2).driven, QStringLiteral("0:0"));
    EXPECT_EQ(fleet.kart(8).driven, QStringLiteral("105:0"));
    EXPECT_EQ(fleet.totals(1).total, QStringLiteral("2:1"));
    EXPECT_FALSE(changed.isEmpty());
    const KartStatusRecords saved = LoadKartStatus(path);
    EXPECT_EQ(saved[0].driven, QStringLiteral("2:1"));
    EXPECT_EQ(saved[7].driven, QStringLiteral("105:0"));
}

// A damaged driven time stays as it is and shows empty figures; the other
// karts get their minutes, the file is written and the message comes once.
TEST_F(FleetTest, AnUnreadableDrivenTimeLeavesOnlyItsKartOut) {
    loadDriven({{1, "1:0"}, {3, "abc"}, {4, "1:2:3"}, {5, "-1:5"}});
    EXPECT_EQ(fleet.totals(3).total, QString());
    EXPECT_EQ(fleet.totals(3).fuelSinceReset, QString());
    EXPECT_EQ(fleet.totals(3).totalFuel, QString());
    EXPECT_EQ(fleet.totals(1).total, QStringLiteral("1:0"));

    const QStringList messages = fleet.AddRideMinutes(ride({5, 5, 5, 5, 5, 5, 5, 5}));
    EXPECT_EQ(messages, QStringList{QStringLiteral("'abc' is not a valid integer value")});
    EXPECT_EQ(fleet.kart(1).driven, QStringLiteral("1:5"));
    EXPECT_EQ(fleet.kart(3).driven, QStringLiteral("abc"));
    EXPECT_EQ(fleet.kart(4).driven, QStringLiteral("1:2:3"));
    EXPECT_EQ(fleet.kart(5).driven, QStringLiteral("-1:5"));
    EXPECT_EQ(fleet.kart(8).driven, QStringLiteral("0:5"));
    const KartStatusRecords saved = LoadKartStatus(path);
    EXPECT_EQ(saved[0].driven, QStringLiteral("1:5"));
    EXPECT_EQ(saved[2].driven, QStringLiteral("abc"));

    // "Vynuluj" repairs it: "0:0", the initial state as it was, logged and saved.
    fleet.setInitialHours(3, 7);
    ASSERT_TRUE(fleet.ResetDrivenTime(3));
    EXPECT_EQ(fleet.kart(3).driven, QStringLiteral("0:0"));
    EXPECT_EQ(fleet.kart(3).initialHours, 7);
    EXPECT_EQ(fleet.totals(3).total, QStringLiteral("7:0"));
    EXPECT_EQ(log.last(), QStringLiteral("14:03:27 - Admin: nulování stavu motokára 3"));
    EXPECT_EQ(LoadKartStatus(path)[2].driven, QStringLiteral("0:0"));
}

TEST_F(FleetTest, AFailedWriteIsReportedAndTheRecordsReachTheFileLater) {
    loadDriven({{1, "1:0"}});
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("stav.ini")));
    const QStringList messages = fleet.AddRideMinutes(ride({10}));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(path)) << messages[0].toStdString();
    EXPECT_EQ(fleet.kart(1).driven, QStringLiteral("1:10"));
    QString error;
    EXPECT_FALSE(fleet.ConfirmTask(1, 2, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(log.size(), 1); // the confirmation is logged all the same

    ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("stav.ini")));
    EXPECT_EQ(fleet.AddRideMinutes(ride({})), QStringList{});
    const KartStatus saved = LoadKartStatus(path)[0];
    EXPECT_EQ(saved.driven, QStringLiteral("1:10"));
    EXPECT_EQ(saved.tasks[1].counter, 2);
}

// Times and fuel past 32 bits: 40 million hours at 100 dl/h.
TEST_F(FleetTest, LongOperatingTimesDoNotWrap) {
    writeFile("[Motokara6]\r\nNajeto=40000000:0\r\nPrumernaSpotreba=100\r\nPocatecniStavHod=999999\r\n");
    fleet.LoadKartStatus();
    fleet.RefreshKartTotals();
    EXPECT_EQ(fleet.totals(6).fuelSinceReset, QStringLiteral("4000000000,0"));
    EXPECT_EQ(fleet.totals(6).total, QStringLiteral("40999999:0"));
    EXPECT_EQ(fleet.totals(6).totalFuel, QStringLiteral("4099999900,0"));
    fleet.AddRideMinutes(ride({0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(fleet.kart(6).driven, QStringLiteral("40000000:1"));
}

TEST_F(FleetTest, IntervalMinutesWrapAtBothEnds) {
    const struct {
        int hours, minutes, step;
        int wantHours, wantMinutes;
    } cases[] = {
        {0, 0, -1, 0, 0},   // an interval never goes below 0:0
        {1, 0, -1, 0, 59},
        {0, 59, +1, 1, 0},
        {5, 30, +1, 5, 31},
        {0, 1, -1, 0, 0},
    };
    for (const auto& c : cases) {
        fleet.setIntervalHours(1, 2, c.hours);
        fleet.setIntervalMinutes(1, 2, c.minutes);
        fleet.setIntervalMinutes(1, 2, c.minutes + c.step);
        const KartTask& t = fleet.kart(1).tasks[1];
        EXPECT_EQ(std::pair(t.intervalHours, t.intervalMinutes), std::pair(c.wantHours, c.wantMinutes))
            << c.hours << ":" << c.minutes << " stepped " << c.step;
    }
}

TEST_F(FleetTest, ConsumptionChangesTheFuelFigures) {
    loadDriven({{2, "1:30"}});
    fleet.setConsumption(2, 10);
    EXPECT_EQ(fleet.totals(2).fuelSinceReset, QStringLiteral("15,0"));
    fleet.setConsumption(2, 500);
    EXPECT_EQ(fleet.kart(2).consumption, 100);
    EXPECT_EQ(fleet.totals(2).fuelSinceReset, QStringLiteral("150,0"));
}
