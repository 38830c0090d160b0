// The sensor health through the real program: a simulated ride over UDP in
// which one kart's transmitter dies after its third lap (the live results
// page must flag it overdue, and only it), and a simulated parallel port
// whose input 3 is held closed (the log book must tell it once, and again
// only after the contact opened). Deadlines are generous and nothing is
// asserted about how fast the station is: only what it concludes.

#include "core/textfile.h"
#include "sensors/freeport.h"
#include "support/waitfor.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>

using namespace vartemo;

namespace {

constexpr int kDeadlineMs = 120'000;

struct SensorHealthProgram : ::testing::Test {
    QTemporaryDir dir;
    QString home = dir.filePath(QStringLiteral("home"));
    QProcess station;

    void TearDown() override {
        if (station.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(station.processId()), SIGTERM);
        if (!station.waitForFinished(30'000))
            station.kill();
        station.waitForFinished();
    }
    void start(const QStringList& ini, const QStringList& arguments = {}) {
        ASSERT_TRUE(QDir().mkpath(home));
        ASSERT_TRUE(textfile::writeLines(home + QStringLiteral("/vartemo.ini"), ini));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const QString runtime = dir.filePath(QStringLiteral("runtime"));
        ASSERT_TRUE(QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        station.setProcessEnvironment(env);
        station.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        station.start(QStringLiteral(VARTEMO_EXECUTABLE), QStringList{QStringLiteral("--home"), home} + arguments);
        ASSERT_TRUE(station.waitForStarted());
        // Up once the program log has its start-up block (the first showing).
        ASSERT_TRUE(WaitFor([&] { return !lines(QStringLiteral("vartemo.log")).filter(QStringLiteral("[ End ")).isEmpty(); },
                            kDeadlineMs, 50));
    }
    QStringList lines(const QString& file) const {
        return textfile::readLines(QDir(home).filePath(file)).value_or(QStringList());
    }
};

quint16 FreeTcpPortForPage() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// The page's document, fetched as a phone would (empty when not there).
QJsonObject LiveDocument(quint16 port) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000))
        return {};
    socket.write("GET /live.json HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    QByteArray answer;
    while (socket.waitForReadyRead(5000))
        answer += socket.readAll();
    answer += socket.readAll();
    const qsizetype body = answer.indexOf("\r\n\r\n");
    return body < 0 ? QJsonObject() : QJsonDocument::fromJson(answer.mid(body + 4)).object();
}

// kart -> overdue, of the karts the document lists.
std::map<int, bool> OverdueFlags(const QJsonObject& doc) {
    std::map<int, bool> flags;
    for (const QJsonValue& k : doc[u"karts"].toArray())
        flags[k[u"kart"].toInt()] = k[u"overdue"].toBool();
    return flags;
}

} // namespace

TEST_F(SensorHealthProgram, KartWhoseTransmitterDiesIsFlaggedOverdueOnTheLivePage) {
    const quint16 udp = FreeUdpPort();
    const quint16 web = FreeTcpPortForPage();
    // Network sensors, three karts, the first passing starts the ride; the
    // trackside sensor 127.0.0.2 is listed; the page on.
    start({"[Po spusteni]", "LPT=0", "COM=0", "TCP=1", "AutoStart=1", "AutoStartCas=600", "Hlaseni=0",
           "Sporic=0", "[Semafor]", "Pouzij=0", "[HW]", "Rizeni=0", "Prodleva=1000", "[UDP]", "Polozek=1",
           QStringLiteral("Port1=%1").arg(udp), "[Com]", "IP0=127.0.0.1", "IP1=127.0.0.2", "ID1=01",
           "Sekvence1=K01", "Sekvence2=K02", "Sekvence3=K03", "[WebVysledky]", "Pouzit=1",
           QStringLiteral("Port=%1").arg(web), "Adresa=127.0.0.1"});

    // Laps of about 2 s; kart 2 sends nothing after its third lap, the
    // trackside sensor goes silent 5 s in.
    QProcess sim;
    sim.start(QStringLiteral(VARTEMO_SIM_PATH),
              {QStringLiteral("--udp"), QStringLiteral("127.0.0.1:%1").arg(udp), QStringLiteral("--karts"),
               QStringLiteral("3"), QStringLiteral("--laps"), QStringLiteral("9"), QStringLiteral("--lap-ms"),
               QStringLiteral("2000"), QStringLiteral("--pace-step-ms"), QStringLiteral("200"),
               QStringLiteral("--spread-ms"), QStringLiteral("200"), QStringLiteral("--trackside"),
               QStringLiteral("1"), QStringLiteral("--kart-stops"), QStringLiteral("2:3"),
               QStringLiteral("--sensor-silent"), QStringLiteral("1:5000")});
    ASSERT_TRUE(sim.waitForStarted());

    // Kart 2 is flagged while the others drive on: about 3 x 2 s after its
    // last passing, well before the ride's 9 laps end.
    std::map<int, bool> flags;
    ASSERT_TRUE(WaitFor([&] {
        flags = OverdueFlags(LiveDocument(web));
        return flags[2];
    }, kDeadlineMs, 500)) << "kart 2 never flagged";
    EXPECT_EQ(LiveDocument(web)[u"schema"].toInt(), 2);
    EXPECT_FALSE(flags[1]) << "kart 1 still passes every 2 s";
    EXPECT_FALSE(flags[3]) << "kart 3 still passes every 2 s";
    ASSERT_TRUE(sim.waitForFinished(kDeadlineMs));
    EXPECT_EQ(sim.exitCode(), 0) << sim.readAllStandardError().toStdString();
}

TEST_F(SensorHealthProgram, ContactHeldClosedIsLoggedOnceUntilItOpens) {
    const QString portFile = dir.filePath(QStringLiteral("port"));
    start({"[Po spusteni]", "LPT=1", "COM=0", "TCP=0", "Hlaseni=0", "Sporic=0", "[HW]", "Rizeni=0"},
          {QStringLiteral("--simulated-port"), portFile});
    auto tool = [&](const QStringList& args) {
        QProcess run;
        run.setStandardOutputFile(QProcess::nullDevice());
        run.start(QStringLiteral(VARTEMO_PORT_TOOL), QStringList{QStringLiteral("--port"), portFile} + args);
        return run.waitForFinished(kDeadlineMs) ? run.exitCode() : -1;
    };
    const QString stuck = QStringLiteral("Čidlo 3 trvale sepnuto");
    auto logged = [&] { return lines(QStringLiteral("vartemo.den")).filter(stuck).size(); };

    // A passing of a fraction of a second is no stuck contact.
    ASSERT_EQ(tool({QStringLiteral("pulse"), QStringLiteral("3"), QStringLiteral("300")}), 0);
    ASSERT_EQ(tool({QStringLiteral("kart"), QStringLiteral("3"), QStringLiteral("on")}), 0);
    ASSERT_TRUE(WaitFor([&] { return logged() == 1; }, kDeadlineMs, 250)) << lines(QStringLiteral("vartemo.den")).join(u'\n').toStdString();
    // Under this run's entry, one TAB in.
    EXPECT_TRUE(lines(QStringLiteral("vartemo.den")).filter(stuck).first().startsWith(u'\t'));
    QThread::sleep(3);
    EXPECT_EQ(logged(), 1) << "told once while it stays closed";

    // Opened and held closed again: a new report.
    ASSERT_EQ(tool({QStringLiteral("kart"), QStringLiteral("3"), QStringLiteral("off")}), 0);
    QThread::sleep(2); // the station looks twice a second
    ASSERT_EQ(tool({QStringLiteral("kart"), QStringLiteral("3"), QStringLiteral("on")}), 0);
    EXPECT_TRUE(WaitFor([&] { return logged() == 2; }, kDeadlineMs, 250));
    EXPECT_TRUE(lines(QStringLiteral("vartemo.den")).filter(QStringLiteral("Čidlo 1 trvale sepnuto")).isEmpty());
}
