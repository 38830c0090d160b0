// The station program timed by the track simulator over UDP on loopback:
// eight karts crossing the line in pairs 0.3 ms apart, the first passing
// starting the ride by itself, the ride stopping itself after its laps and
// saving the lap files. Every lap the karts drove is in the files, each
// within 1 ms of the simulator's truth.

#include "freeport.h"
#include "hostilenetwork.h"
#include "core/textfile.h"
#include "engine/lapfiles.h"
#include "engine/timetext.h"
#include "support/simpassings.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
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
// first passing starts the ride, laps mode, stop and save at the end; the
// live results page on webPort, when one is given.
QByteArray Settings(quint16 port, quint16 webPort = 0) {
    QStringList lines = {
        "[Po spusteni]", "LPT=0", "COM=0", "TCP=1", "Minuty=0", "Mezicasy=0", "AutoStart=1",
        "AutoStartCas=600", "Autostop=1", "AutoUloz=1", "Hlaseni=0", "Sporic=0",
        "[Semafor]", "Pouzij=0",
        "[HW]", "Rizeni=0", "Prodleva=500",
        "[UDP]", "Polozek=1", QStringLiteral("Port1=%1").arg(port),
        "[Com]", "IP0=127.0.0.1"};
    for (int k = 1; k <= kKarts; ++k)
        lines << QStringLiteral("Sekvence%1=K%2").arg(k).arg(k, 2, 10, QLatin1Char('0'));
    if (webPort)
        lines << "[WebVysledky]" << "Pouzit=1" << QStringLiteral("Port=%1").arg(webPort) << "Adresa=127.0.0.1";
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
    // Starts the station on settings and waits for its main window.
    void startStation(const QByteArray& settings) {
        ASSERT_TRUE(QDir().mkpath(home));
        {
            QFile ini(home + QStringLiteral("/vartemo.ini"));
            ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
            ini.write(settings);
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        // In the sanitized build freed memory waits in a quarantine (256 MB by
        // default), which the memory bound below would count as held.
        env.insert(QStringLiteral("ASAN_OPTIONS"),
                   env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":quarantine_size_mb=8"));
        station.setProcessEnvironment(env);
        station.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        station.start(QStringLiteral(VARTEMO_PROGRAM), {QStringLiteral("--home"), home});
        ASSERT_TRUE(station.waitForStarted(kDeadlineMs));
        ASSERT_TRUE(waitForShownWindow());
    }
    // Drives the ride of LapsFile() into the port; the simulator's output.
    QByteArray drive(quint16 port) {
        const QString lapsFile = dir.filePath(QStringLiteral("laps.txt"));
        EXPECT_TRUE(textfile::writeLines(lapsFile, LapsFile()));
        QProcess simulator;
        simulator.start(QStringLiteral(VARTEMO_SIM_PATH),
                        {QStringLiteral("--udp"), QStringLiteral("127.0.0.1:%1").arg(port),
                         QStringLiteral("--laps-file"), lapsFile, QStringLiteral("--min-gap-ms"),
                         QStringLiteral("0")});
        EXPECT_TRUE(simulator.waitForFinished(kDeadlineMs));
        EXPECT_EQ(simulator.exitCode(), 0) << simulator.readAllStandardError().toStdString();
        return simulator.readAllStandardOutput();
    }
    // The ride stops itself and saves a lap file per kart: every lap the
    // karts drove up to the stop is a line, each within the sending
    // brackets of its passings and a millisecond. The largest distance of a
    // line from the delivery times of its passings, in ms.
    double checkLaps(const QByteArray& simOutput) {
        double worstMs = 0;
        [&] {
            QDeadlineTimer deadline(kDeadlineMs);
            while (lapFiles().size() < kKarts && !deadline.hasExpired())
                QThread::msleep(20);
            ASSERT_EQ(lapFiles().size(), kKarts) << lapFiles().join(u' ').toStdString();

            // ms since the simulator's start: when each passing was delivered, and
            // when its sending began (the datagram left in between).
            std::map<int, std::vector<SimPassing>> passings;
            std::map<int, std::vector<double>> truth;
            for (const SimPassing& p : ParseSimPassings(simOutput)) {
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
                    worstMs = std::max(worstMs, std::abs(double(l[i]) - (to.deliveredMs - from.deliveredMs)));
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
        }();
        return worstMs;
    }
    QStringList lapFiles() const {
        return QDir(home + QStringLiteral("/vysledky"))
            .entryList({QStringLiteral("*") + lapfiles::kLapExtension}, QDir::Files, QDir::Name);
    }
};

} // namespace

