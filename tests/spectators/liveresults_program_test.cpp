// The station program with the live results page on: before a ride it
// answers "/live.json" with the length the operator set, a second asking
// with the document's ETag gets 304, and during a ride driven by the track
// simulator over UDP the document lists the riding karts with their laps.

#include "sensors/freeport.h"
#include "support/stationprocess.h"
#include "support/simpassings.h"
#include "core/textfile.h"
#include "engine/qstringprinter.h"

#include <QDeadlineTimer>
#include <QColor>
#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <map>

using namespace vartemo;

namespace {

constexpr int kDeadlineMs = StationProcess::kDeadlineMs;

quint16 FreeTcpPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Network sensors with codes K01..K03, the first passing starts the ride,
// laps of 500 ms or more count, a ride of 10 laps; the TV display and the
// page on.
QByteArray Settings(quint16 udpPort, quint16 webPort) {
    const QStringList lines = {
        "[Po spusteni]", "LPT=0", "COM=0", "TCP=1", "Minuty=0", "Mezicasy=0", "AutoStart=1",
        "AutoStartCas=600", "Autostop=1", "AutoUloz=0", "Hlaseni=0", "Sporic=0",
        "[Semafor]", "Pouzij=0",
        "[HW]", "Rizeni=0", "Prodleva=500",
        "[UDP]", "Polozek=1", QStringLiteral("Port1=%1").arg(udpPort),
        "[Com]", "IP0=127.0.0.1", "Sekvence1=K01", "Sekvence2=K02", "Sekvence3=K03",
        "[TVOUT]", "Pouzit=1",
        "[WebVysledky]", "Pouzit=1", QStringLiteral("Port=%1").arg(webPort), "Adresa=127.0.0.1"};
    return textfile::encode(textfile::joinLines(lines));
}

struct Answer {
    int status = 0;
    QByteArray etag;
    QByteArray body;
    QList<QByteArray> head;
    QByteArray header(const QByteArray& name) const {
        for (const QByteArray& line : head)
            if (line.toLower().startsWith(name.toLower() + ':'))
                return line.mid(name.size() + 1).trimmed();
        return {};
    }
};

// One GET on a connection of its own.
Answer Get(quint16 port, const QByteArray& path, const QByteArray& ifNoneMatch = {}) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(5000))
        return {};
    QByteArray request = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n";
    if (!ifNoneMatch.isEmpty())
        request += "If-None-Match: " + ifNoneMatch + "\r\n";
    socket.write(request + "\r\n");
    QByteArray in;
    while (socket.waitForReadyRead(5000))
        in += socket.readAll();
    in += socket.readAll();
    const qsizetype headEnd = in.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return {};
    Answer a;
    const QList<QByteArray> head = in.left(headEnd).split('\n');
    a.head = head;
    a.status = head.value(0).split(' ').value(1).toInt();
    for (const QByteArray& line : head)
        if (line.toLower().startsWith("etag:"))
            a.etag = line.mid(5).trimmed();
    a.body = in.mid(headEnd + 4);
    return a;
}

