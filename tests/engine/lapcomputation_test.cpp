#include "engine/codelearner.h"
#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/timetext.h"

#include <gtest/gtest.h>
#include <map>

using namespace vartemo;

namespace {

struct RecordingLearner : CodeLearner {
    std::map<int, QString> learnt;
    QStringList shown;
    void learnCode(int slot, const QString& code) override { learnt[slot] = code; }
    void showTestCode(const QString& code) override { shown << code; }
};

// A board, a clock at race start and the lap computation over them.
struct Track : ::testing::Test {
    RaceBoard board;
    ManualClock clock{5'000'000};
    FixedLapSettings settings;
    LapComputation laps{board, clock, settings};
    std::array<bool, 4> inputs{};

    Track() {
        laps.setHooks({.kartInputActive = [this](int k) { return inputs[size_t(k - 1)]; },
                       .updateRaceRow = {},
                       .startPulse = {}});
        laps.startRace();
    }
    // A code that the sensor stamped at race time us (µs), matched later.
    void codeStampedAt(TimeUs us, const QString& code, const QString& source = {}) {
        laps.MatchCode(code, source, TimeUs(laps.raceStart()) * 1000 + us);
    }
    // Moves the clock to race time t (ms) and runs one 2 ms poll tick.
    void tickAt(TimeMs t) {
        clock.set(laps.raceStart() + t);
        laps.PollAll();
    }
    // A code arrives at race time t and the next poll takes it.
    void passAt(TimeMs t, const QString& code, const QString& source = {}) {
        clock.set(laps.raceStart() + t);
        laps.MatchCode(code, source);
        laps.PollAll();
    }
    QStringList lapLines(int k) const { return board.lines(k, BoardList::Lap); }
    QStringList trackLines(int k) const { return board.lines(k, BoardList::Track); }
};

} // namespace

TEST_F(Track, LapCodesMatchExactlyInKartOrder) {
    settings.firstCode[1] = QStringLiteral("AB");   // kart 2
    settings.secondCode[0] = QStringLiteral("AB");  // kart 1, second code: earlier in order
    settings.secondCode[2] = QStringLiteral("C3");  // kart 3
    laps.MatchCode(QStringLiteral("AB"), {});
    EXPECT_EQ(laps.pendingKart(), 1);
    laps.MatchCode(QStringLiteral("C3"), {});
    EXPECT_EQ(laps.pendingKart(), 3);             // the latest recognised; kart 1 still waits
    EXPECT_EQ(laps.waitingPassings(1), 1u);
    laps.MatchCode(QStringLiteral("ab"), {});     // case-sensitive: no kart, no split
    EXPECT_EQ(laps.pendingKart(), 3);
    for (int k = 1; k <= kKartCount; ++k)
        EXPECT_TRUE(trackLines(k).isEmpty());
}

