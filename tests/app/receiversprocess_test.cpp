// The real program with its receivers failing and starting: UDP ports that
// cannot be bound, an infrared decoder on a pseudo-terminal opened at
// start-up, and the start lights going dark at rest. Driven from outside
// (datagrams, the terminal, the simulated parallel port and its tool).

#include "core/textfile.h"
#include "irsignal.h"
#include "platform/simulatedport.h"
#include "sensors/irdecoder.h"
#include "sensors/freeport.h"
#include "support/pseudoterminal.h"
#include "support/waitfor.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <functional>

using namespace vartemo;

namespace {

constexpr int kDeadlineMs = 30000; // only a hang fails, never slowness

// Start lights on LPT1 of the simulated port: red pin 2, orange pin 3, green pin 4.
const QString kLights = QStringLiteral("[Semafor]\r\nPouzij=1\r\nPort_Semafor=1\r\nProdleva=1\r\n"
                                       "Cervena=1\r\nOranzova=2\r\nZelena=4\r\n");
constexpr quint8 kRed = 0x01;
constexpr quint8 kGreen = 0x04;

struct RunningStation : ::testing::Test {
    QTemporaryDir dir;
    QString home = dir.filePath(QStringLiteral("home"));
    QString config = dir.filePath(QStringLiteral("config"));
    QString portFile = dir.filePath(QStringLiteral("port"));
    QProcess station;
    std::unique_ptr<SimulatedPort> port;

    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(home));
        ASSERT_TRUE(QDir().mkpath(config));
    }
    void TearDown() override {
        station.kill();
        station.waitForFinished();
    }
    void writeFile(const QString& path, const QString& text) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }
    void start(const QString& settings, const QStringList& extra = {}) {
        writeFile(home + QStringLiteral("/vartemo.ini"), settings);
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        station.setProcessEnvironment(env);
        station.setWorkingDirectory(dir.path());
        station.setProcessChannelMode(QProcess::ForwardedChannels);
        station.start(QStringLiteral(VARTEMO_EXECUTABLE),
                      QStringList{QStringLiteral("--home"), home, QStringLiteral("--simulated-port"), portFile} +
                          extra);
        ASSERT_TRUE(station.waitForStarted());
        ASSERT_TRUE(WaitFor([&] { return QFile::exists(portFile); }));
        QString error;
        port = SimulatedPort::open(portFile, &error);
        ASSERT_TRUE(port) << error.toStdString();
    }
    // The main window is up once its first showing wrote LPT1's idle value.
    bool windowShown() const {
        const auto bases = port->bases();
        return std::find(bases.begin(), bases.end(), 0x378) != bases.end();
    }
    quint8 lights() const { return quint8(port->data(0x378) & 0x07); }
    QStringList lines(const char* file) const {
        return textfile::readLines(QDir(home).filePath(QString::fromLatin1(file))).value_or(QStringList());
    }
    QStringList receiverFailures() const {
        return lines("vartemo.den").filter(QRegularExpression(QStringLiteral("^\\tChyba přijímače ")));
    }
};

} // namespace

TEST_F(RunningStation, UdpPortsThatCannotBeBoundAreToldOnceAndTheOthersTime) {
    QUdpSocket occupant; // another program holds this one
    ASSERT_TRUE(occupant.bind(QHostAddress::AnyIPv4, FreeUdpPort()));
    const QString held = QString::number(occupant.localPort());
    const QString free = QString::number(FreeUdpPort());
    // The list shows entry 3 at the top: the free port, the held one, the free one again.
    start(QStringLiteral("[Po spusteni]\r\nLPT=0\r\nCOM=0\r\nTCP=1\r\nAutostart=1\r\n") + kLights +
          QStringLiteral("[Com]\r\nIP0=127.0.0.1\r\nSekvence2=KART2\r\n"
                         "[UDP]\r\nPolozek=3\r\nPort1=%1\r\nPort2=%2\r\nPort3=%1\r\n")
              .arg(free, held));
    ASSERT_TRUE(WaitFor([&] { return windowShown(); }));
    ASSERT_TRUE(WaitFor([&] { return receiverFailures().size() >= 2; }));
    // Ten more ticks of the start poll: no further message.
    QThread::msleep(2000);
    const QStringList told = receiverFailures();
    ASSERT_EQ(told.size(), 2) << told.join(u'|').toStdString();
    EXPECT_TRUE(told[0].contains(held) != told[1].contains(held)) << "one for the held port";
    EXPECT_TRUE(told[0].contains(free) != told[1].contains(free)) << "one for the second listing";
    const QStringList logged = lines("vartemo.log").filter(QRegularExpression(QStringLiteral("^Error\\t")));
    EXPECT_EQ(logged.size(), 2) << logged.join(u'|').toStdString();

    // The free port listens and the poll goes on: a lap code starts the ride.
    EXPECT_EQ(station.state(), QProcess::Running);
    EXPECT_EQ(lights(), kRed);
    QUdpSocket sensor;
    ASSERT_TRUE(sensor.bind(QHostAddress::LocalHost, 0));
    sensor.writeDatagram("KART2", QHostAddress::LocalHost, free.toUShort());
    EXPECT_TRUE(WaitFor([&] { return lights() == kGreen; }));
    // The START tried the ports again: the same causes are not told twice.
    QThread::msleep(500);
    EXPECT_EQ(receiverFailures().size(), 2);
}

