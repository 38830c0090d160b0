#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/racecontrol.h"
#include "engine/raceprice.h"
#include "engine/racesettings.h"
#include "fakeracehardware.h"
#include "qstringprinter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <limits>
#include <gtest/gtest.h>

using namespace vartemo;
using namespace vartemo::testing;

namespace {

constexpr TimeMs kMinute = 60'000;

// A station without windows: the board, lap computation and race control on
// a hand-moved clock, fake hardware, and every feed recorded in call order.
struct Ride : ::testing::Test {
    RaceBoard board;
    ManualClock clock{50'000'000};
    FixedLapSettings lapSettings;
    LapComputation laps{board, clock, lapSettings};
    FixedRaceSettings settings;
    FakeLights lights;
    FakeInputs inputs;
    FakeReceivers receivers;
    RaceControl control{board, laps, clock, settings, {&lights, &inputs, &receivers}};
    QTemporaryDir home;

    QStringList fed;      // names of the feeds in the order they were called
    QStringList autoPrintProblems;
    QStringList logLines;
    QStringList errors;
    QStringList operatingMessages; // what the fleet reports at the STOP
    std::array<int, kKartCount> minutes{};
    QString captionAtLog;

    Ride() {
        lapSettings.minLapTime = 2000;
        for (int k = 1; k <= kKartCount; ++k)
            lapSettings.firstCode[size_t(k - 1)] = QStringLiteral("K%1").arg(k);
        control.setResultsFolder(home.filePath(QStringLiteral("vysledky")));
        control.setWallClock([] { return QDateTime(QDate(2008, 5, 17), QTime(14, 3, 7)); });
        RaceFeeds f;
        f.addOperatingMinutes = [this](const std::array<int, kKartCount>& m) {
            fed << "operating";
            minutes = m;
            return operatingMessages;
        };
        f.insertBestTwenty = [this] { fed << "top20:" + board.DriverName(1); };
        f.autoPrint = [this] {
            fed << "print:" + control.rideDriverNames()[0];
            return autoPrintProblems;
        };
        f.addLogEntry = [this](const QString& line) {
            fed << "log";
            logLines << line;
            captionAtLog = control.startCaption();
        };
        f.currentOperator = [] { return QStringLiteral("Admin"); };
        f.checkTasks = [this] { fed << "tasks:" + control.startCaption(); };
        f.showError = [this](const QString& e) {
            fed << "error";
            errors << e;
        };
        control.setFeeds(f);
    }

    // Race time t (ms since the start of the current race).
    void at(TimeMs t) { clock.set(laps.raceStart() + t); }
    void displayTickAt(TimeMs t) {
        at(t);
        control.fire(RaceTimer::Display);
    }
    // A lap code of the kart at race time t, taken by the next 2 ms poll.
    void passAt(int kart, TimeMs t) {
        at(t);
        laps.MatchCode(QStringLiteral("K%1").arg(kart), {});
        control.fire(RaceTimer::Poll);
    }
    // START, and the light sequence through to green when the lights are used.
    void start() {
        control.StartButton1Click();
        while (control.phase() == RacePhase::Lights)
            control.fire(RaceTimer::LightStep);
        ASSERT_EQ(control.phase(), RacePhase::Timing);
    }
    QStringList lapLines(int k) const { return board.lines(k, BoardList::Lap); }
    QStringList savedFiles() const {
        return QDir(home.filePath(QStringLiteral("vysledky"))).entryList(QDir::Files, QDir::Name);
    }
};

} // namespace

TEST_F(Ride, StartWithoutLightsBeginsTimingAtOnce) {
    board.AddLapLine(3, 5000);
    laps.setPendingKart(4);
    control.fire(RaceTimer::ExtStart); // not armed: nothing happens
    start();
    EXPECT_EQ(control.startCaption(), "&STOP");
    EXPECT_FALSE(control.raceButtonsEnabled());
    EXPECT_TRUE(lapLines(3).isEmpty());
    EXPECT_EQ(laps.pendingKart(), 0);
    EXPECT_TRUE(laps.raceRunning());
    EXPECT_EQ(laps.raceStart(), clock.now());
    EXPECT_EQ(control.interval(RaceTimer::Display), 259);
    EXPECT_EQ(lights.maskReloads, 1);
    EXPECT_TRUE(lights.states.empty()); // lights not used
}

