// The real program timing a UDP ride from the track simulator, killed with
// SIGKILL at moments of all kinds (as the ride starts, as a pair of karts
// crosses, between passings, while the ride stops) and started again: with
// "continue" the ride goes on and its lap files end up holding every lap
// whose passing was sent more than 100 ms before a kill, each within 1 ms of
// the simulator's truth and none twice; with "close" the ride ends at its
// last passing with the same guarantee. Damaged journals never stop a start.

#include "core/textfile.h"
#include "engine/lapfiles.h"
#include "engine/riderebuild.h"
#include "engine/timetext.h"
#include "sensors/freeport.h"
#include "support/filebytes.h"
#include "support/simpassings.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <map>
#include <memory>

using namespace vartemo;

namespace {

constexpr int kDeadlineMs = 60000; // only a hang fails, never slowness
constexpr int kKarts = 8;
constexpr double kSentBeforeKillMs = 100;

double NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

bool WaitFor(const std::function<bool()>& condition, int ms = kDeadlineMs, int pollUs = 2000) {
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::usleep(pollUs);
    }
    return true;
}

// Network sensors only, codes K01..K08 from the lap sensor 127.0.0.1, the
// first passing starts the ride, laps mode (10 laps), stop and save at the
// end; a print logo, so no start-up box outlives the main window.
QByteArray Settings(quint16 port, const QString& logo) {
    QStringList lines = {"[Po spusteni]", "LPT=0", "COM=0", "TCP=1", "Minuty=0", "Mezicasy=0", "AutoStart=1",
                         "AutoStartCas=600", "Autostop=1", "AutoUloz=1", "Hlaseni=0", "Sporic=0",
                         "[Semafor]", "Pouzij=0", "[HW]", "Rizeni=0", "Prodleva=500",
                         "[UDP]", "Polozek=1", QStringLiteral("Port1=%1").arg(port), "[Tisk]", "Logo=" + logo,
                         "[Com]", "IP0=127.0.0.1"};
    for (int k = 1; k <= kKarts; ++k)
        lines << QStringLiteral("Sekvence%1=K%2").arg(k).arg(k, 2, 10, QLatin1Char('0'));
    return textfile::encode(textfile::joinLines(lines));
}

// What a run of the simulator sent: its passings per kart and its start on
// the monotonic clock.
struct SimRun {
    std::map<int, std::vector<SimPassing>> passings;
    double originMs = 0;
};

