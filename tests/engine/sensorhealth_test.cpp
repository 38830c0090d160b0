#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/raceboard.h"
#include "engine/sensorhealth.h"
#include "engine/sensorhealthtexts.h"

#include <gtest/gtest.h>

using namespace vartemo;

namespace {

constexpr TimeUs kS = 1'000'000;

OverdueRule Racing(TimeUs startUs, TimeUs minLapUs = 2 * kS) {
    OverdueRule rule;
    rule.racing = true;
    rule.raceStartUs = startUs;
    rule.minLapUs = minLapUs;
    rule.taking.fill(true);
    return rule;
}

} // namespace

// The lamp follows the source through its life: unheard, heard, quiet again,
// flooded with rejected input, failed to open.
TEST(SensorHealth, LampGreenWhenHeardRecentlyGreyWhenQuietRedWhenFailing) {
    ManualClock clock;
    SensorHealth h;
    const int slot = SensorHealth::serial();
    EXPECT_EQ(h.lamp(slot, clock.nowUs()), SourceLamp::Grey) << "never heard";
    h.passing(slot, clock.nowUs());
    EXPECT_EQ(h.lamp(slot, clock.nowUs()), SourceLamp::Green);
    clock.advanceUs(SensorHealth::kHeardRecentlyUs);
    EXPECT_EQ(h.lamp(slot, clock.nowUs()), SourceLamp::Green) << "just at the limit";
    clock.advanceUs(1);
    EXPECT_EQ(h.lamp(slot, clock.nowUs()), SourceLamp::Grey);

    // Rejected input turns it red only once it outnumbers the passings.
    h.unknownCode(slot, QStringLiteral("XYZ"), clock.nowUs());
    h.unknownCode(slot, QStringLiteral("XYZ"), clock.nowUs());
    EXPECT_EQ(h.lamp(slot, clock.nowUs()), SourceLamp::Green) << "2 rejected, 1 passing";
    h.rejected(slot, Rejection::FailedCheck, clock.nowUs());
    EXPECT_EQ(h.lamp(slot, clock.nowUs()), SourceLamp::Red);
    EXPECT_EQ(h.source(slot).ride.rejectedOf(Rejection::UnknownCode), 2);
    EXPECT_EQ(h.source(slot).ride.rejectedOf(Rejection::FailedCheck), 1);

    // A new ride starts its figures from zero; the totals since start stay.
    h.rideStarted(clock.nowUs());
    EXPECT_EQ(h.lamp(slot, clock.nowUs()), SourceLamp::Green);
    EXPECT_EQ(h.source(slot).ride.rejectedTotal(), 0);
    EXPECT_EQ(h.source(slot).sinceStart.rejectedTotal(), 3);
    EXPECT_EQ(h.source(slot).sinceStart.passings, 1);

    h.setFailure(slot, QStringLiteral("COM1: Permission denied"));
    EXPECT_EQ(h.lamp(slot, clock.nowUs()), SourceLamp::Red);
    h.setFailure(slot, {});
    EXPECT_EQ(h.lamp(slot, clock.nowUs()), SourceLamp::Green);
}

TEST(SensorHealth, NetworkSensorsKeptByAddressAndTheServersFailureReddensThemAll) {
    ManualClock clock;
    SensorHealth h;
    const int lap = h.network(QStringLiteral("127.0.0.1"));
    const int side = h.network(QStringLiteral("127.0.0.2"));
    EXPECT_NE(lap, side);
    EXPECT_EQ(h.network(QStringLiteral("127.0.0.1")), lap) << "found again by its address";
    h.passing(lap, clock.nowUs());
    h.rejected(side, Rejection::UnknownAddress, clock.nowUs());
    EXPECT_EQ(h.source(lap).sinceStart.passings, 1);
    EXPECT_EQ(h.source(side).sinceStart.rejectedOf(Rejection::UnknownAddress), 1);

    h.setNetworkFailure(QStringLiteral("The address is protected (port 80)"));
    EXPECT_EQ(h.lamp(lap, clock.nowUs()), SourceLamp::Red);
    EXPECT_EQ(h.lamp(side, clock.nowUs()), SourceLamp::Red);
    EXPECT_EQ(h.lamp(SensorHealth::serial(), clock.nowUs()), SourceLamp::Grey) << "not a network source";

    // More addresses than slots share the last one, nothing is lost.
    for (int i = 3; i < 40; ++i)
        h.passing(h.network(QStringLiteral("10.0.0.%1").arg(i)), clock.nowUs());
    const int last = SensorHealth::kSourceCount - 1;
    EXPECT_EQ(h.source(last).address, QStringLiteral("*"));
    qint64 sum = 0;
    for (int i = SensorHealth::firstNetwork(); i < SensorHealth::kSourceCount; ++i)
        sum += h.source(i).sinceStart.passings;
    EXPECT_EQ(sum, 1 + 37);
}