TEST_F(Ride, LightSequenceRunsWithoutBlockingAndIgnoresTheButton) {
    settings.lights = true;
    settings.lightPause = 3;
    control.StartButton1Click();
    EXPECT_EQ(control.phase(), RacePhase::Lights);
    EXPECT_EQ(lights.states, std::vector<int>({1}));
    EXPECT_EQ(control.interval(RaceTimer::LightStep), 3000);
    EXPECT_FALSE(control.isActive(RaceTimer::Poll));

    control.StartButton1Click(); // neither START nor STOP while the lights run
    EXPECT_EQ(control.phase(), RacePhase::Lights);

    clock.advance(3000);
    control.fire(RaceTimer::LightStep);
    EXPECT_EQ(lights.states, std::vector<int>({1, 2}));
    EXPECT_EQ(control.phase(), RacePhase::Lights);

    // Passings while the lights run wait for the race start: a lap code
    // for the first poll, a split to be measured from the new start.
    laps.MatchCode(QStringLiteral("K2"), {});
    laps.MatchCode(QStringLiteral("05K3"), {});
    EXPECT_TRUE(board.lines(3, BoardList::Track).isEmpty());
    clock.advance(3000);
    control.fire(RaceTimer::LightStep);
    EXPECT_EQ(lights.states, std::vector<int>({1, 2, 3}));
    EXPECT_EQ(board.lines(3, BoardList::Track), QStringList({"05 00:00:000"}));
    EXPECT_EQ(control.phase(), RacePhase::Timing);
    EXPECT_FALSE(control.isActive(RaceTimer::LightStep));
    EXPECT_EQ(laps.raceStart(), clock.now()); // the race starts at green

    // The held lap code happened before the start: it counts at the start.
    clock.advance(4);
    control.fire(RaceTimer::Poll);
    EXPECT_EQ(lapLines(2), QStringList({"00:00:000"}));
}