struct RideJournalProgram : ::testing::Test {
    QTemporaryDir dir;
    QString home = dir.filePath(QStringLiteral("home"));
    quint16 port = FreeUdpPort();
    std::unique_ptr<QProcess> station;
    QProcess simulator;
    QByteArray simOutput;
    QByteArray stationErrors;
    std::vector<double> killsMs; // on the monotonic clock
    int shownWindows = 0;

    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(home));
        QFile ini(home + QStringLiteral("/vartemo.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(Settings(port, home + QStringLiteral("/logo.bmp")));
        writeBytes(home + QStringLiteral("/logo.bmp"), "BM");
    }
    void TearDown() override {
        if (simulator.state() != QProcess::NotRunning) {
            simulator.kill();
            simulator.waitForFinished();
        }
        endStation();
        // A failed ride is kept for a look: the home with its journals and
        // lap files, and what the simulator sent.
        if (HasFailure()) {
            simRun(); // the rest of its output
            writeBytes(dir.filePath(QStringLiteral("sim.txt")), simOutput);
            dir.setAutoRemove(false);
            std::printf("the ride is kept in %s\n", qPrintable(dir.path()));
        }
    }
    void endStation() {
        if (station && station->state() != QProcess::NotRunning) {
            ::kill(pid_t(station->processId()), SIGTERM);
            if (!station->waitForFinished(10000)) {
                station->kill();
                station->waitForFinished();
            }
        }
        if (station)
            stationErrors += station->readAllStandardError();
    }
    QString journalPath() const { return home + QStringLiteral("/jizdy/aktualni.vjz"); }
    QStringList closedJournals() const {
        return QDir(home + QStringLiteral("/jizdy")).entryList({QStringLiteral("jizda_*.vjz")}, QDir::Files, QDir::Name);
    }
    int windowBlocks() const {
        return int(textfile::readLines(home + QStringLiteral("/vartemo.log")).value_or(QStringList())
                       .filter(QRegularExpression(QStringLiteral("^\\[ End "))).size());
    }
    int journalCount(const char* type) const {
        return int(readBytes(journalPath()).count(QByteArray(" ") + type + ' '));
    }
    // Starts the station and waits for its main window (the program log's block).
    void startStation(const QString& answer) {
        station = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        station->setProcessEnvironment(env);
        QStringList args = {QStringLiteral("--home"), home};
        if (!answer.isEmpty())
            args << QStringLiteral("--ride-answer") << answer;
        station->start(QStringLiteral(VARTEMO_EXECUTABLE), args);
        ASSERT_TRUE(station->waitForStarted(kDeadlineMs));
        ++shownWindows;
        ASSERT_TRUE(WaitFor([&] { return windowBlocks() >= shownWindows; }, kDeadlineMs, 10000));
    }
    // Started again after a kill: up once a ride it found is settled.
    void restartStation(const QString& answer) {
        const int resumes = journalCount("RESUME");
        const bool hadRide = QFile::exists(journalPath());
        startStation(answer);
        if (hadRide)
            WaitFor([&] { return journalCount("RESUME") > resumes || !QFile::exists(journalPath()); }, 5000);
    }
    void killStation() {
        killsMs.push_back(NowMs());
        ::kill(pid_t(station->processId()), SIGKILL);
        station->waitForFinished();
        stationErrors += station->readAllStandardError();
    }
    void startSimulator(const QStringList& options) {
        simOutput.clear();
        simulator.start(QStringLiteral(VARTEMO_SIM_PATH),
                        QStringList{QStringLiteral("--udp"), QStringLiteral("127.0.0.1:%1").arg(port)} + options);
        ASSERT_TRUE(simulator.waitForStarted(kDeadlineMs));
        ASSERT_TRUE(WaitFor([&] { return simRun().originMs > 0; }));
    }
    void endSimulator() {
        simulator.kill();
        simulator.waitForFinished();
    }
    SimRun simRun() {
        // Without an event loop the pipe is read only inside the waits.
        if (simulator.state() != QProcess::NotRunning)
            simulator.waitForReadyRead(0);
        simOutput += simulator.readAllStandardOutput();
        SimRun run;
        for (const SimPassing& p : ParseSimPassings(simOutput))
            run.passings[p.kart].push_back(p);
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("ORIGIN (\\d+)")).match(QString::fromLatin1(simOutput));
        run.originMs = m.hasMatch() ? m.captured(1).toDouble() / 1e6 : 0;
        return run;
    }
    // The simulator's planned passings (its dry run), ms after its start.
    static std::vector<double> plannedPairs(const QStringList& options) {
        QProcess dry;
        dry.start(QStringLiteral(VARTEMO_SIM_PATH), options + QStringList{QStringLiteral("--dry-run")});
        dry.waitForFinished(kDeadlineMs);
        std::vector<double> at;
        for (const SimPassing& p : ParseSimPassings(dry.readAllStandardOutput()))
            if (p.kart % 2 == 0) // the second kart of a pair: the pair crosses now
                at.push_back(p.deliveredMs);
        return at;
    }
    std::map<int, QStringList> lapFiles() const {
        std::map<int, QStringList> laps;
        const QDir results(home + QStringLiteral("/vysledky"));
        for (const QString& name : results.entryList({QStringLiteral("*") + lapfiles::kLapExtension}, QDir::Files)) {
            const int kart = name.mid(4, 1).toInt(); // "kara3_..."
            EXPECT_FALSE(laps.count(kart)) << "a second lap file of kart " << kart << ": " << name.toStdString();
            laps[kart] = textfile::readLines(results.filePath(name)).value_or(QStringList());
        }
        return laps;
    }

    // Checks the finished ride's lap files against the simulator's truth:
    // each line lies within the sending brackets of two passings of its kart
    // (the first from the ride's start) and a millisecond; every passing the
    // station was up for, sent more than 100 ms before a kill, is a line;
    // no passing is a line twice. lastKill: the ride ended by "close" there.
    void checkRide(SimRun run, std::optional<double> closedAtKill) {
        const QStringList closed = closedJournals();
        ASSERT_FALSE(closed.isEmpty());
        const journal::ReadResult read =
            journal::ParseJournal(readBytes(home + QStringLiteral("/jizdy/") + closed.last()));
        ASSERT_EQ(read.damage, journal::Damage::None);
        const auto ride = RebuildRide(read.records);
        ASSERT_TRUE(ride && ride->closed);
        // The ride's start and every resume, in the simulator's ms.
        const double start = double(ride->start.originUs) / 1e3 - run.originMs;
        std::vector<double> resumes;
        for (const journal::Record& r : read.records)
            if (r.type == "RESUME")
                resumes.push_back(start + double(r.number("t")) / 1e3);
        // Up from the start to each kill after it, then from each resume.
        std::vector<std::pair<double, double>> up;
        double from = start;
        size_t nextResume = 0;
        for (double killAt : killsMs) {
            const double k = killAt - run.originMs;
            if (k <= start)
                continue;
            up.push_back({from, k - kSentBeforeKillMs});
            while (nextResume < resumes.size() && resumes[nextResume] <= k)
                ++nextResume;
            if (nextResume == resumes.size()) {
                from = -1;
                break;
            }
            from = resumes[nextResume++];
        }
        if (from >= 0 && !closedAtKill)
            up.push_back({from, 1e300});

        const std::map<int, QStringList> files = lapFiles();
        // Where the ride ended: the first kart's eleventh line (laps mode, 10).
        std::map<int, std::vector<size_t>> counted;
        double end = 1e300;
        for (int k = 1; k <= kKarts; ++k) {
            SCOPED_TRACE(k);
            const std::vector<SimPassing>& truth = run.passings[k];
            const QStringList lines = files.count(k) ? files.at(k) : QStringList();
            SimPassing previous{k, 0, start, start};
            size_t next = 0;
            for (int i = 0; i < lines.size(); ++i) {
                const double line = double(ParseTimeText(lines[i]));
                bool found = false;
                for (; next < truth.size() && !found; ++next) {
                    found = line >= ShortestBetween(previous, truth[next]) - 1.0 &&
                            line <= LongestBetween(previous, truth[next]) + 1.0;
                    if (found) {
                        counted[k].push_back(next);
                        previous = truth[next];
                    }
                }
                ASSERT_TRUE(found) << "line " << i << " " << lines[i].toStdString()
                                   << " is no time between passings of the kart";
            }
            if (!closedAtKill && counted[k].size() >= 11)
                end = std::min(end, truth[counted[k][10]].deliveredMs);
        }
        int required = 0;
        for (int k = 1; k <= kKarts; ++k) {
            SCOPED_TRACE(k);
            const std::vector<SimPassing>& truth = run.passings[k];
            for (size_t j = 0; j < truth.size(); ++j) {
                const double t = truth[j].beganMs;
                bool needed = t <= end;
                bool inUp = false;
                for (const auto& [a, b] : up)
                    inUp = inUp || (truth[j].beganMs > a + 1.0 && truth[j].deliveredMs < b);
                needed = needed && inUp;
                required += needed;
                if (needed) {
                    EXPECT_NE(std::find(counted[k].begin(), counted[k].end(), j), counted[k].end())
                        << "passing " << j << " at " << t << " ms is missing";
                }
            }
        }
        EXPECT_GT(required, 0);
        std::printf("ride with %d interruptions, %zu resumes: %d passings sent while the station was up, all there\n",
                    int(killsMs.size()), resumes.size(), required);
    }
};