TEST_F(Track, TwoKartsWithOneCodeGiveEveryLapToTheLowerKart) {
    settings.firstCode[3] = settings.firstCode[5] = QStringLiteral("77");
    passAt(10'000, QStringLiteral("77"));
    passAt(30'000, QStringLiteral("77"));
    EXPECT_EQ(lapLines(4).size(), 2);
    EXPECT_TRUE(lapLines(6).isEmpty());
}

TEST_F(Track, NetworkSourceDecidesLapOrSplit) {
    settings.lapSensor = QStringLiteral("10.0.0.5");
    settings.secondCode[2] = QStringLiteral("K3");
    laps.MatchCode(QStringLiteral("K3"), QStringLiteral("10.0.0.5"));
    EXPECT_EQ(laps.pendingKart(), 3);
    laps.setPendingKart(0);

    clock.set(laps.raceStart() + 4'321);
    laps.MatchCode(QStringLiteral("K3"), QStringLiteral("10.0.0.9"));
    EXPECT_EQ(laps.pendingKart(), 0);
    EXPECT_EQ(trackLines(3), QStringList{QStringLiteral("03 00:04:321")});
}

TEST_F(Track, EmptyLapSensorAddressMakesEveryDatagramASplit) {
    settings.firstCode[0] = QStringLiteral("K1");
    clock.set(laps.raceStart() + 1'000);
    laps.MatchCode(QStringLiteral("K1"), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(laps.pendingKart(), 0);
    EXPECT_EQ(trackLines(1), QStringList{QStringLiteral("01 00:01:000")});
}

TEST_F(Track, TracksideIdentifierBecomesTheSplitLabel) {
    settings.firstCode[1] = QStringLiteral("ABC");
    clock.set(laps.raceStart() + 3'000);
    laps.MatchCode(QStringLiteral("05ABC"), {});
    clock.set(laps.raceStart() + 7'500);
    laps.MatchCode(QStringLiteral("1234ABC"), {});
    EXPECT_EQ(trackLines(2),
              (QStringList{QStringLiteral("05 00:03:000"), QStringLiteral("123 00:04:500")}));
    EXPECT_EQ(laps.pendingKart(), 0);
}

TEST_F(Track, SplitFoundByTheSecondCodeAloneHasAnEmptyLabel) {
    settings.firstCode[4] = QStringLiteral("F1");
    settings.secondCode[4] = QStringLiteral("S5");
    clock.set(laps.raceStart() + 2'000);
    laps.MatchCode(QStringLiteral("07S5"), {});
    EXPECT_EQ(trackLines(5), QStringList{QStringLiteral(" 00:02:000")});
}

TEST_F(Track, EmptyCodesAndEmptyFieldsNeverMatch) {
    laps.MatchCode(QString(), {});
    laps.MatchCode(QStringLiteral("xyz"), QStringLiteral("1.2.3.4"));
    laps.PollAll();
    EXPECT_EQ(laps.pendingKart(), 0);
    for (int k = 1; k <= kKartCount; ++k)
        EXPECT_EQ(board.lapCount(k) + trackLines(k).size(), 0);
}

TEST_F(Track, CorrectionIsSubtractedFromTheFirstLapAndSplits) {
    settings.firstCode[0] = QStringLiteral("A");
    settings.correction[0] = 200;
    passAt(10'000, QStringLiteral("A"));
    clock.set(laps.raceStart() + 12'000);
    laps.MatchCode(QStringLiteral("9A"), {});
    EXPECT_EQ(lapLines(1), QStringList{QStringLiteral("00:09:800")});
    EXPECT_EQ(trackLines(1),
              (QStringList{QStringLiteral("  L 00:09:800"), QStringLiteral("9 00:11:800")}));
}

TEST_F(Track, MinimumLapTimeDropsPassingsTooSoon) {
    settings.firstCode[0] = QStringLiteral("A");
    settings.minLapTime = 2000;
    passAt(10'000, QStringLiteral("A"));
    passAt(11'500, QStringLiteral("A"));
    passAt(12'100, QStringLiteral("A"));
    EXPECT_EQ(lapLines(1), (QStringList{QStringLiteral("00:10:000"), QStringLiteral("00:02:100")}));
}

// Karts crossing together: every code that arrived before the poll tick
// becomes its own lap, measured to the time its sensor stamped.
TEST_F(Track, CodesOfDifferentKartsInOnePollTickEachGiveTheirLap) {
    for (int karts : {2, 8}) {
        SCOPED_TRACE(karts);
        laps.resetMarks();
        board.ClearLists();
        laps.startRace();
        for (int k = 1; k <= kKartCount; ++k)
            settings.firstCode[size_t(k - 1)] = QStringLiteral("K%1").arg(k);
        // 0.3 ms apart, all before the tick at 12.004 s.
        for (int k = 1; k <= karts; ++k)
            codeStampedAt(12'000'000 + (k - 1) * 300, QStringLiteral("K%1").arg(k));
        tickAt(12'004);
        for (int k = 1; k <= kKartCount; ++k) {
            const TimeUs exact = 12'000'000 + (k - 1) * 300;
            EXPECT_EQ(lapLines(k), k <= karts ? QStringList{FormatTimeText(RoundToMs(exact))}
                                              : QStringList{})
                << "kart " << k;
        }
        EXPECT_EQ(laps.pendingKart(), 0);
    }
}

TEST_F(Track, LapIsMeasuredToTheStampNotToThePoll) {
    settings.firstCode[0] = QStringLiteral("A");
    settings.minLapTime = 500;
    codeStampedAt(1'000'300, QStringLiteral("A"));
    tickAt(1'002);
    // The mark keeps the fraction: 3500.6 - 1000.3 = 2500.3 ms.
    codeStampedAt(3'500'600, QStringLiteral("A"));
    tickAt(3'502);
    EXPECT_EQ(lapLines(1), (QStringList{QStringLiteral("00:01:000"), QStringLiteral("00:02:500")}));
}

TEST_F(Track, TwoCodesOfOneKartInOneTickRespectTheMinimumLapTime) {
    settings.firstCode[2] = QStringLiteral("C");
    settings.minLapTime = 2000;
    codeStampedAt(10'000'000, QStringLiteral("C"));
    codeStampedAt(10'300'000, QStringLiteral("C"));  // the same crossing seen twice
    tickAt(10'302);
    // A poll that came late (a busy machine) still gives both of two real laps.
    codeStampedAt(30'000'000, QStringLiteral("C"));
    codeStampedAt(32'500'000, QStringLiteral("C"));
    tickAt(32'501);
    EXPECT_EQ(lapLines(3), (QStringList{QStringLiteral("00:10:000"), QStringLiteral("00:20:000"),
                                        QStringLiteral("00:02:500")}));
}

TEST_F(Track, SplitAndLapOfOneKartInOneTick) {
    settings.firstCode[0] = QStringLiteral("K1");
    codeStampedAt(7'000'400, QStringLiteral("05K1"));
    codeStampedAt(7'000'900, QStringLiteral("K1"));
    EXPECT_EQ(trackLines(1), QStringList{QStringLiteral("05 00:07:000")}); // at once
    tickAt(7'002);
    EXPECT_EQ(lapLines(1), QStringList{QStringLiteral("00:07:001")});
    EXPECT_EQ(trackLines(1),
              (QStringList{QStringLiteral("05 00:07:000"), QStringLiteral("  L 00:07:001")}));
}

TEST_F(Track, AFullQueueDropsTheOldestAndCountsIt) {
    settings.firstCode[3] = QStringLiteral("D");
    settings.minLapTime = 500;
    const int extra = 3;
    const int sent = int(WaitingPassings::kCapacity) + extra;
    for (int i = 1; i <= sent; ++i)
        codeStampedAt(TimeUs(i) * 1'000'000, QStringLiteral("D"));
    EXPECT_EQ(laps.waitingPassings(4), WaitingPassings::kCapacity);
    EXPECT_EQ(laps.droppedPassings(), extra);
    tickAt(sent * 1000 + 1);
    // The newest passings are kept: the first lap runs from the start to the
    // first kept one, then one second each.
    QStringList expected{FormatTimeText((extra + 1) * 1000)};
    for (int i = 1; i < int(WaitingPassings::kCapacity); ++i)
        expected << QStringLiteral("00:01:000");
    EXPECT_EQ(lapLines(4), expected);

    // Before a ride nothing is lost that could have been a lap: not counted.
    laps.resetMarks();
    for (int i = 0; i < sent; ++i)
        laps.MatchCode(QStringLiteral("D"), {});
    EXPECT_EQ(laps.droppedPassings(), extra);
}

// PendingKart for the automatic start: some kart's code waits for its poll.
TEST_F(Track, PendingKartStaysSetUntilEveryKartsPassingIsTaken) {
    settings.firstCode[0] = QStringLiteral("A");
    settings.firstCode[6] = QStringLiteral("G");
    laps.MatchCode(QStringLiteral("G"), {});
    laps.MatchCode(QStringLiteral("A"), {});
    EXPECT_EQ(laps.pendingKart(), 1);       // the latest recognised
    laps.Poll(1);
    EXPECT_EQ(laps.pendingKart(), 7);       // kart 1's poll took only its own
    laps.MatchCode(QStringLiteral("A"), {});
    laps.forgetWaitingPassings();           // START
    EXPECT_EQ(laps.pendingKart(), 0);
    tickAt(60'000);
    EXPECT_EQ(lapLines(1).size(), 1);
    EXPECT_TRUE(lapLines(7).isEmpty());
}

TEST_F(Track, InputHeldForThreeSecondsGivesTwoLaps) {
    settings.parallelPort = true;
    settings.minLapTime = 2000;
    inputs[1] = true;                       // kart 2 sits in the sensor
    for (TimeMs t = 5'000; t <= 8'000; t += 2)
        tickAt(t);
    EXPECT_EQ(lapLines(2), (QStringList{QStringLiteral("00:05:000"), QStringLiteral("00:02:000")}));
}

TEST_F(Track, ParallelInputsCountOnlyWhenThePortIsInUse) {
    inputs = {true, true, true, true};
    tickAt(3'000);
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(board.lapCount(k), 0);
}

TEST_F(Track, ParallelInputDoesNotSwallowAnotherKartsPendingCode) {
    settings.parallelPort = true;
    settings.firstCode[4] = QStringLiteral("K5");
    inputs[0] = true;
    passAt(9'000, QStringLiteral("K5"));
    EXPECT_EQ(lapLines(1), QStringList{QStringLiteral("00:09:000")});
    EXPECT_EQ(lapLines(5), QStringList{QStringLiteral("00:09:000")});
}

TEST_F(Track, SplitsAreIgnoredWhileTheParallelPortIsUsed) {
    settings.parallelPort = true;
    settings.firstCode[0] = QStringLiteral("A");
    clock.set(laps.raceStart() + 1'000);
    laps.MatchCode(QStringLiteral("3A"), {});
    EXPECT_TRUE(trackLines(1).isEmpty());
}

TEST_F(Track, SplitsAreNotLimitedAndLapsDoNotResetThem) {
    settings.firstCode[0] = QStringLiteral("A");
    clock.set(laps.raceStart() + 1'000);
    laps.MatchCode(QStringLiteral("1A"), {});
    passAt(1'500, QStringLiteral("A"));
    clock.set(laps.raceStart() + 1'600);
    laps.MatchCode(QStringLiteral("2A"), {});
    EXPECT_EQ(trackLines(1), (QStringList{QStringLiteral("1 00:01:000"),
                                          QStringLiteral("  L 00:01:500"),
                                          QStringLiteral("2 00:00:600")}));
}

TEST_F(Track, SecondRaceMeasuresFromItsOwnStart) {
    settings.firstCode[0] = QStringLiteral("A");
    clock.set(laps.raceStart() + 50'000);
    laps.MatchCode(QStringLiteral("1A"), {});
    passAt(60'000, QStringLiteral("A"));
    laps.resetMarks();                      // STOP
    board.ClearLists();
    clock.advance(120'000);
    laps.startRace();                       // next START
    clock.set(laps.raceStart() + 7'000);
    laps.MatchCode(QStringLiteral("1A"), {});
    passAt(8'000, QStringLiteral("A"));
    EXPECT_EQ(trackLines(1),
              (QStringList{QStringLiteral("1 00:07:000"), QStringLiteral("  L 00:08:000")}));
}

TEST_F(Track, HeldPassingsAreMatchedInOrderFromTheNewStart) {
    settings.firstCode[0] = QStringLiteral("A");
    settings.firstCode[1] = QStringLiteral("B");
    clock.advance(600'000);
    laps.holdPassings();
    laps.MatchCode(QStringLiteral("1A"), {});
    laps.MatchCode(QStringLiteral("A"), {});
    laps.MatchCode(QStringLiteral("2A"), {});
    laps.MatchCode(QStringLiteral("B"), {});
    EXPECT_EQ(laps.pendingKart(), 0);
    EXPECT_TRUE(trackLines(1).isEmpty());

    laps.startRace();
    clock.advance(3);
    laps.releasePassings();
    // They happened before the start: they count at the start, never before it.
    EXPECT_EQ(trackLines(1),
              (QStringList{QStringLiteral("1 00:00:000"), QStringLiteral("2 00:00:000")}));
    EXPECT_EQ(laps.pendingKart(), 2);
    laps.PollAll();
    EXPECT_EQ(lapLines(1), QStringList{QStringLiteral("00:00:000")});
    EXPECT_EQ(lapLines(2), QStringList{QStringLiteral("00:00:000")});

    // A flood while held is bounded.
    laps.holdPassings();
    for (int i = 0; i < LapComputation::kMaxHeldPassings + 100; ++i)
        laps.MatchCode(QStringLiteral("9A"), {});
    laps.releasePassings();
    EXPECT_EQ(trackLines(1).size(), 3 + LapComputation::kMaxHeldPassings); // two splits, a lap

    // Bytes of no kart take no room: a kart's passing after a flood of them waits.
    laps.holdPassings();
    for (int i = 0; i < LapComputation::kMaxHeldPassings + 100; ++i)
        EXPECT_EQ(laps.MatchCode(QStringLiteral("xyz"), {}), CodeMatch::NoKart);
    EXPECT_EQ(laps.MatchCode(QStringLiteral("B"), {}), CodeMatch::Lap);
    laps.releasePassings();
    EXPECT_EQ(laps.pendingKart(), 2);
}

TEST_F(Track, SplitBetweenRacesDoesNotBendTheNextRacesFirstSplit) {
    settings.firstCode[0] = QStringLiteral("A");
    laps.resetMarks();                      // STOP
    clock.advance(3'600'000);
    laps.MatchCode(QStringLiteral("4A"), {}); // a trackside passing while idle
    clock.advance(60'000);
    laps.startRace();
    board.ClearLists();
    clock.set(laps.raceStart() + 5'500);
    laps.MatchCode(QStringLiteral("4A"), {});
    EXPECT_EQ(trackLines(1), QStringList{QStringLiteral("4 00:05:500")});
}

TEST_F(Track, CountedLapFeedsTvAndPulse) {
    settings.firstCode[6] = QStringLiteral("G");
    settings.tv = settings.hwControl = true;
    std::vector<std::tuple<int, QString, int, TimeMs>> rows;
    int pulses = 0;
    laps.setHooks({.kartInputActive = {},
                   .updateRaceRow = [&](int k, const QString& d, int n, TimeMs lap) { rows.emplace_back(k, d, n, lap); },
                   .startPulse = [&] { ++pulses; }});
    passAt(10'000, QStringLiteral("G"));
    passAt(10'100, QStringLiteral("G"));    // too soon: neither TV nor pulse
    passAt(40'000, QStringLiteral("G"));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1], std::make_tuple(7, QStringLiteral("kara7"), 1, TimeMs(30'000)));
    EXPECT_EQ(pulses, 2);
}

TEST_F(Track, LearningStoresTheCodeInsteadOfTiming) {
    RecordingLearner learner;
    laps.setLearner(&learner);
    laps.setLearnSlot(31);
    laps.OnIrCode(0x1A);
    EXPECT_EQ(learner.learnt.at(31), QStringLiteral("001A"));
    EXPECT_EQ(learner.shown, QStringList{QStringLiteral("001A")});
    EXPECT_EQ(laps.learnSlot(), kLearnNone);

    laps.setLearnSlot(kLearnMonitor);       // reading test: shown, neither learnt nor timed
    settings.firstCode[0] = QStringLiteral("ABCDE");
    laps.OnIrCode(0xABCDE);
    EXPECT_EQ(learner.shown.last(), QStringLiteral("ABCDE"));
    EXPECT_EQ(learner.learnt.size(), 1u);
    EXPECT_EQ(laps.pendingKart(), 0);

    laps.setLearnSlot(kLearnNone);
    laps.OnIrCode(0xABCDE);
    EXPECT_EQ(laps.pendingKart(), 1);
}

TEST(LearnSlots, OnlyFieldSlotsLearn) {
    for (int s : {1, 8, 11, 21, 81})
        EXPECT_TRUE(IsLearnCodeSlot(s)) << s;
    for (int s : {0, 9, 10, 12, 91, 128, -1})
        EXPECT_FALSE(IsLearnCodeSlot(s)) << s;
}

TEST(IrCodeText, UpperHexAtLeastFourDigits) {
    EXPECT_EQ(IrCodeText(0), QStringLiteral("0000"));
    EXPECT_EQ(IrCodeText(0xbeef1), QStringLiteral("BEEF1"));
    EXPECT_EQ(IrCodeText(0xFFFFFFFF), QStringLiteral("FFFFFFFF"));
}

TEST(PassingEvent, TextsAreCutTo255) {
    const PassingEvent e(QString(300, u'x'), QString(256, u'1'));
    EXPECT_EQ(e.code.size(), 255);
    EXPECT_EQ(e.source.size(), 255);
}
