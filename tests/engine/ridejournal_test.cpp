// The ride journal: its records survive a torn or damaged end, a ride taken
// down in the middle comes back from it exactly as the board showed it, and
// continuing or closing it gives what an uninterrupted ride would have.

#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/racecontrol.h"
#include "engine/racesettings.h"
#include "engine/ridejournal.h"
#include "fakeracehardware.h"
#include "qstringprinter.h"
#include "support/filebytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using namespace vartemo;
using namespace vartemo::testing;

namespace {

// ---------------------------------------------------------------------------
// The format

QByteArray ThreeRecords() {
    return journal::EncodeRecord(journal::HeaderRecord()) +
           journal::EncodeRecord(journal::Record("A").add("n", 1)) +
           journal::EncodeRecord(journal::Record("B").add("n", 2)) +
           journal::EncodeRecord(journal::Record("C").add("n", 3));
}

TEST(JournalFormat, ValuesOfAnyTextComeBackAsTheyWere) {
    const QString name = QStringLiteral("Jan Nový = 100 %\nřádek\t2 ");
    const QByteArray bytes = journal::EncodeRecord(journal::HeaderRecord()) +
                             journal::EncodeRecord(journal::Record("NAME").add("name", name).add("empty", QString()));
    EXPECT_EQ(bytes.count('\n'), 2); // one line per record
    const journal::ReadResult r = journal::ParseJournal(bytes);
    ASSERT_EQ(r.damage, journal::Damage::None);
    ASSERT_EQ(r.records.size(), 2);
    EXPECT_EQ(r.records[1].value("name"), name);
    EXPECT_TRUE(r.records[1].has("empty"));
    EXPECT_EQ(r.goodBytes, bytes);
}

TEST(JournalFormat, DamageKeepsEveryRecordBeforeIt) {
    const QByteArray good = ThreeRecords();
    const qsizetype lastLine = good.lastIndexOf('\n', good.size() - 2) + 1;
    const qsizetype secondLine = good.indexOf('\n') + 1;
    auto flipped = [&](qsizetype at) {
        QByteArray b = good;
        b[at] = char(b[at] ^ 0x01);
        return b;
    };
    struct Case {
        const char* what;
        QByteArray bytes;
        journal::Damage damage;
        int kept; // records read, the header included
        int badLine;
    } cases[] = {
        {"whole", good, journal::Damage::None, 4, 0},
        {"last line cut short", good.left(good.size() - 5), journal::Damage::TornTail, 3, 4},
        {"last line without its end", good.left(good.size() - 1), journal::Damage::TornTail, 3, 4},
        {"bit flipped in the last line", flipped(lastLine + 12), journal::Damage::TornTail, 3, 4},
        {"bit flipped in the middle", flipped(secondLine + 10), journal::Damage::Corrupted, 1, 2},
        {"line end lost in the middle", QByteArray(good).remove(good.indexOf('\n', secondLine), 1),
         journal::Damage::Corrupted, 1, 2},
        {"header cut short", good.left(12), journal::Damage::TornTail, 0, 1},
        {"nothing", QByteArray(), journal::Damage::Empty, 0, 0},
        {"another file", QByteArray("[Po spusteni]\r\nLPT=0\r\n"), journal::Damage::Foreign, 0, 1},
        {"binary", QByteArray("\x89PNG\r\n\x1a\n", 8), journal::Damage::Foreign, 0, 1},
        {"a newer format", journal::EncodeRecord(journal::Record(journal::kHeaderType).add("version", 2)),
         journal::Damage::Foreign, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const journal::ReadResult r = journal::ParseJournal(c.bytes);
        EXPECT_EQ(r.damage, c.damage);
        EXPECT_EQ(r.records.size(), c.kept);
        EXPECT_EQ(r.badLine, c.badLine);
        // The good bytes are exactly a journal of the good records.
        EXPECT_EQ(journal::ParseJournal(r.goodBytes).records.size(), r.records.size());
    }
}

TEST(JournalWriter, EverythingHandedOverIsInTheFileInOrder) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("j"));
    JournalWriter writer;
    QString error;
    ASSERT_TRUE(writer.open(path, true, &error)) << error.toStdString();
    QByteArray expected;
    for (int i = 0; i < 2000; ++i) {
        const QByteArray line = QByteArray::number(i) + '\n';
        expected += line;
        writer.append(line);
    }
    ASSERT_TRUE(writer.appendAndSync("end\n"));
    // Synced means written: no waiting for the thread.
    EXPECT_EQ(readBytes(path), expected + "end\n");
    writer.close();
    EXPECT_TRUE(writer.error().isEmpty());
    EXPECT_GE(writer.syncCount(), 1u);