// A ride of eight karts in pairs crossing 0.3 ms apart, long enough for the
// kills and for ten laps of kart 1 between them.
const QStringList kRideOptions = {QStringLiteral("--laps"), QStringLiteral("60"), QStringLiteral("--lap-ms"),
                                  QStringLiteral("1100"), QStringLiteral("--pace-step-ms"), QStringLiteral("30"),
                                  QStringLiteral("--spread-ms"), QStringLiteral("150"), QStringLiteral("--bunch"),
                                  QStringLiteral("2"), QStringLiteral("--min-gap-ms"), QStringLiteral("0")};

} // namespace

TEST_F(RideJournalProgram, KilledAgainAndAgainAndContinuedEveryLapIsThere) {
    QRandomGenerator random(20261211);
    for (int round = 0; round < 1; ++round) {
        SCOPED_TRACE(round);
        killsMs.clear();
        // Each ride starts from an empty results folder.
        QDir(home + QStringLiteral("/vysledky")).removeRecursively();
        QDir().mkpath(home + QStringLiteral("/vysledky"));
        const int closedBefore = int(closedJournals().size());
        startStation(QStringLiteral("continue"));
        const std::vector<double> pairs = plannedPairs(kRideOptions);
        startSimulator(kRideOptions);
        // 1. As the ride starts: the moment its journal appears.
        ASSERT_TRUE(WaitFor([&] { return QFile::exists(journalPath()); }, kDeadlineMs, 200));
        killStation();
        const bool startOnDisk = journalCount("START") > 0;
        restartStation(QStringLiteral("continue"));
        // 2. Between passings and as pairs cross, until the ride stops
        //    itself: killed as its STOP is being written.
        auto closedNow = [&] { return int(closedJournals().size()) > closedBefore; };
        auto kartOneLaps = [&] { return int(readBytes(journalPath()).count(" LAP kart=1 ")); };
        int kartOneLapsAtKill = 0;
        for (int kill = 0; !closedNow(); ++kill) {
            // A kill as the ride started may have come before its journal
            // held anything: the next passing then starts the ride afresh.
            ASSERT_TRUE(WaitFor([&] { return QFile::exists(journalPath()) || closedNow(); }, kDeadlineMs, 200));
            // Not again before kart 1 has one more lap: on a busy machine a
            // restart can take longer than the gap between kills, and the
            // ride would never reach its end.
            ASSERT_TRUE(WaitFor([&] { return kartOneLaps() > kartOneLapsAtKill || closedNow(); }, kDeadlineMs, 200));
            if (closedNow())
                break;
            if (!WaitFor([&] { return journalCount("STOP") > 0; }, 100 + int(random.bounded(350)), 200) &&
                kill % 3 == 1) {
                // Onto a pair's crossing, within its first 2 ms.
                const double simStart = simRun().originMs;
                const auto pair = std::upper_bound(pairs.begin(), pairs.end(), NowMs() - simStart + 20);
                if (pair != pairs.end())
                    WaitFor([&] { return NowMs() - simStart >= *pair + random.bounded(2.0); }, 5000, 100);
            }
            if (!QFile::exists(journalPath()))
                continue;
            const bool stopping = journalCount("STOP") > 0;
            kartOneLapsAtKill = kartOneLaps();
            killStation();
            if (stopping)
                endSimulator(); // nothing may start a next ride
            restartStation(QStringLiteral("continue"));
            if (stopping)
                break;
        }
        ASSERT_TRUE(WaitFor([&] { return int(closedJournals().size()) > closedBefore; }));
        endSimulator();
        endStation();
        const SimRun run = simRun();
        checkRide(run, std::nullopt);
        const QStringList book = textfile::readLines(home + QStringLiteral("/vartemo.den")).value_or(QStringList());
        std::printf("%d kills: the first as the ride started (its start %s on the disk), the last %s\n",
                    int(killsMs.size()), startOnDisk ? "already" : "not yet",
                    book.filter(QStringLiteral("dokončeno ukončení jízdy")).isEmpty()
                        ? "after the STOP was done"
                        : "in the middle of the STOP, which the next start finished");
    }
}