// Contacts are sampled every 2 ms; code-sending sensors stamp their passings,
// so without the parallel port a poll runs only when a passing waits.
TEST_F(Ride, ThePollRunsAllTheTimeOnlyForTheParallelPort) {
    start();
    EXPECT_FALSE(control.isActive(RaceTimer::Poll));
    at(5'000);
    laps.MatchCode(QStringLiteral("K6"), {});
    ASSERT_TRUE(control.isActive(RaceTimer::Poll));
    EXPECT_EQ(control.interval(RaceTimer::Poll), 0); // the next turn of the event loop
    at(5'001);
    control.fire(RaceTimer::Poll);
    EXPECT_EQ(lapLines(6), QStringList({"00:05:000"}));
    EXPECT_FALSE(control.isActive(RaceTimer::Poll));

    control.StartButton1Click(); // STOP
    laps.MatchCode(QStringLiteral("K6"), {});
    EXPECT_FALSE(control.isActive(RaceTimer::Poll)); // no ride, no poll

    settings.parallelPort = true;
    start();
    EXPECT_TRUE(control.isActive(RaceTimer::Poll));
    EXPECT_EQ(control.interval(RaceTimer::Poll), 2);
    control.fire(RaceTimer::Poll);
    EXPECT_TRUE(control.isActive(RaceTimer::Poll));
}

TEST_F(Ride, MinutesModeEndsAtTheLengthWithinOneDisplayTickAndLapsStillCount) {
    settings.lights = true;
    control.CasZavoduChange(10);
    start();
    lights.states.clear();

    TimeMs t = 0;
    while (laps.raceRunning()) {
        t += 259;
        displayTickAt(t);
        ASSERT_LT(t, 11 * kMinute);
    }
    EXPECT_GE(t, 10 * kMinute);
    EXPECT_LT(t, 10 * kMinute + 259);
    EXPECT_EQ(lights.states, std::vector<int>({1}));
    EXPECT_EQ(control.shownClock().minutes, 10);

    // No automatic stop: timing goes on and a kart finishing its lap counts.
    EXPECT_EQ(control.startCaption(), "&STOP");
    passAt(1, 10 * kMinute + 20'000);
    EXPECT_EQ(lapLines(1), QStringList({"10:20:000"}));
    displayTickAt(10 * kMinute + 21'000);
    EXPECT_EQ(lights.states, std::vector<int>({1})); // the end is detected once
}

TEST_F(Ride, LapsModeEndsWhenTheFirstKartHasLengthPlusOneLines) {
    control.CasZavoduChange(5);
    control.rbKolaClick();
    start();
    for (int lap = 1; lap <= 5; ++lap) {
        passAt(1, lap * 30'000);
        passAt(2, lap * 31'000);
    }
    displayTickAt(160'000);
    EXPECT_TRUE(laps.raceRunning()); // five lines are not yet five laps
    EXPECT_EQ(control.progressPosition(), 0);

    passAt(1, 180'000);
    displayTickAt(180'100);
    EXPECT_FALSE(laps.raceRunning());

    passAt(2, 186'000);
    passAt(2, 217'000);
    EXPECT_EQ(board.lapCount(2), 7);
    control.StartButton1Click();
    EXPECT_EQ(control.startCaption(), "&START");
}

TEST_F(Ride, AutomaticStopClosesTheRideAtTheEnd) {
    settings.autoStopOn = true;
    settings.endSoundOn = true;
    int played = 0;
    control.feeds().playEndSound = [&] {
        ++played;
        EXPECT_EQ(control.phase(), RacePhase::Idle);
    };
    control.CasZavoduChange(1);
    start();
    board.setDriverName(1, QStringLiteral("Petr"));
    displayTickAt(kMinute + 50);
    EXPECT_EQ(control.phase(), RacePhase::Idle);
    EXPECT_FALSE(control.isActive(RaceTimer::Poll));
    EXPECT_FALSE(control.isActive(RaceTimer::Display));
    EXPECT_EQ(board.DriverName(1), "kara1");
    EXPECT_EQ(played, 1);
    ASSERT_EQ(logLines.size(), 1);
}

TEST_F(Ride, StopFeedsTheSubsystemsInOrder) {
    settings.autoSaveOn = true;
    settings.autoPrintOn = true;
    settings.serviceCheckOn = true;
    settings.externalStartOn = true;
    settings.lights = true;
    settings.lightsOff = true;
    settings.lightsOffMin = 3;
    receivers.open = true;
    settings.network = true;
    start();
    lights.states.clear();
    receivers.calls.clear();
    board.setDriverName(1, QStringLiteral("Petr"));
    passAt(1, 40'000);
    at(50'000);
    control.StartButton1Click();

    EXPECT_EQ(receivers.calls, QStringList({"close", "network off"}));
    EXPECT_EQ(fed, QStringList({"operating", "top20:Petr", "print:Petr", "log", "tasks:&START"}));
    EXPECT_EQ(captionAtLog, "&STOP");
    EXPECT_EQ(savedFiles(), QStringList({"Petr_17_5_2008_14_03_07.caskola",
                                         "Petr_mezicasy_17_5_2008_14_03_07.casdraha"}));
    EXPECT_TRUE(control.raceButtonsEnabled());
    EXPECT_TRUE(control.isActive(RaceTimer::ExtStart));
    EXPECT_FALSE(control.isActive(RaceTimer::AutoStartDelay));
    EXPECT_TRUE(control.isActive(RaceTimer::LightsOff));
    EXPECT_EQ(control.interval(RaceTimer::LightsOff), 3 * 60'000);
    EXPECT_EQ(lights.states, std::vector<int>({1, 1})); // StopAllTimers, then step 10
    EXPECT_FALSE(laps.lastLapMarkUs(1).has_value());
    EXPECT_FALSE(laps.raceRunning());

    control.fire(RaceTimer::LightsOff);
    EXPECT_EQ(lights.last(), 0);
    EXPECT_FALSE(control.isActive(RaceTimer::LightsOff));
}

TEST_F(Ride, FirstLineGoesBeforeShortLapsAndOperatingTimeCountsEveryLine) {
    settings.dropFirst = true;
    settings.dropShort = true;
    settings.shortSeconds = 20;
    start();
    // 5 + 40 + 10 + 6 s = 61 s: one minute; what is left after trimming is less.
    board.setLines(1, BoardList::Lap, {"00:05:000", "00:40:000", "00:10:000", "00:06:000"});
    board.setLines(1, BoardList::Track, {"  L 00:05:000", "03 00:01:000", "  L 00:40:000"});
    board.setLines(2, BoardList::Lap, {"02:10:000", "00:19:999", "00:20:000"});
    control.StartButton1Click();

    EXPECT_EQ(minutes[0], 1);
    EXPECT_EQ(minutes[1], 2);
    EXPECT_EQ(lapLines(1), QStringList({"00:40:000"}));
    EXPECT_EQ(board.lines(1, BoardList::Track), QStringList({"03 00:01:000", "  L 00:40:000"}));
    EXPECT_EQ(lapLines(2), QStringList({"00:20:000"}));
}

TEST_F(Ride, FirstLapCodeStartsTheRaceWithoutALapForIt) {
    settings.autoStartOn = true;
    settings.com = true;
    control.FormShow();
    ASSERT_TRUE(control.isActive(RaceTimer::ExtStart));
    EXPECT_EQ(control.interval(RaceTimer::ExtStart), 200);

    control.fire(RaceTimer::ExtStart);
    EXPECT_EQ(control.phase(), RacePhase::Idle);
    EXPECT_TRUE(control.isActive(RaceTimer::ExtStart)); // re-armed

    laps.MatchCode(QStringLiteral("K3"), {});
    clock.advance(150);
    control.fire(RaceTimer::ExtStart);
    EXPECT_EQ(control.phase(), RacePhase::Timing);
    EXPECT_FALSE(control.isActive(RaceTimer::ExtStart));
    control.fire(RaceTimer::Poll);
    EXPECT_TRUE(lapLines(3).isEmpty());

    passAt(3, 35'000);
    EXPECT_EQ(lapLines(3), QStringList({"00:35:000"}));
}

TEST_F(Ride, ExternalAndAutomaticStartSources) {
    struct Case {
        const char* name;
        bool ext, autoStart, lpt, com, net, button, kartInput, pending;
        bool starts;
    };
    const Case cases[] = {
        {"button with external start", true, false, false, false, false, true, false, false, true},
        {"button without external start", false, true, false, false, false, true, false, false, false},
        {"kart input, LPT in use", false, true, true, false, false, false, true, false, true},
        {"kart input, LPT not in use", false, true, false, false, false, false, true, false, false},
        {"lap code over the network", false, true, false, false, true, false, false, true, true},
        {"lap code with no receiver in use", false, true, false, false, false, false, false, true, false},
        {"lap code, automatic start off", true, false, false, true, false, false, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RaceBoard b;
        LapComputation lc{b, clock, lapSettings};
        FixedRaceSettings s;
        s.externalStartOn = c.ext;
        s.autoStartOn = c.autoStart;
        s.parallelPort = c.lpt;
        s.com = c.com;
        s.network = c.net;
        FakeInputs in;
        in.button = c.button;
        in.kartInput = c.kartInput;
        RaceControl rc{b, lc, clock, s, {nullptr, &in, nullptr}};
        lc.setPendingKart(c.pending ? 5 : 0);
        rc.FormShow();
        rc.fire(RaceTimer::ExtStart);
        EXPECT_EQ(in.reads, 1);
        EXPECT_EQ(rc.phase() == RacePhase::Timing, c.starts);
        EXPECT_EQ(rc.isActive(RaceTimer::ExtStart), !c.starts);
    }
}

TEST_F(Ride, StartButtonOnThePortNeverStopsARide) {
    settings.externalStartOn = true;
    inputs.button = true;
    start();
    control.resumeStartWaiting(); // armed by mistake while timing
    control.fire(RaceTimer::ExtStart);
    EXPECT_EQ(control.phase(), RacePhase::Timing);
    EXPECT_FALSE(control.isActive(RaceTimer::ExtStart));
}

TEST_F(Ride, WaitingForTheStartOpensTheReceivers) {
    settings.externalStartOn = true;
    settings.com = true;
    settings.network = true;
    control.FormShow();
    control.fire(RaceTimer::ExtStart);
    EXPECT_EQ(receivers.calls, QStringList({"open", "network"}));

    receivers.calls.clear();
    receivers.open = false;
    receivers.rxd = false; // infrared: the decoders run anyway
    control.fire(RaceTimer::ExtStart);
    EXPECT_EQ(receivers.calls, QStringList({"network"}));
}

TEST_F(Ride, StartSwitchesTheReceiversOn) {
    struct Case {
        bool detected, rxd, open, net;
        QStringList calls;
    };
    const Case cases[] = {
        {true, true, false, false, {"open"}},
        {true, true, true, false, {}},
        {true, false, false, true, {"decoders", "network+rebind"}},
        {false, true, false, true, {"network+rebind"}},
    };
    for (const Case& c : cases) {
        FakeReceivers rx;
        rx.detected = c.detected;
        rx.rxd = c.rxd;
        rx.open = c.open;
        FixedRaceSettings s;
        s.com = true;
        s.network = c.net;
        RaceControl rc{board, laps, clock, s, {nullptr, nullptr, &rx}};
        rc.StartButton1Click();
        EXPECT_EQ(rx.calls, c.calls);
        rc.StopAllTimers();
    }
}

TEST_F(Ride, TakingsFollowTheClockAsShownAtTheStop) {
    struct Case {
        TimeMs stopAt;
        const char* line;
    };
    const Case cases[] = {
        {5 * kMinute + 30'100, "Kč 54 Admin 14:03:07 17.5.2008"},
        {10 * kMinute + 2'000, "Kč 100 Admin 14:03:07 17.5.2008"},
    };
    settings.price = 10;
    control.CasZavoduChange(10);
    for (const Case& c : cases) {
        logLines.clear();
        start();
        displayTickAt(c.stopAt);
        clock.advance(200); // the stop comes between two ticks
        control.StartButton1Click();
        EXPECT_EQ(logLines, QStringList({c.line}));
    }
}

TEST_F(Ride, ARideStoppedBeforeTheFirstClockTickCostsNothing) {
    settings.price = 10;
    start();
    displayTickAt(9 * kMinute + 30'000);
    control.StartButton1Click();
    logLines.clear();
    start();
    EXPECT_EQ(control.shownClock().minutes, 0);
    EXPECT_EQ(control.shownClock().seconds, 0);
    EXPECT_EQ(control.progressPosition(), control.progressMaximum());
    control.StartButton1Click();
    ASSERT_EQ(logLines.size(), 1);
    EXPECT_TRUE(logLines[0].startsWith("Kč 0 ")) << logLines[0].toStdString();
}

TEST(RacePrice, ChargesBySecondBeforeTheLengthAndWholeRideAfter) {
    struct Case {
        int m, s, rate, length, price;
    };
    const Case cases[] = {
        {5, 30, 10, 10, 54},   // 330 x 166 div 1000
        {10, 2, 10, 10, 100},  // the length reached: rate x length
        {12, 0, 10, 10, 100},
        {0, 0, 10, 10, 0},
        {9, 59, 25, 10, 249},  // 599 x 416 div 1000
        {0, 59, 7, 3, 6},      // 59 x 116 div 1000
    };
    for (const Case& c : cases)
        EXPECT_EQ(RacePrice(c.m, c.s, c.rate, c.length), c.price) << c.m << ":" << c.s;
}

TEST_F(Ride, MinutesWrapPastAnHourAndTheTakingsUseThemAsShown) {
    settings.price = 10;
    control.CasZavoduChange(50);
    control.rbKolaClick();
    start();
    displayTickAt(61 * kMinute + 30'000);
    EXPECT_EQ(control.shownClock().minutes, 1);
    EXPECT_EQ(control.shownClock().seconds, 30);
    EXPECT_TRUE(laps.raceRunning());
    control.StartButton1Click();
    ASSERT_EQ(logLines.size(), 1);
    EXPECT_TRUE(logLines[0].startsWith("Kč 14 ")) << logLines[0].toStdString(); // 90 x 166 div 1000
}

TEST_F(Ride, UnreadableLapLineIsReportedAndTheStopGoesOn) {
    settings.dropShort = true;
    settings.shortSeconds = 20;
    settings.autoSaveOn = true;
    start();
    board.setLines(1, BoardList::Lap, {"01:30:000", "xx:10:000", "00:05:000", "00:45:000"});
    board.setLines(2, BoardList::Lap, {"0a:00:000"});
    control.StartButton1Click();

    EXPECT_EQ(control.startCaption(), "&START");
    EXPECT_TRUE(control.raceButtonsEnabled());
    EXPECT_EQ(minutes[0], 2); // 90 + 5 + 45 s; the bad line counts nothing
    EXPECT_EQ(lapLines(1), QStringList({"01:30:000", "xx:10:000", "00:45:000"}));
    EXPECT_EQ(errors, QStringList({"'xx' is not a valid integer value"}));
    EXPECT_EQ(fed, QStringList({"operating", "top20:kara1", "log", "error"}));
    EXPECT_EQ(savedFiles().size(), 2);
}

TEST_F(Ride, FleetMessagesAreShownWithTheOthersOnceTheStopIsDone) {
    settings.serviceCheckOn = true;
    operatingMessages = {QStringLiteral("'abc' is not a valid integer value")};
    start();
    board.setLines(1, BoardList::Lap, {"xx:10:000"});
    control.StartButton1Click();
    EXPECT_EQ(errors, QStringList({"'xx' is not a valid integer value", "'abc' is not a valid integer value"}));
    EXPECT_EQ(fed, QStringList({"operating", "top20:kara1", "log", "error", "error", "tasks:&START"}));
}

TEST_F(Ride, SheetsNameTheRidesDriversUntilTheNextStart) {
    settings.autoPrintOn = true;
    autoPrintProblems = {"Tisk nelze spustit"};
    board.setDriverName(1, QStringLiteral("Petr"));
    board.setDriverName(8, QStringLiteral("Eva"));
    EXPECT_EQ(control.rideDriverNames()[0], "Petr") << "before any ride: the board's names";
    start();
    control.StartButton1Click();

    EXPECT_EQ(board.DriverName(1), "kara1") << "the board is reset at the stop";
    const auto kept = control.rideDriverNames();
    EXPECT_EQ(kept[0], "Petr");
    EXPECT_EQ(kept[7], "Eva");
    EXPECT_EQ(kept[1], "kara2");
    // The print's problem is shown after the stop's own steps, with its others.
    EXPECT_EQ(fed, QStringList({"operating", "top20:Petr", "print:Petr", "log", "error"}));
    EXPECT_EQ(errors, QStringList{"Tisk nelze spustit"});

    board.setDriverName(1, QStringLiteral("Jana")); // named for the next ride
    EXPECT_EQ(control.rideDriverNames()[0], "Petr");
    start();
    EXPECT_EQ(control.rideDriverNames()[0], "Jana");
}

TEST_F(Ride, AbsurdLoadedTimesNeitherOverflowNorSubtractOperatingTime) {
    start();
    board.setLines(1, BoardList::Lap, {"153722867280912:0:0", "153722867280912:0:0"});
    board.setLines(2, BoardList::Lap, {"-5:00:000", "02:00:000"});
    control.StartButton1Click();
    EXPECT_EQ(minutes[0], std::numeric_limits<int>::max());
    EXPECT_EQ(minutes[1], 2);
}

TEST_F(Ride, AutomaticSavingProblemsAreShownAndTheStopGoesOn) {
    settings.autoSaveOn = true;
    start();
    board.setDriverName(1, QStringLiteral("Jan/Eva"));
    passAt(1, 30'000);
    control.StartButton1Click();
    // The folder was missing: it is made; the slash stays in the name only.
    EXPECT_EQ(savedFiles(), QStringList({"Jan_Eva_17_5_2008_14_03_07.caskola",
                                         "Jan_Eva_mezicasy_17_5_2008_14_03_07.casdraha"}));
    EXPECT_TRUE(errors.isEmpty());

    // A file where the folder should be: nothing can be written.
    QDir(home.filePath("vysledky")).removeRecursively();
    QFile blocker(home.filePath("vysledky"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    fed.clear();
    start();
    passAt(2, 30'000);
    control.StartButton1Click();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("vysledky")) << errors[0].toStdString();
    EXPECT_EQ(fed, QStringList({"operating", "top20:kara1", "log", "error"}));
    EXPECT_EQ(control.startCaption(), "&START");
}

TEST_F(Ride, StopRearmsTheAutomaticStartAfterTheDelay) {
    settings.autoStartOn = true;
    settings.externalStartOn = true;
    settings.autoStartDelay = 45;
    start();
    control.StartButton1Click();
    EXPECT_FALSE(control.isActive(RaceTimer::ExtStart));
    ASSERT_TRUE(control.isActive(RaceTimer::AutoStartDelay));
    EXPECT_EQ(control.interval(RaceTimer::AutoStartDelay), 45'000);

    laps.setPendingKart(6); // a kart still on the track
    control.fire(RaceTimer::AutoStartDelay);
    EXPECT_EQ(laps.pendingKart(), 0);
    EXPECT_FALSE(control.isActive(RaceTimer::AutoStartDelay));
    EXPECT_TRUE(control.isActive(RaceTimer::ExtStart));
}

TEST_F(Ride, NameEntryPausesAndResumesTheStartWaiting) {
    settings.autoStartOn = true;
    control.FormShow();
    control.pauseStartWaiting();
    EXPECT_FALSE(control.isActive(RaceTimer::ExtStart));
    EXPECT_FALSE(control.isActive(RaceTimer::AutoStartDelay));
    control.resumeStartWaiting();
    EXPECT_TRUE(control.isActive(RaceTimer::ExtStart));
    EXPECT_TRUE(control.isActive(RaceTimer::AutoStartDelay));

    settings.autoStartOn = false;
    control.pauseStartWaiting();
    control.resumeStartWaiting();
    EXPECT_FALSE(control.isActive(RaceTimer::ExtStart));
}

TEST_F(Ride, ProgressCountsDownSecondsOrLaps) {
    control.CasZavoduChange(2);
    EXPECT_EQ(control.progressMaximum(), 120);
    EXPECT_EQ(control.progressPosition(), 120);
    start();
    displayTickAt(45'300);
    EXPECT_EQ(control.progressPosition(), 75);
    EXPECT_EQ(control.shownClock().millis, 300);
    control.CasZavoduChange(3); // during the ride the bar is not refilled
    EXPECT_EQ(control.progressMaximum(), 180);
    EXPECT_EQ(control.progressPosition(), 75);
    control.StartButton1Click();

    control.rbKolaClick();
    EXPECT_EQ(control.progressMaximum(), 3);
    EXPECT_EQ(control.progressPosition(), 3);
    start();
    passAt(4, 20'000);
    passAt(4, 40'000);
    displayTickAt(41'000);
    EXPECT_EQ(control.progressPosition(), 1);
}

TEST_F(Ride, RaceLengthFeedsTheTvDisplay) {
    QStringList tv;
    control.feeds().setTvRaceLength = [&](int v) { tv << QString::number(v); };
    control.feeds().setTvLengthLabel = [&](const QString& l) { tv << l; };
    control.CasZavoduChange(7);
    control.rbKolaClick();
    control.rbMinutyClick();
    EXPECT_EQ(tv, QStringList({"7", "Délka jízdy\r\nkol", "Délka jízdy\r\nminut"}));
    EXPECT_EQ(control.progressMaximum(), 420);
}

TEST_F(Ride, TvDisplayGetsTheNamesAtStartAndTheClockWhenInUse) {
    std::array<QString, kKartCount> names;
    QStringList clocks;
    control.feeds().showTvDriverNames = [&](const auto& n) { names = n; };
    control.feeds().showTvClock = [&](int m, int s, int ms) {
        clocks << QStringLiteral("%1:%2:%3").arg(m).arg(s).arg(ms);
    };
    board.setDriverName(6, QStringLiteral("Eva"));
    start();
    EXPECT_EQ(names[5], "Eva");
    EXPECT_EQ(names[0], "kara1");
    displayTickAt(1'500);
    EXPECT_TRUE(clocks.isEmpty()); // TV output off
    settings.tv = true;
    displayTickAt(62'250);
    EXPECT_EQ(clocks, QStringList({"1:2:250"}));
}

TEST_F(Ride, ScreenSaverAndEndSoundAroundTheRide) {
    QStringList calls;
    control.feeds().setScreenSaver = [&](bool on) { calls << (on ? "saver on" : "saver off"); };
    control.feeds().prepareEndSound = [&] { calls << "prepare"; };
    settings.screenSaverOff = true;
    settings.endSoundOn = true;
    start();
    EXPECT_EQ(calls, QStringList({"saver off", "prepare"}));
    control.StartButton1Click();
    EXPECT_EQ(calls.last(), "saver on");

    calls.clear();
    settings.screenSaverOff = false;
    settings.endSoundOn = false;
    start();
    EXPECT_TRUE(calls.isEmpty());
}

TEST_F(Ride, FirstShowingAndClosingTheWindow) {
    settings.lights = true;
    settings.externalStartOn = true;
    int closing = 0;
    control.feeds().closing = [&] { ++closing; };
    control.CasZavoduChange(4);
    control.FormShow();
    EXPECT_EQ(lights.states, std::vector<int>({0, 1}));
    EXPECT_EQ(lights.idleWrites, 1);
    EXPECT_EQ(control.raceLength(), 10);
    EXPECT_EQ(control.progressPosition(), 600);
    EXPECT_TRUE(control.isActive(RaceTimer::ExtStart));

    control.StartButton1Click();
    control.FormClose();
    for (RaceTimer t : {RaceTimer::Poll, RaceTimer::Display, RaceTimer::ExtStart,
                        RaceTimer::AutoStartDelay, RaceTimer::LightStep})
        EXPECT_FALSE(control.isActive(t));
    EXPECT_EQ(closing, 1);
}