    // Reopened without truncating, it appends.
    ASSERT_TRUE(writer.open(path, false, &error));
    writer.append("more\n");
    writer.close();
    EXPECT_TRUE(readBytes(path).endsWith("end\nmore\n"));
}

TEST(JournalWriter, AFolderThatCannotHoldTheFileIsReported) {
    JournalWriter writer;
    QString error;
    EXPECT_FALSE(writer.open(QStringLiteral("/proc/no/such/journal"), true, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(writer.isOpen());
}

// ---------------------------------------------------------------------------
// A ride, taken down and brought back

// A station's race engine without windows, on a shared hand-moved clock,
// journaling into a shared folder. A second one after the first stands for
// the program started again after a crash.
struct Engine {
    RaceBoard board;
    FixedLapSettings lapSettings;
    LapComputation laps;
    FixedRaceSettings settings;
    FakeLights lights;
    FakeInputs inputs;
    FakeReceivers receivers;
    RaceControl control;
    RideJournal journal;
    QStringList fed;
    QStringList logLines;

    Engine(const ManualClock& clock, const QString& home)
        : laps(board, clock, lapSettings),
          control(board, laps, clock, settings, {&lights, &inputs, &receivers}),
          journal(home + QStringLiteral("/jizdy")) {
        lapSettings.minLapTime = 2000;
        lapSettings.correction[1] = 200; // kart 2
        for (int k = 1; k <= kKartCount; ++k)
            lapSettings.firstCode[size_t(k - 1)] = QStringLiteral("K%1").arg(k);
        settings.autoSaveOn = true;
        settings.price = 10;
        control.setResultsFolder(home + QStringLiteral("/vysledky"));
        control.setWallClock([&clock] {
            return QDateTime(QDate(2026, 12, 11), QTime(14, 0)).addMSecs(clock.now() - 50'000'000);
        });
        RaceFeeds f;
        f.addOperatingMinutes = [this](const std::array<int, kKartCount>&) {
            fed << "operating";
            return QStringList();
        };
        f.insertBestTwenty = [this] { fed << "top20"; };
        f.addLogEntry = [this](const QString& line) {
            fed << "log";
            logLines << line;
        };
        f.showError = [this](const QString& e) { fed << "error:" + e; };
        control.setFeeds(f);
        control.setJournal(&journal);
    }
};

struct JournaledRide : ::testing::Test {
    QTemporaryDir home;
    ManualClock clock{50'000'000};
    std::unique_ptr<Engine> first = std::make_unique<Engine>(clock, home.path());
    TimeMs startAt = 0;

    void start(Engine& e) {
        e.control.StartButton1Click();
        ASSERT_EQ(e.control.phase(), RacePhase::Timing);
        startAt = clock.now();
    }
    // A lap code at race time t (ms, to the µs), taken by the next poll.
    void pass(Engine& e, int kart, double t) {
        clock.setUs(startAt * 1000 + TimeUs(t * 1000));
        e.laps.MatchCode(QStringLiteral("K%1").arg(kart), {});
        e.control.fire(RaceTimer::Poll);
    }
    void split(Engine& e, int kart, double t) {
        clock.setUs(startAt * 1000 + TimeUs(t * 1000));
        e.laps.MatchCode(QStringLiteral("05K%1").arg(kart), {});
    }
    QString openJournal() const { return home.filePath(QStringLiteral("jizdy/aktualni.vjz")); }
    // The first station's ride: names, flags, laps and splits, an edit.
    void rideUntilTheCrash() {
        first->board.setDriverName(1, QStringLiteral("Petr Malý"));
        first->board.setWoman(3, true);
        start(*first);
        pass(*first, 1, 30'000.4);
        pass(*first, 2, 31'000);
        split(*first, 1, 45'000);
        pass(*first, 1, 61'200.6);
        pass(*first, 3, 62'000);
        pass(*first, 1, 62'500); // inside the minimum lap time: no lap
        first->board.setExcluded(2, true);
        first->board.deleteLine(3, BoardList::Lap, 0); // the operator's edit
        // Everything handed over reaches the file within moments.
        first->journal.appendNow(journal::Record("MARK"));
    }
    std::optional<RebuiltRide> readBack(QByteArray* good = nullptr) const {
        const journal::ReadResult r = journal::ParseJournal(readBytes(openJournal()));
        EXPECT_EQ(r.damage, journal::Damage::None);
        if (good)
            *good = r.goodBytes;
        return RebuildRide(r.records);
    }
};

TEST_F(JournaledRide, TheJournalRebuildsTheBoardAsItWasShown) {
    rideUntilTheCrash();
    const auto ride = readBack();
    ASSERT_TRUE(ride);
    for (int k = 1; k <= kKartCount; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(ride->laps[size_t(k - 1)], first->board.lines(k, BoardList::Lap));
        EXPECT_EQ(ride->track[size_t(k - 1)], first->board.lines(k, BoardList::Track));
        EXPECT_EQ(ride->drivers.names[size_t(k - 1)], first->board.DriverName(k));
        EXPECT_EQ(ride->drivers.woman[size_t(k - 1)], first->board.isWoman(k));
        EXPECT_EQ(ride->drivers.excluded[size_t(k - 1)], first->board.isExcluded(k));
        EXPECT_EQ(ride->lapMark[size_t(k - 1)], first->laps.lastLapMarkUs(k));
        EXPECT_EQ(ride->splitMark[size_t(k - 1)], first->laps.lastSplitMarkUs(k));
    }
    EXPECT_EQ(ride->laps[0], QStringList({"00:30:000", "00:31:200"}));
    EXPECT_EQ(ride->laps[1], QStringList({"00:30:800"})); // kart 2's correction
    EXPECT_EQ(ride->track[0], QStringList({"  L 00:30:000", "05 00:45:000", "  L 00:31:200"}));
    EXPECT_EQ(ride->start.correctionMs[1], 200);
    EXPECT_EQ(ride->start.drivers.names[0], QStringLiteral("Petr Malý"));
    EXPECT_EQ(ride->start.originUs, startAt * 1000);
    EXPECT_EQ(ride->passings, 5);
    EXPECT_EQ(ride->lastPassingUs, 62'000'000);
    EXPECT_FALSE(ride->closed);
    EXPECT_FALSE(ride->stop);
}

TEST_F(JournaledRide, AContinuedRideGoesOnFromItsOwnStartAndEndsAsAnyRide) {
    rideUntilTheCrash();
    const QStringList before1 = first->board.lines(1, BoardList::Lap);
    first.reset(); // the station is gone; its journal stays open

    // Back 20 s later: the clock of the ride counts the time away too.
    clock.setUs((startAt + 82'000) * 1000);
    Engine second(clock, home.path());
    second.settings.network = true;
    QByteArray good;
    const auto ride = readBack(&good);
    ASSERT_TRUE(ride);
    const ResumePoint at = ResumeAfterOutage(*ride, clock.nowUs(), QDateTime(), ride->bootId);
    EXPECT_EQ(at.originUs, startAt * 1000);
    EXPECT_EQ(at.outageMs, 20'000);
    second.control.ResumeRide(*ride, good, at);
    ASSERT_EQ(second.control.phase(), RacePhase::Timing);
    EXPECT_EQ(second.board.lines(1, BoardList::Lap), before1);
    EXPECT_EQ(second.board.DriverName(1), QStringLiteral("Petr Malý"));
    EXPECT_TRUE(second.board.isWoman(3));
    EXPECT_EQ(second.receivers.calls, QStringList({"network+rebind"})); // sensors listen again

    // Kart 1's next lap runs from its last passing before the outage.
    pass(second, 1, 95'000.6);
    EXPECT_EQ(second.board.lines(1, BoardList::Lap).last(), QStringLiteral("00:33:800"));
    second.control.ZobrazTimerTimer();
    EXPECT_EQ(second.control.shownClock().minutes, 1);

    second.control.StartButton1Click(); // STOP
    EXPECT_EQ(second.control.phase(), RacePhase::Idle);
    EXPECT_EQ(second.fed.filter("operating").size(), 1);
    EXPECT_EQ(second.logLines.filter(QStringLiteral("Kč ")).size(), 1);
    EXPECT_FALSE(QFile::exists(openJournal()));
    ASSERT_EQ(second.journal.closedJournals().size(), 1);
    // The closed journal holds the whole ride: before and after the outage.
    const QString closed = home.filePath(QStringLiteral("jizdy/") + second.journal.closedJournals().first());
    const journal::ReadResult r = journal::ParseJournal(readBytes(closed));
    const auto whole = RebuildRide(r.records);
    ASSERT_TRUE(whole);
    EXPECT_TRUE(whole->closed);
    EXPECT_EQ(whole->outagesMs, QList<qint64>({20'000}));
    EXPECT_EQ(whole->laps[0], QStringList({"00:30:000", "00:31:200", "00:33:800"}));
    // The lap file has every lap once.
    const QStringList files = QDir(home.filePath(QStringLiteral("vysledky"))).entryList({"Petr*.caskola"});
    ASSERT_EQ(files.size(), 1);
}

TEST_F(JournaledRide, AClosedRideEndsAtItsLastPassing) {
    rideUntilTheCrash();
    first.reset();
    clock.setUs((startAt + 600'000) * 1000);
    Engine second(clock, home.path());
    QByteArray good;
    const auto ride = readBack(&good);
    ASSERT_TRUE(ride);
    second.control.CloseRecoveredRide(*ride, good, ResumeAfterOutage(*ride, clock.nowUs(), {}, ride->bootId));
    EXPECT_EQ(second.control.phase(), RacePhase::Idle);
    // Charged for 1:02 (the last passing at 62.0 s), not for the ten minutes since.
    EXPECT_EQ(second.control.shownClock().minutes, 1);
    EXPECT_EQ(second.control.shownClock().seconds, 2);
    ASSERT_EQ(second.logLines.size(), 1);
    EXPECT_TRUE(second.logLines[0].startsWith(QStringLiteral("Kč 10 ")));
    EXPECT_EQ(second.fed, QStringList({"operating", "top20", "log"}));
    // Named by the moment of that passing: 14:00:00 + 62 s.
    const QStringList files = QDir(home.filePath(QStringLiteral("vysledky"))).entryList(QDir::Files, QDir::Name);
    EXPECT_TRUE(files.contains(QStringLiteral("Petr Malý_11_12_2026_14_01_02.caskola"))) << files.join(' ').toStdString();
    EXPECT_EQ(second.journal.closedJournals().size(), 1);
    EXPECT_FALSE(QFile::exists(openJournal()));
}

TEST_F(JournaledRide, AStopCutShortIsFinishedWithoutRepeatingWhatItDid) {
    rideUntilTheCrash();
    // The STOP wrote the kart times and the best twenty, then the station went.
    first->journal.beginStop(riderecords::Stop(QDateTime(QDate(2026, 12, 11), QTime(14, 1, 5)), 1, 5));
    first->journal.appendNow(riderecords::Done(StopStep::OperatingTimes));
    first->journal.appendNow(riderecords::Done(StopStep::BestTwenty));
    first.reset();
    Engine second(clock, home.path());
    QByteArray good;
    const auto ride = readBack(&good);
    ASSERT_TRUE(ride && ride->stop);
    second.control.CloseRecoveredRide(*ride, good, ResumeAfterOutage(*ride, clock.nowUs(), {}, ride->bootId));
    EXPECT_EQ(second.fed, QStringList({"log"})); // only the takings were left
    EXPECT_TRUE(second.logLines[0].startsWith(QStringLiteral("Kč 10 ")));
    EXPECT_TRUE(QDir(home.filePath(QStringLiteral("vysledky")))
                    .exists(QStringLiteral("Petr Malý_11_12_2026_14_01_05.caskola")));
}

TEST_F(JournaledRide, AContinuedRideWhoseTimeRanOutMeanwhileIsOver) {
    first->settings.autoStopOn = true;
    rideUntilTheCrash();
    first.reset();
    clock.setUs((startAt + 11 * 60'000) * 1000); // a ten-minute ride
    Engine second(clock, home.path());
    second.settings.autoStopOn = true;
    QByteArray good;
    const auto ride = readBack(&good);
    ASSERT_TRUE(ride);
    second.control.ResumeRide(*ride, good, ResumeAfterOutage(*ride, clock.nowUs(), {}, ride->bootId));
    EXPECT_EQ(second.control.phase(), RacePhase::Idle); // stopped by itself
    EXPECT_EQ(second.logLines.filter(QStringLiteral("Kč 100 ")).size(), 1);
}

TEST_F(JournaledRide, OnlyTheLastTenClosedJournalsAreKept) {
    for (int i = 0; i < RideJournal::kKeptJournals + 2; ++i) {
        start(*first);
        pass(*first, 1, 30'000);
        first->control.StartButton1Click();
        clock.advance(1000); // each ride starts in its own second
    }
    const QStringList kept = first->journal.closedJournals();
    ASSERT_EQ(kept.size(), RideJournal::kKeptJournals);
    EXPECT_EQ(kept.first(), QStringLiteral("jizda_2026-12-11_14-01-02.vjz")); // the two oldest went
    EXPECT_FALSE(QFile::exists(openJournal()));
}

TEST_F(JournaledRide, AnAbandonedRideIsKeptClosedAndNotOfferedAgain) {
    start(*first);
    pass(*first, 1, 30'000);
    first->control.AbandonRide();
    EXPECT_FALSE(QFile::exists(openJournal()));
    ASSERT_EQ(first->journal.closedJournals().size(), 1);
    const auto ride = RebuildRide(journal::ParseJournal(readBytes(
        home.filePath(QStringLiteral("jizdy/") + first->journal.closedJournals().first()))).records);
    ASSERT_TRUE(ride);
    EXPECT_TRUE(ride->abandoned);
    EXPECT_FALSE(first->journal.findUnclosed());
}

TEST(ResumePoint, TheWallClockBridgesARestartOfTheComputer) {
    RebuiltRide ride;
    ride.start.startWall = QDateTime(QDate(2026, 12, 11), QTime(14, 0));
    ride.originUs = ride.start.originUs = 9'000'000'000;
    ride.bootId = QStringLiteral("boot-a");
    ride.lastAliveUs = 300'000'000; // 5 minutes into the ride
    const QDateTime now = ride.start.startWall.addSecs(7 * 60);
    // The same boot: the monotonic clock holds; another: it began anew.
    const ResumePoint same = ResumeAfterOutage(ride, 9'000'000'000 + 420'000'000, now, QStringLiteral("boot-a"));
    EXPECT_EQ(same.originUs, 9'000'000'000);
    EXPECT_EQ(same.outageMs, 120'000);
    const ResumePoint other = ResumeAfterOutage(ride, 50'000'000, now, QStringLiteral("boot-b"));
    EXPECT_EQ(other.originUs, 50'000'000 - 420'000'000);
    EXPECT_EQ(other.outageMs, 120'000);
    EXPECT_EQ(OutageText(120'000), QStringLiteral("2 min 00 s"));
    EXPECT_EQ(OutageText(3'725'000), QStringLiteral("1 h 2 min 05 s"));
}

} // namespace