TEST_F(RideJournalProgram, KilledAndClosedTheRideEndsAtItsLastPassing) {
    QRandomGenerator random(11122026);
    int closedRides = 0;
    // As the ride starts, as a pair crosses, between passings.
    for (int moment = 0; moment < 3; ++moment) {
        SCOPED_TRACE(moment);
        killsMs.clear();
        QDir(home + QStringLiteral("/vysledky")).removeRecursively();
        QDir().mkpath(home + QStringLiteral("/vysledky"));
        const int closedBefore = int(closedJournals().size());
        startStation({});
        const std::vector<double> pairs = plannedPairs(kRideOptions);
        startSimulator(kRideOptions);
        ASSERT_TRUE(WaitFor([&] { return QFile::exists(journalPath()); }, kDeadlineMs, 200));
        if (moment > 0) {
            QThread::msleep(1500 + random.bounded(1500));
            if (moment == 1) {
                const double simStart = simRun().originMs;
                const auto pair = std::upper_bound(pairs.begin(), pairs.end(), NowMs() - simStart + 20);
                ASSERT_NE(pair, pairs.end());
                WaitFor([&] { return NowMs() - simStart >= *pair + random.bounded(2.0); }, 5000, 100);
            }
        }
        killStation();
        endSimulator();
        const bool rideOnDisk = journalCount("START") > 0;
        startStation(QStringLiteral("close"));
        if (!rideOnDisk) {
            // Killed before the ride's start reached its journal: no lap yet.
            EXPECT_TRUE(WaitFor([&] { return !QFile::exists(journalPath()); }, 5000));
            EXPECT_TRUE(lapFiles().empty());
            endStation();
            continue;
        }
        ASSERT_TRUE(WaitFor([&] { return int(closedJournals().size()) > closedBefore; }));
        ++closedRides;
        endStation();
        checkRide(simRun(), killsMs.back());
        // The takings of the closed ride, once.
        const QStringList book = textfile::readLines(home + QStringLiteral("/vartemo.den")).value_or(QStringList());
        EXPECT_EQ(book.filter(QStringLiteral("nedokončená jízda ukončena po výpadku stanice")).size(), closedRides);
        EXPECT_EQ(book.filter(QRegularExpression(QStringLiteral("^\\tKč "))).size(), closedRides);
    }
}