// A contact closed for more than 10 s at rest is reported once; a short
// closing (a kart in the sensor) never is; after it opens it may be again.
TEST(SensorHealth, StuckContactReportedOnceUntilItOpens) {
    ManualClock clock;
    SensorHealth h;
    auto sample = [&](bool closed) { return h.contactLevel(3, closed, clock.nowUs()); };
    EXPECT_FALSE(sample(true));
    clock.advance(9'000);
    EXPECT_FALSE(sample(false)) << "opened after 9 s: a passing, not stuck";
    EXPECT_FALSE(sample(true));
    clock.advance(10'000);
    EXPECT_FALSE(sample(true)) << "exactly 10 s is not more than 10 s";
    clock.advance(500);
    EXPECT_TRUE(sample(true));
    EXPECT_TRUE(h.source(SensorHealth::contact(3)).stuck);
    EXPECT_EQ(h.lamp(SensorHealth::contact(3), clock.nowUs()), SourceLamp::Red);
    for (int i = 0; i < 100; ++i) {
        clock.advance(500);
        EXPECT_FALSE(sample(true)) << "reported once only";
    }
    EXPECT_FALSE(sample(false));
    EXPECT_FALSE(h.source(SensorHealth::contact(3)).stuck);
    EXPECT_FALSE(sample(true));
    clock.advance(10'500);
    EXPECT_TRUE(sample(true)) << "stuck again after it had opened";
    EXPECT_FALSE(h.source(SensorHealth::contact(2)).stuck) << "the other inputs are their own";
}

TEST(SensorHealth, UnknownCodesListedFromTheThirdSightingInARide) {
    ManualClock clock;
    SensorHealth h;
    const int ir = SensorHealth::infrared(1);
    const int udp = h.network(QStringLiteral("127.0.0.1"));
    int count = -1;
    for (int i = 0; i < 2; ++i) {
        h.unknownCode(ir, QStringLiteral("1A2B"), clock.nowUs());
        h.unknownCode(udp, QStringLiteral("Z99"), clock.nowUs());
    }
    h.unknownCode(SensorHealth::serial(), QStringLiteral("1A2B"), clock.nowUs());
    h.listedUnknownCodes(&count);
    EXPECT_EQ(count, 0) << "twice by infrared, once by the serial receiver: its own counts";
    h.unknownCode(ir, QStringLiteral("1A2B"), clock.nowUs());
    h.unknownCode(udp, QStringLiteral("Z99"), clock.nowUs());
    auto listed = h.listedUnknownCodes(&count);
    ASSERT_EQ(count, 1) << "network codes are not listed";
    EXPECT_EQ(listed[0]->code, QStringLiteral("1A2B"));
    EXPECT_EQ(listed[0]->rideCount, 3);
    const QString tip = SourceTooltip(h, ir, clock.nowUs());
    EXPECT_TRUE(tip.contains(QStringLiteral("Neznámé kódy v jízdě: 1A2B (3×)"))) << qPrintable(tip);
    EXPECT_FALSE(SourceTooltip(h, SensorHealth::serial(), clock.nowUs()).contains(QStringLiteral("Neznámé kódy")));
    h.rideStarted(clock.nowUs());
    h.listedUnknownCodes(&count);
    EXPECT_EQ(count, 0) << "counted per ride";
}

// Overdue: 3 x the kart's best lap of this ride once it has one, before that
// 3 x the minimum lap but never within the first minute.
TEST(SensorHealth, KartOverdueAfterThreeBestLapsUntilSeenAgain) {
    ManualClock clock;
    SensorHealth h;
    h.rideStarted(clock.nowUs());
    const TimeUs start = clock.nowUs();
    const OverdueRule rule = Racing(start);
    auto at = [&](TimeUs sinceStart) { return start + sinceStart; };

    h.kartLap(1, at(5 * kS));  // the run from the start signal: no lap
    EXPECT_FALSE(h.bestLapUs(1));
    h.kartLap(1, at(25 * kS)); // 20 s
    h.kartLap(1, at(55 * kS)); // 30 s
    h.kartSeen(1, at(70 * kS)); // a split
    EXPECT_EQ(h.bestLapUs(1), 20 * kS);
    h.updateOverdue(at(130 * kS), rule);
    EXPECT_FALSE(h.overdue(1)) << "60 s after the split: not more than 3 x 20 s";
    EXPECT_TRUE(h.updateOverdue(at(130 * kS) + 1, rule));
    EXPECT_TRUE(h.overdue(1));
    EXPECT_TRUE(h.overdue(2)) << "never seen, 130 s into the ride";
    EXPECT_FALSE(h.updateOverdue(at(131 * kS), rule)) << "nothing changed";
    h.kartLap(1, at(131 * kS));
    EXPECT_TRUE(h.updateOverdue(at(131 * kS), rule));
    EXPECT_FALSE(h.overdue(1)) << "seen again";

    // The ride over (or stopped): no marks.
    OverdueRule over = rule;
    over.racing = false;
    h.updateOverdue(at(500 * kS), over);
    for (int k = 1; k <= kKartCount; ++k)
        EXPECT_FALSE(h.overdue(k)) << k;
}

TEST(SensorHealth, BeforeItsFirstLapAKartWaitsTheLongerOfAMinuteAndThreeMinimumLaps) {
    struct Case {
        TimeUs minLap;
        TimeUs firstSeen; // -1: never
        TimeUs quietUntilUs;
        const char* why;
    };
    const Case cases[] = {
        {2 * kS, -1, 60 * kS, "short minimum lap: the minute decides"},
        {30 * kS, -1, 90 * kS, "3 x 30 s is longer than the minute"},
        {2 * kS, 50 * kS, 110 * kS, "first passing at 50 s, no lap yet: a minute from it"},
    };
    for (const Case& c : cases) {
        ManualClock clock;
        SensorHealth h;
        h.rideStarted(clock.nowUs());
        const TimeUs start = clock.nowUs();
        const OverdueRule rule = Racing(start, c.minLap);
        if (c.firstSeen >= 0)
            h.kartLap(4, start + c.firstSeen);
        h.updateOverdue(start + c.quietUntilUs, rule);
        EXPECT_FALSE(h.overdue(4)) << c.why;
        h.updateOverdue(start + c.quietUntilUs + 1, rule);
        EXPECT_TRUE(h.overdue(4)) << c.why;
    }
}

// A ride continued after an outage: its karts' passings before it are
// unknown, so each gets its time from the moment the watching began again;
// a mark shown when the figures start anew goes at the next update.
TEST(SensorHealth, ContinuedRideWatchesFromItsContinuationAndMarksGoAtTheNextUpdate) {
    ManualClock clock;
    SensorHealth h;
    const TimeUs start = clock.nowUs();
    h.rideStarted(start);
    h.updateOverdue(start + 100 * kS, Racing(start));
    ASSERT_TRUE(h.overdue(3));
    const TimeUs resumed = start + 300 * kS;
    h.rideStarted(resumed);
    EXPECT_TRUE(h.overdue(3)) << "still shown";
    EXPECT_TRUE(h.updateOverdue(resumed + 1 * kS, Racing(start))) << "told that it went";
    EXPECT_FALSE(h.overdue(3));
    h.updateOverdue(resumed + 60 * kS + 1, Racing(start));
    EXPECT_TRUE(h.overdue(3));
}

TEST(SensorHealth, KartsNotTakingPartAreNeverMarked) {
    ManualClock clock;
    SensorHealth h;
    h.rideStarted(clock.nowUs());
    OverdueRule rule = Racing(clock.nowUs());
    rule.taking[size_t(6 - 1)] = false; // "Bez účasti" or no code
    h.updateOverdue(clock.nowUs() + 600 * kS, rule);
    EXPECT_FALSE(h.overdue(6));
    EXPECT_TRUE(h.overdue(5));
}

// The lap computation tells the model what each passing was, and the
// callers learn whether a code named a kart.
TEST(SensorHealth, LapComputationReportsLapsSplitsAndUnknownCodes) {
    ManualClock clock;
    RaceBoard board;
    FixedLapSettings settings;
    settings.firstCode[0] = QStringLiteral("K01");
    settings.lapSensor = QStringLiteral("127.0.0.1");
    settings.minLapTime = 2000;
    LapComputation laps(board, clock, settings);
    SensorHealth h;
    laps.setHealth(&h);
    h.rideStarted(clock.nowUs());
    laps.startRace();
    const TimeUs start = clock.nowUs();

    EXPECT_EQ(laps.MatchCode(QStringLiteral("K01"), QStringLiteral("127.0.0.1")), CodeMatch::Lap);
    laps.PollAll();
    clock.advance(20'000);
    EXPECT_EQ(laps.MatchCode(QStringLiteral("K01"), QString()), CodeMatch::Lap);
    laps.PollAll();
    clock.advance(1'000);
    EXPECT_EQ(laps.MatchCode(QStringLiteral("K01"), QString()), CodeMatch::Lap) << "within the minimum lap";
    laps.PollAll();
    EXPECT_EQ(board.lapCount(1), 2);
    EXPECT_EQ(h.bestLapUs(1), 20 * kS) << "the passing within the minimum lap is no lap";
    clock.advance(5'000);
    EXPECT_EQ(laps.MatchCode(QStringLiteral("02K01"), QStringLiteral("127.0.0.3")), CodeMatch::Split);
    EXPECT_EQ(laps.MatchCode(QStringLiteral("K77"), QString()), CodeMatch::NoKart);
    // Seen at the split 26 s in: quiet until 26 + 60 s.
    h.updateOverdue(start + 86 * kS, Racing(start));
    EXPECT_FALSE(h.overdue(1));
    h.updateOverdue(start + 86 * kS + 1, Racing(start));
    EXPECT_TRUE(h.overdue(1));

    laps.holdPassings();
    EXPECT_EQ(laps.MatchCode(QStringLiteral("K01"), QString()), CodeMatch::Lap) << "held, still told";
    EXPECT_EQ(laps.MatchCode(QStringLiteral("nic"), QString()), CodeMatch::NoKart);
}

TEST(SensorHealth, TooltipGivesTheFiguresInCzech) {
    ManualClock clock;
    SensorHealth h;
    const int slot = SensorHealth::contact(2);
    EXPECT_EQ(SourceTooltip(h, slot, clock.nowUs()),
              QStringLiteral("Čidlo 2\nDosud neslyšen\nJízda: 0 průjezdů, 0 odmítnutých vstupů\n"
                             "Od spuštění: 0 průjezdů, 0 odmítnutých vstupů"));
    const int net = h.network(QStringLiteral("192.168.0.5"));
    h.passing(net, clock.nowUs());
    h.rejected(net, Rejection::UnknownCode, clock.nowUs());
    h.rejected(net, Rejection::UnknownAddress, clock.nowUs());
    h.rejected(net, Rejection::UnknownAddress, clock.nowUs());
    clock.advance(150'000);
    EXPECT_EQ(SourceTooltip(h, net, clock.nowUs()),
              QStringLiteral("Snímač 192.168.0.5\nNaposledy slyšen před 2 min\n"
                             "Jízda: 1 průjezd, 3 odmítnuté vstupy (neznámý kód 1, neznámá adresa 2)\n"
                             "Od spuštění: 1 průjezd, 3 odmítnuté vstupy (neznámý kód 1, neznámá adresa 2)"));
    EXPECT_EQ(SourceLabel(h.source(net)), QStringLiteral(".5"));
    EXPECT_EQ(SourceLabel(h.source(SensorHealth::infrared(2))), QStringLiteral("IR2"));
    EXPECT_EQ(AgoText(59 * kS), QStringLiteral("před 59 s"));
    EXPECT_EQ(AgoText(3 * 3600 * kS), QStringLiteral("před 3 h"));
}