TEST_F(RunningStation, InfraredDecoderOpensAtStartUpAndItsFirstCodeStartsTheRide) {
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.isOpen());
    // A port name has at most 10 characters: the terminal under a short name.
    ASSERT_TRUE(QFile::link(terminal.slavePath, dir.filePath(QStringLiteral("ir1"))));
    ASSERT_TRUE(QDir().mkpath(config + QStringLiteral("/vartemo_kestral")));
    writeFile(config + QStringLiteral("/vartemo_kestral/registry.ini"),
              QStringLiteral("[Software\\vartemo_kestral\\ir\\nastaveni1]\r\nComName=sz:\"ir1\"\r\n"));

    // What the decoder makes of kart 3's transmitter: its learnt code.
    const QByteArray frame = sim::ModemStatusStream(sim::BiPhaseFrame(false, 3, 0x15));
    IrDecoder decoder;
    decoder.ProcessRead(frame);
    ASSERT_FALSE(decoder.LastCode.isEmpty());

    start(QStringLiteral("[Po spusteni]\r\nLPT=0\r\nCOM=1\r\nTCP=0\r\nAutostart=1\r\n") + kLights +
              QStringLiteral("[Com]\r\nSekvence3=%1\r\n").arg(decoder.LastCode),
          {QStringLiteral("--ir-record-stream")});
    // The decoder holds its device before the main window shows.
    const QString fdFolder = QStringLiteral("/proc/%1/fd").arg(station.processId());
    auto deviceOpen = [&] {
        for (const QFileInfo& fd : QDir(fdFolder).entryInfoList(QDir::System | QDir::NoDotAndDotDot))
            if (fd.symLinkTarget() == terminal.slavePath)
                return true;
        return false;
    };
    bool openBeforeWindow = false;
    ASSERT_TRUE(WaitFor([&] {
        if (deviceOpen() && !windowShown())
            openBeforeWindow = true;
        return windowShown();
    }));
    EXPECT_TRUE(openBeforeWindow);
    EXPECT_TRUE(deviceOpen());
    EXPECT_TRUE(WaitFor([&] { return lights() == kRed; }));
    // No serial receiver check against the decoder's port, no message.
    EXPECT_TRUE(receiverFailures().isEmpty());
    EXPECT_TRUE(lines("vartemo.den").filter(QStringLiteral("Chyba připojení přijímače")).isEmpty());
    EXPECT_TRUE(lines("vartemo.den").contains(QStringLiteral("\tCOM port otevřen")));
    EXPECT_TRUE(lines("vartemo.log").contains(QStringLiteral("Status\t100042\tOK")));

    terminal.write(frame);
    EXPECT_TRUE(WaitFor([&] { return lights() == kGreen; }));
    EXPECT_EQ(station.state(), QProcess::Running);
}

TEST_F(RunningStation, RedLightGoesOffAtRestOnlyWithZhasnoutSemafor) {
    for (const bool off : {true, false}) {
        start(QStringLiteral("[Po spusteni]\r\nLPT=1\r\nPort=1\r\n") + kLights +
                  QStringLiteral("Zhasnout=%1\r\nProdlevaCas=2\r\n[HW]\r\nRizeni=0\r\n").arg(off ? 1 : 0),
              {QStringLiteral("--minute-ms"), QStringLiteral("600")});
        ASSERT_TRUE(WaitFor([&] { return windowShown(); }));
        // The port tool watches the data register for 3 s: red at the first
        // showing, then, with the lights-off on, dark after "2 minutes" (1.2 s).
        QProcess watch;
        watch.start(QStringLiteral(VARTEMO_PORT_TOOL),
                    {QStringLiteral("--port"), portFile, QStringLiteral("watch"), QStringLiteral("3")});
        ASSERT_TRUE(watch.waitForFinished(kDeadlineMs));
        const QString out = QString::fromLocal8Bit(watch.readAllStandardOutput());
        QStringList seen;
        for (const auto& m : QRegularExpression(QStringLiteral("data (0x[0-9A-F]+)")).globalMatch(out))
            seen << m.captured(1);
        const QStringList expected = off ? QStringList{"0x01", "0x00"} : QStringList{"0x01"};
        EXPECT_EQ(seen, expected) << off << "\n" << out.toStdString();
        station.kill();
        station.waitForFinished();
        QFile::remove(portFile);
    }
}
