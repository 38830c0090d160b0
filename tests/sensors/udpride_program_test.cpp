// The station program timed by the track simulator over UDP on loopback:
// eight karts crossing the line in pairs 0.3 ms apart, the first passing
// starting the ride by itself, the ride stopping itself after its laps and
// saving the lap files. Every lap the karts drove is in the files, each
// within 1 ms of the simulator's truth.

#include "freeport.h"
#include "core/textfile.h"
#include "engine/lapfiles.h"
#include "engine/timetext.h"
#include "support/simpassings.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <map>

using namespace vartemo;

namespace {

constexpr int kDeadlineMs = 60000; // only a hang fails, never slowness
constexpr int kKarts = 8;
// The main window starts every run with a race length of 10: the ride is
// over when a kart has 11 lines (the first runs from the start signal).
constexpr int kLinesToEnd = 11;
// A display tick (259 ms) and some room: the stop comes within this after
// the passing that ended the ride.
constexpr double kStopWithinMs = 600;

// Network sensors only, codes K01..K08 from the lap sensor 127.0.0.1, the
// first passing starts the ride, laps mode, stop and save at the end.
QByteArray Settings(quint16 port) {
    QStringList lines = {
        "[Po spusteni]", "LPT=0", "COM=0", "TCP=1", "Minuty=0", "Mezicasy=0", "AutoStart=1",
        "AutoStartCas=600", "Autostop=1", "AutoUloz=1", "Hlaseni=0", "Sporic=0",
        "[Semafor]", "Pouzij=0",
        "[HW]", "Rizeni=0", "Prodleva=500",
        "[UDP]", "Polozek=1", QStringLiteral("Port1=%1").arg(port),
        "[Com]", "IP0=127.0.0.1"};
    for (int k = 1; k <= kKarts; ++k)
        lines << QStringLiteral("Sekvence%1=K%2").arg(k).arg(k, 2, 10, QLatin1Char('0'));
    return textfile::encode(textfile::joinLines(lines));
}

// Pairs 40 ms apart, the second kart of a pair 0.3 ms behind the first; a
// crossing at 1 s that starts the ride, then eleven laps of varying length.
QStringList LapsFile() {
    QStringList lines;
    for (int k = 1; k <= kKarts; ++k) {
        const int pair = (k - 1) / 2;
        QString line = QStringLiteral("%1 %2").arg(k).arg(1000.0 + 40 * pair + 0.3 * ((k - 1) % 2), 0, 'f', 1);
        for (int lap = 1; lap <= kLinesToEnd; ++lap)
            line += QStringLiteral(" %1").arg(700 + 13 * lap);
        lines << line;
    }
    return lines;
}

struct UdpRide : ::testing::Test {
    QTemporaryDir dir;
    QString home = dir.filePath(QStringLiteral("home"));
    QProcess station;

    void TearDown() override {
        if (station.state() != QProcess::NotRunning) {
            ::kill(pid_t(station.processId()), SIGTERM);
            if (!station.waitForFinished(10000)) {
                station.kill();
                station.waitForFinished();
            }
        }
    }
    QStringList read(const QString& path) const {
        return textfile::readLines(path).value_or(QStringList());
    }
    // The program log gets its block when the main window first shows; from
    // then on the automatic start waits for a passing.
    bool waitForShownWindow() const {
        QDeadlineTimer deadline(kDeadlineMs);
        while (!deadline.hasExpired()) {
            if (!read(home + QStringLiteral("/vartemo.log")).filter(QRegularExpression("^\\[ End ")).isEmpty())
                return true;
            QThread::msleep(20);
        }
        return false;
    }
    QStringList lapFiles() const {
        return QDir(home + QStringLiteral("/vysledky"))
            .entryList({QStringLiteral("*") + lapfiles::kLapExtension}, QDir::Files, QDir::Name);
    }
};

} // namespace