// Journals that cannot be read whole: the station starts, says so once,
// keeps the file aside, and loses nothing before the damage.
TEST_F(RideJournalProgram, DamagedJournalsAreSetAsideAndTheRestIsKept) {
    RideSettings s;
    s.startWall = QDateTime::currentDateTime().addSecs(-60);
    s.originUs = 1'000'000;
    s.bootId = QStringLiteral("another boot");
    s.countsMinutes = false;
    for (int k = 1; k <= kKarts; ++k)
        s.drivers.names[size_t(k - 1)] = RaceBoard::DefaultDriverName(k);
    QByteArray good = journal::EncodeRecord(journal::HeaderRecord()) + journal::EncodeRecord(riderecords::Start(s));
    TimeUs t = 0;
    for (TimeMs lap : {31'000, 30'500, 30'250}) {
        t += lap * 1000;
        good += journal::EncodeRecord(riderecords::Lap(1, s.originUs + t, t, lap, FormatTimeText(lap)));
    }
    const QByteArray last = journal::EncodeRecord(riderecords::Lap(1, s.originUs + t + 29'000'000, t + 29'000'000, 29'000, "00:29:000"));
    QByteArray middleFlipped = good + last;
    middleFlipped[good.lastIndexOf('\n', good.size() - 2) + 20] ^= 0x04; // in the third lap
    struct Case {
        const char* what;
        QByteArray bytes;
        QStringList laps; // kart 1's lap file after "close"
    } cases[] = {
        {"torn last record", good + last.left(last.size() / 2), {"00:31:000", "00:30:500", "00:30:250"}},
        {"corrupted in the middle", middleFlipped, {"00:31:000", "00:30:500"}},
        {"another program's file", QByteArray("\x7f" "ELF\x02\x01\x01\0garbage\n", 17), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(home + QStringLiteral("/vysledky")).removeRecursively();
        QDir().mkpath(home + QStringLiteral("/vysledky"));
        QDir(home + QStringLiteral("/jizdy")).removeRecursively();
        QDir().mkpath(home + QStringLiteral("/jizdy"));
        writeBytes(journalPath(), c.bytes);
        stationErrors.clear();
        startStation(QStringLiteral("close"));
        ASSERT_TRUE(WaitFor([&] { return !QFile::exists(journalPath()); }, 10000));
        if (!c.laps.isEmpty()) {
            ASSERT_TRUE(WaitFor([&] { return !closedJournals().isEmpty(); }, 10000));
        }
        EXPECT_EQ(station->state(), QProcess::Running);
        endStation();
        // Told once; the file kept aside as it was.
        EXPECT_EQ(stationErrors.count("vartemo: ride journal"), 1) << stationErrors.toStdString();
        const QStringList aside = QDir(home + QStringLiteral("/jizdy")).entryList({QStringLiteral("vadna_*.vjz")});
        ASSERT_EQ(aside.size(), 1);
        EXPECT_EQ(readBytes(home + QStringLiteral("/jizdy/") + aside.first()), c.bytes);
        const std::map<int, QStringList> files = lapFiles();
        if (c.laps.isEmpty()) {
            EXPECT_TRUE(files.empty());
        } else {
            ASSERT_EQ(files.size(), 1u);
            EXPECT_EQ(files.begin()->second, c.laps);
        }
    }
}

// "Konec" pressed in the middle of a ride, on a real X display: the
// question comes; "continue" keeps the ride going, then "stop and save" ends
// the program after a STOP, with every lap up to that moment in the files.
TEST_F(RideJournalProgram, KonecDuringARideAsksAndStopsAndSaves) {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        GTEST_SKIP() << "Xvfb and xdotool are needed";
    // A display of its own.
    int display = 90 + int(QRandomGenerator::global()->bounded(100));
    while (QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(display)))
        ++display;
    const QString name = QStringLiteral(":%1").arg(display);
    QProcess xvfb;
    xvfb.start(QStringLiteral("Xvfb"), {name, QStringLiteral("-screen"), QStringLiteral("0"),
                                        QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    ASSERT_TRUE(xvfb.waitForStarted());
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(display)); }, 10000));
    auto xdotool = [&](const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), name);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("xdotool"), args);
        p.waitForFinished(10000);
        return QString::fromLatin1(p.readAllStandardOutput()).trimmed();
    };
    // Presses keys in the shown window whose title is exactly this; false
    // when none shows within the time.
    auto keysIn = [&](const QString& title, const QString& keys, int ms = 20000) {
        QString window;
        if (!WaitFor([&] {
                window = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                                  QStringLiteral("^%1$").arg(title)})
                             .section(u'\n', 0, 0);
                return !window.isEmpty();
            }, ms, 50000))
            return false;
        xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
        xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
        return true;
    };

    station = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), name);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    station->setProcessEnvironment(env);
    station->start(QStringLiteral(VARTEMO_EXECUTABLE), {QStringLiteral("--home"), home});
    ASSERT_TRUE(station->waitForStarted(kDeadlineMs));
    ASSERT_TRUE(WaitFor([&] { return windowBlocks() >= 1; }, kDeadlineMs, 10000));
    startSimulator(kRideOptions);
    ASSERT_TRUE(WaitFor([&] { return QFile::exists(journalPath()); }, kDeadlineMs, 1000));
    QThread::msleep(2000);

    // "Konec", then "Pokračovat v jízdě": the ride goes on.
    ASSERT_TRUE(keysIn(QStringLiteral("Vartemo Kestral verze 2.3"), QStringLiteral("alt+k")));
    ASSERT_TRUE(keysIn(QStringLiteral("Jízda probíhá"), QStringLiteral("alt+p")));
    QThread::msleep(1500);
    EXPECT_TRUE(xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), QStringLiteral("^Jízda probíhá$")}).isEmpty());
    EXPECT_EQ(station->state(), QProcess::Running);
    EXPECT_TRUE(QFile::exists(journalPath()));
    EXPECT_TRUE(closedJournals().isEmpty());

    // "Konec", then "Zastavit a uložit": STOP, then the program ends.
    ASSERT_TRUE(keysIn(QStringLiteral("Vartemo Kestral verze 2.3"), QStringLiteral("alt+k")));
    ASSERT_TRUE(keysIn(QStringLiteral("Jízda probíhá"), QStringLiteral("alt+z")));
    killsMs.push_back(NowMs()); // the ride ends here
    // Its laps entered the empty best-twenty tables: their window, when it
    // shows, is closed ("&Zavřít").
    for (QDeadlineTimer until(20000); station->state() != QProcess::NotRunning && !until.hasExpired();) {
        keysIn(QStringLiteral("Nejlepších dvacet časů"), QStringLiteral("alt+z"), 500);
        station->waitForFinished(200);
    }
    station->waitForFinished(20000);
    ASSERT_EQ(station->state(), QProcess::NotRunning);
    EXPECT_EQ(station->exitCode(), 0);
    endSimulator();
    EXPECT_FALSE(QFile::exists(journalPath()));
    ASSERT_EQ(closedJournals().size(), 1);
    checkRide(simRun(), killsMs.back());
    const QStringList book = textfile::readLines(home + QStringLiteral("/vartemo.den")).value_or(QStringList());
    EXPECT_EQ(book.filter(QRegularExpression(QStringLiteral("^\\tKč "))).size(), 1);
    EXPECT_EQ(book.filter(QRegularExpression(QStringLiteral("^\\tUkončení programu "))).size(), 1);
    xvfb.terminate();
    xvfb.waitForFinished();
}