// Whether a socket of this machine listens on the UDP port now: the station
// binds its sensor ports late in its start-up, and a datagram before that
// is lost.
bool UdpPortBound(quint16 port) {
    QFile table(QStringLiteral("/proc/net/udp"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local = QByteArray(":") + QByteArray::number(port, 16).toUpper().rightJustified(4, '0') + ' ';
    for (const QByteArray& line : table.readAll().split('\n'))
        if (line.simplified().split(' ').value(1).append(' ').endsWith(local))
            return true;
    return false;
}

QJsonObject LiveJson(quint16 port) {
    return QJsonDocument::fromJson(Get(port, "/live.json").body).object();
}

} // namespace

TEST(PageProgram, AnswersWithTheRidingKarts) {
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home"));
    ASSERT_TRUE(QDir().mkpath(home));
    const quint16 udpPort = FreeUdpPort();
    const quint16 webPort = FreeTcpPort();
    {
        QFile ini(home + QStringLiteral("/vartemo.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(Settings(udpPort, webPort));
    }
    // Kart 1 crosses alone and starts the ride; once it runs, karts 1 to 3
    // cross, 50 ms apart, and lap. Every crossing then is a line: the first
    // runs from the start signal.
    const QString startFile = dir.filePath(QStringLiteral("start.txt"));
    ASSERT_TRUE(textfile::writeLines(startFile, {"1 10"}));
    const QString lapsFile = dir.filePath(QStringLiteral("laps.txt"));
    ASSERT_TRUE(textfile::writeLines(lapsFile, {"1 100 900 900", "2 150 700 700 700", "3 200 800 800"}));

    StationProcess station(QStringLiteral(VARTEMO_PROGRAM), home, dir.path());
    ASSERT_TRUE(station.waitForShownWindow());

    // Before the ride: the page, and the length the main window starts with.
    const Answer page = Get(webPort, "/");
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(page.body.contains("Vartemo - průběžné info"));
    Answer first = Get(webPort, "/live.json");
    ASSERT_EQ(first.status, 200);
    const QJsonObject idle = QJsonDocument::fromJson(first.body).object()[u"race"].toObject();
    EXPECT_EQ(idle[u"state"].toString(), QStringLiteral("idle"));
    EXPECT_EQ(idle[u"unit"].toString(), QStringLiteral("laps"));
    EXPECT_EQ(idle[u"length"].toInt(), 10);
    // Unchanged: 304. A 200 instead must be a newer document.
    bool notModified = false;
    for (int attempt = 0; attempt < 5 && !notModified; ++attempt) {
        const Answer again = Get(webPort, "/live.json", first.etag);
        notModified = again.status == 304;
        if (!notModified) {
            ASSERT_EQ(again.status, 200);
            EXPECT_NE(again.etag, first.etag);
            first = again;
        }
    }
    EXPECT_TRUE(notModified);

    auto simulate = [&](const QString& file, QProcess& simulator) {
        simulator.start(QStringLiteral(VARTEMO_SIM_PATH),
                        {QStringLiteral("--udp"), QStringLiteral("127.0.0.1:%1").arg(udpPort),
                         QStringLiteral("--laps-file"), file, QStringLiteral("--min-gap-ms"), QStringLiteral("0")});
        return simulator.waitForFinished(kDeadlineMs) && simulator.exitCode() == 0;
    };
    QDeadlineTimer bound(kDeadlineMs);
    while (!UdpPortBound(udpPort) && !bound.hasExpired())
        QThread::msleep(20);
    ASSERT_TRUE(UdpPortBound(udpPort));
    QProcess starter;
    ASSERT_TRUE(simulate(startFile, starter)) << starter.readAllStandardError().toStdString();
    auto state = [&] { return LiveJson(webPort)[u"race"][u"state"].toString(); };
    QDeadlineTimer running(kDeadlineMs);
    while (state() != QStringLiteral("running") && !running.hasExpired())
        QThread::msleep(20);
    ASSERT_EQ(state(), QStringLiteral("running"));
    QProcess simulator;
    ASSERT_TRUE(simulate(lapsFile, simulator)) << simulator.readAllStandardError().toStdString();
    std::map<int, std::vector<double>> truth; // ms of each passing
    for (const SimPassing& p : ParseSimPassings(simulator.readAllStandardOutput()))
        truth[p.kart].push_back(p.deliveredMs);
    ASSERT_EQ(truth.size(), 3u);

    // Kart 2: its run from the start, then three laps. Karts 3 and 1: two,
    // kart 3's last passing before kart 1's, so ahead of it.
    auto laps = [](const QJsonObject& doc) {
        QStringList out;
        for (const QJsonValue& v : doc[u"karts"].toArray())
            out << QStringLiteral("%1:%2").arg(v[u"kart"].toInt()).arg(v[u"laps"].toInt());
        return out;
    };
    const QStringList expected = {"2:3", "3:2", "1:2"};
    QJsonObject doc = LiveJson(webPort);
    QDeadlineTimer deadline(kDeadlineMs);
    while (laps(doc) != expected && !deadline.hasExpired()) {
        QThread::msleep(100);
        doc = LiveJson(webPort);
    }
    ASSERT_EQ(laps(doc), expected);
    EXPECT_EQ(doc[u"race"][u"state"].toString(), QStringLiteral("running"));
    for (const QJsonValue& v : doc[u"karts"].toArray()) {
        const int kart = v[u"kart"].toInt();
        SCOPED_TRACE(kart);
        const std::vector<double>& t = truth[kart];
        EXPECT_EQ(v[u"name"].toString(), QStringLiteral("kara%1").arg(kart));
        EXPECT_NEAR(v[u"lastMs"].toDouble(), t[t.size() - 1] - t[t.size() - 2], 20.0);
        EXPECT_EQ(v[u"last"].toString().size(), 9) << "nn:ss:zzz";
    }
}

namespace {

// The listening TCP sockets of this machine on the port, as "address:port"
// in the kernel's hexadecimal (IPv4 and IPv6).
QStringList ListeningOn(quint16 port) {
    QStringList found;
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        QFile f(QString::fromLatin1(table));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QString hexPort = QStringLiteral("%1").arg(port, 4, 16, QLatin1Char('0')).toUpper();
        for (const QByteArray& line : f.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() > 3 && fields[3] == "0A" && fields[1].endsWith(':' + hexPort.toLatin1()))
                found << QString::fromLatin1(fields[1]);
        }
    }
    return found;
}

} // namespace

// With the address 127.0.0.1 in the settings the page listens there and
// nowhere else, answers with the headers that keep a browser safe, and works
// in a real browser under its own content security policy: the script runs,
// styles the page and fills in the results.
TEST(PageProgram, ListensOnlyWhereTheSettingsSayAndWorksInABrowser) {
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home"));
    ASSERT_TRUE(QDir().mkpath(home));
    const quint16 webPort = FreeTcpPort();
    {
        QFile ini(home + QStringLiteral("/vartemo.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(Settings(FreeUdpPort(), webPort));
    }
    StationProcess station(QStringLiteral(VARTEMO_PROGRAM), home, dir.path());
    ASSERT_TRUE(station.waitForShownWindow());

    EXPECT_EQ(ListeningOn(webPort), QStringList{QStringLiteral("0100007F:%1").arg(webPort, 4, 16, QLatin1Char('0')).toUpper()});
    QTcpSocket elsewhere;
    elsewhere.connectToHost(QHostAddress(QStringLiteral("127.0.0.2")), webPort);
    EXPECT_FALSE(elsewhere.waitForConnected(2000)) << "only the address of the settings";
    QTcpSocket v6;
    v6.connectToHost(QHostAddress::LocalHostIPv6, webPort);
    EXPECT_FALSE(v6.waitForConnected(2000)) << "never IPv6";

    const struct {
        QByteArray path;
        QByteArray type;
    } files[] = {{"/", "text/html"}, {"/app.js", "text/javascript"}, {"/live.json", "application/json"}};
    for (const auto& f : files) {
        const Answer a = Get(webPort, f.path);
        SCOPED_TRACE(f.path.toStdString());
        EXPECT_EQ(a.status, 200);
        EXPECT_TRUE(a.header("Content-Type").startsWith(f.type)) << a.header("Content-Type").toStdString();
        EXPECT_EQ(a.header("X-Content-Type-Options"), QByteArray("nosniff"));
        EXPECT_TRUE(a.header("Content-Security-Policy").contains("script-src 'self'"));
        EXPECT_TRUE(a.header("Content-Security-Policy").startsWith("default-src 'none'"));
    }

    // A headless browser: the page as the script left it, its console, and
    // a picture of it.
    const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(webPort);
    const QString shot = dir.filePath(QStringLiteral("page.png"));
    QProcess browser;
    const QStringList common = {QStringLiteral("--headless"), QStringLiteral("--no-sandbox"),
                                QStringLiteral("--disable-gpu"), QStringLiteral("--no-first-run"),
                                QStringLiteral("--user-data-dir=") + dir.filePath(QStringLiteral("browser")),
                                QStringLiteral("--virtual-time-budget=5000"), QStringLiteral("--enable-logging=stderr"),
                                QStringLiteral("--v=0"), QStringLiteral("--window-size=400,700")};
    browser.start(QStringLiteral("chromium"), common + QStringList{QStringLiteral("--dump-dom"), url});
    ASSERT_TRUE(browser.waitForFinished(kDeadlineMs));
    const QByteArray dom = browser.readAllStandardOutput();
    const QByteArray console = browser.readAllStandardError();
    EXPECT_TRUE(dom.contains("<span id=\"delkaPopis\">Délka jízdy (kol)</span>")) << dom.toStdString();
    EXPECT_TRUE(dom.contains("<b id=\"delkaHodnota\">10</b>")) << dom.toStdString();
    EXPECT_FALSE(console.contains("Content Security Policy")) << console.toStdString();
    browser.start(QStringLiteral("chromium"), common + QStringList{QStringLiteral("--screenshot=") + shot, url});
    ASSERT_TRUE(browser.waitForFinished(kDeadlineMs));
    const QImage picture(shot);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.pixelColor(2, 2), QColor(0xEC, 0xE9, 0xD8)) << "the script's style sheet is applied";
}