TEST_F(UdpRide, EightKartsInPairsGiveEveryLapWithinAMillisecond) {
    ASSERT_TRUE(QDir().mkpath(home));
    const quint16 port = FreeUdpPort();
    {
        QFile ini(home + QStringLiteral("/vartemo.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(Settings(port));
    }
    const QString lapsFile = dir.filePath(QStringLiteral("laps.txt"));
    ASSERT_TRUE(textfile::writeLines(lapsFile, LapsFile()));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    station.setProcessEnvironment(env);
    station.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    station.start(QStringLiteral(VARTEMO_PROGRAM), {QStringLiteral("--home"), home});
    ASSERT_TRUE(station.waitForStarted(kDeadlineMs));
    ASSERT_TRUE(waitForShownWindow());

    QProcess simulator;
    simulator.start(QStringLiteral(VARTEMO_SIM_PATH),
                    {QStringLiteral("--udp"), QStringLiteral("127.0.0.1:%1").arg(port),
                     QStringLiteral("--laps-file"), lapsFile, QStringLiteral("--min-gap-ms"),
                     QStringLiteral("0")});
    ASSERT_TRUE(simulator.waitForFinished(kDeadlineMs));
    ASSERT_EQ(simulator.exitCode(), 0) << simulator.readAllStandardError().toStdString();

    // The ride stops itself and saves a lap file per kart.
    QDeadlineTimer deadline(kDeadlineMs);
    while (lapFiles().size() < kKarts && !deadline.hasExpired())
        QThread::msleep(20);
    ASSERT_EQ(lapFiles().size(), kKarts) << lapFiles().join(u' ').toStdString();

    // ms since the simulator's start: when each passing was delivered, and
    // when its sending began (the datagram left in between).
    std::map<int, std::vector<SimPassing>> passings;
    std::map<int, std::vector<double>> truth;
    for (const SimPassing& p : ParseSimPassings(simulator.readAllStandardOutput())) {
        passings[p.kart].push_back(p);
        truth[p.kart].push_back(p.deliveredMs);
    }
    std::map<int, std::vector<TimeMs>> laps;
    for (const QString& name : lapFiles()) {
        const int kart = name.mid(4, 1).toInt(); // "kara3_..."
        for (const QString& line : read(home + QStringLiteral("/vysledky/") + name))
            laps[kart].push_back(ParseTimeText(line));
    }
    ASSERT_EQ(truth.size(), size_t(kKarts));
    ASSERT_EQ(laps.size(), size_t(kKarts));

    // Kart 1's first crossing started the ride and, being the start, is no
    // lap; its first line then runs from the start signal to its next one.
    ASSERT_GE(laps[1].size(), 2u);
    const double start = truth[1][1] - double(laps[1][0]);
    EXPECT_GT(start, truth[1][0]);
    // Where each kart's lines begin in its truth: its first passing after
    // the start (found by the first line, which the start signal measures).
    std::map<int, size_t> first;
    double end = 1e300; // the passing that gave a kart its last line
    for (int k = 1; k <= kKarts; ++k) {
        const auto& t = truth[k];
        size_t best = 0;
        for (size_t j = 0; j < t.size(); ++j)
            if (std::abs(t[j] - start - double(laps[k][0])) < std::abs(t[best] - start - double(laps[k][0])))
                best = j;
        first[k] = best;
        if (best + kLinesToEnd - 1 < t.size())
            end = std::min(end, t[best + kLinesToEnd - 1]);
    }
    for (int k = 1; k <= kKarts; ++k) {
        SCOPED_TRACE(k);
        const auto& t = truth[k];
        const auto& l = laps[k];
        const size_t j = first[k];
        // The start is known from kart 1's line, within its passing's sending
        // bracket and a millisecond: two roundings.
        const double earliestStart = passings[1][1].beganMs - double(laps[1][0]);
        EXPECT_GE(double(l[0]), passings[k][j].beganMs - start - 2.0);
        EXPECT_LE(double(l[0]), t[j] - earliestStart + 2.0);
        for (size_t i = 1; i < l.size(); ++i) {
            ASSERT_LT(j + i, t.size());
            // Within the sending brackets of its two passings, a millisecond
            // either way for the line's rounding.
            const SimPassing& from = passings[k][j + i - 1];
            const SimPassing& to = passings[k][j + i];
            EXPECT_GE(double(l[i]), ShortestBetween(from, to) - 1.0) << "line " << i;
            EXPECT_LE(double(l[i]), LongestBetween(from, to) + 1.0) << "line " << i;
        }
        // Every passing from the start to the end of the ride is a line; the
        // ones after the stop are not.
        size_t driven = 0;
        size_t beforeStop = 0;
        for (size_t x = j; x < t.size(); ++x) {
            driven += t[x] <= end;
            beforeStop += t[x] <= end + kStopWithinMs;
        }
        EXPECT_GE(l.size(), driven);
        EXPECT_LE(l.size(), beforeStop);
    }
}