TEST_F(UdpRide, EightKartsInPairsGiveEveryLapWithinAMillisecond) {
    const quint16 port = FreeUdpPort();
    startStation(Settings(port));
    if (HasFatalFailure())
        return;
    checkLaps(drive(port));
}

namespace {

// A figure of /proc/PID/status in kB ("VmRSS", "VmHWM").
long StatusKb(qint64 pid, const char* field) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(QByteArray(field) + ':'))
            return line.mid(qsizetype(std::strlen(field)) + 1).trimmed().split(' ').value(0).toLong();
    return -1;
}

quint16 FreeTcpPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

// The same ride while the track's network is hostile: 10 000 datagrams a
// second of random bytes and wrong lengths to the sensor port, from the lap
// sensor's own address and from others; 500 idle connections, slow-header
// clients, a 1 MB header and 10 MB bodies against the live results page.
// The laps stay lossless and within 1 ms, a phone's every question to the
// page is answered within 100 ms, the station's memory grows by little, and
// every kind of abuse is written to vartemo.log once.
TEST_F(UdpRide, HostileNetworkNeitherBendsALapNorStopsThePage) {
    const quint16 port = FreeUdpPort();
    const quint16 webPort = FreeTcpPort();
    startStation(Settings(port, webPort));
    if (HasFatalFailure())
        return;
    const qint64 pid = station.processId();
    const long rssBeforeKb = StatusKb(pid, "VmRSS");

    hostile::PageWatch phone(webPort);
    hostile::UdpFlood flood(port, {"127.0.0.1", "127.0.0.50", "127.0.0.51", "127.0.0.52"}, 10'000);
    hostile::HttpAbuse clients(webPort);
    const QByteArray simOutput = drive(port);
    QThread::msleep(kStopWithinMs);
    flood.stop();
    clients.stop();
    phone.stop();
    const long peakKb = StatusKb(pid, "VmHWM");
    const double lapErrorMs = checkLaps(simOutput);

    std::printf("hostile network: %ld datagrams (%ld of wrong length), %d of 500 idle connections opened, "
                "%lld oversized requests; page asked %d times, answered %d, worst %.1f ms; "
                "station RSS %ld kB before, peak %ld kB; largest lap error %.3f ms\n",
                flood.sent(), flood.wrongLength(), clients.idleOpened(), qlonglong(clients.statuses().size()),
                phone.asked(), phone.answered(), phone.worstMs(), rssBeforeKb, peakKb, lapErrorMs);
    EXPECT_GT(flood.sent(), 50'000);
    EXPECT_GT(phone.asked(), 50);
    EXPECT_EQ(phone.answered(), phone.asked());
    EXPECT_LE(phone.worstMs(), 100.0);
    // Nothing oversized is served: refused, or cut off before its answer.
    for (int status : clients.statuses())
        EXPECT_TRUE(status == 0 || status == 405 || status == 413 || status == 431) << status;
    // The 10 MB bodies and the 1 MB headers are never held in memory.
    EXPECT_LT(peakKb - rssBeforeKb, 64 * 1024);

    // Each kind once, however many came.
    const QStringList log = read(home + QStringLiteral("/vartemo.log"));
    for (const char* kind : {"Senzory UDP, port", "datagram o ", "nenese kód žádné káry", "Webové výsledky: adresa 127.0.0.2 ",
                             "chce víc než 8 spojení", "požadavek POST", "požadavek GET s tělem", "431"}) {
        SCOPED_TRACE(kind);
        const qsizetype lines = log.filter(QString::fromUtf8(kind)).size();
        if (QByteArray(kind) == "Senzory UDP, port")
            EXPECT_EQ(lines, 2);
        else if (QByteArray(kind) == "Webové výsledky: adresa 127.0.0.2 ")
            EXPECT_EQ(lines, 0) << "the phone is never refused";
        else
            EXPECT_EQ(lines, 1);
    }
    QStringList notices = log.filter(QRegularExpression(QStringLiteral("^Error\t.*(Senzory UDP|Webové výsledky)")));
    for (QString& n : notices)
        n = n.section(u'\t', 2);
    EXPECT_EQ(notices.removeDuplicates(), 0) << notices.join(u'\n').toStdString();
}
