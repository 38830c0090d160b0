// The station program and the vartemo-port tool as an operator runs them on
// a simulated port: the tool presses the start button and watches the start
// lights go red, orange, green; then it moves kart 1 through its sensor, and
// the counted lap shows as the hardware pulse on pin 8.

#include "platform/simulatedport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <functional>

using namespace vartemo;

namespace {

constexpr qint64 kWaitMs = 20000; // only a hang fails, never slowness

// Polls every millisecond: a pulse stays high for 150 ms.
bool WaitFor(const std::function<bool()>& condition) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.elapsed() > kWaitMs)
            return false;
        QThread::msleep(1);
    }
    return true;
}

// Parallel-port sensors with hardware control, the external start button on,
// the start lights on LPT1 too (red pin 2, orange pin 3, green pin 4).
const char kSettings[] = "[Po spusteni]\r\nPort=1\r\nLPT=1\r\nCOM=0\r\nTCP=0\r\n"
                         "ExtStart=1\r\nHodnota=0\r\n"
                         "[Semafor]\r\nPouzij=1\r\nPort_Semafor=1\r\nProdleva=1\r\n"
                         "Cervena=1\r\nOranzova=2\r\nZelena=4\r\n"
                         "[HW]\r\nRizeni=1\r\nNegace=1\r\nLOG0=150\r\nLOG1=1000\r\n";
constexpr quint8 kRed = 0x01;
constexpr quint8 kOrange = 0x02;
constexpr quint8 kGreen = 0x04;

struct RunningStation : ::testing::Test {
    QTemporaryDir dir;
    QString home = dir.filePath(QStringLiteral("home"));
    QString portFile = dir.filePath(QStringLiteral("port"));
    QProcess station;

    void SetUp() override {
        ASSERT_TRUE(QDir().mkpath(home));
        QFile ini(home + QStringLiteral("/vartemo.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(kSettings);
    }

    void TearDown() override {
        station.kill();
        station.waitForFinished();
    }
    int runTool(const QStringList& args) {
        return QProcess::execute(QStringLiteral(VARTEMO_PORT_TOOL),
                                 QStringList{QStringLiteral("--port"), portFile} + args);
    }
};

} // namespace

TEST_F(RunningStation, StartsWithTheLightsAndCountsALapOfKartOne) {
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // A runtime folder of its own: another station of the user (a parallel
    // test) would otherwise make this start a second one that just ends.
    const QString runtime = dir.filePath(QStringLiteral("runtime"));
    ASSERT_TRUE(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    station.setProcessEnvironment(env);
    station.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    station.start(QStringLiteral(VARTEMO_PROGRAM),
                  {QStringLiteral("--home"), home, QStringLiteral("--simulated-port"), portFile});
    ASSERT_TRUE(station.waitForStarted());

    QString error;
    auto port = SimulatedPort::open(portFile, &error);
    ASSERT_TRUE(port) << error.toStdString();
    auto pin8 = [&] { return (port->data(0x378) & 0x40) != 0; };
    // The window is up once the station has written its idle value to LPT1.
    ASSERT_TRUE(WaitFor([&] {
        const auto bases = port->bases();
        return std::find(bases.begin(), bases.end(), 0x378) != bases.end();
    }));
    // With hardware control on, the station pulses pin 8 once at start.
    ASSERT_TRUE(WaitFor(pin8));
    ASSERT_TRUE(WaitFor([&] { return !pin8(); }));

    auto lights = [&] { return quint8(port->data(0x378) & 0x07); };
    // The lights wait on red; the window may show a moment after the pulse.
    ASSERT_TRUE(WaitFor([&] { return lights() == kRed; }));

    // The start button: red, then orange, then green, and the ride is timed.
    // Held for a second, as an operator does: the station looks every 200 ms,
    // and a loaded machine may delay a look past a short press.
    ASSERT_EQ(runTool({QStringLiteral("press"), QStringLiteral("1000")}), 0);
    std::vector<quint8> seen{lights()};
    ASSERT_TRUE(WaitFor([&] {
        if (lights() != seen.back())
            seen.push_back(lights());
        return seen.back() == kGreen;
    }));
    EXPECT_EQ(seen, (std::vector<quint8>{kRed, kOrange, kGreen}));

    ASSERT_EQ(runTool({QStringLiteral("pulse"), QStringLiteral("1"), QStringLiteral("50")}), 0);
    EXPECT_TRUE(WaitFor(pin8));
    EXPECT_EQ(port->status(0x378), 0x00); // kart 1 has left the sensor
    EXPECT_TRUE(WaitFor([&] { return !pin8(); }));

    // Bad input to the tool is refused, not guessed at.
    EXPECT_EQ(runTool({QStringLiteral("pulse"), QStringLiteral("5")}), 1);
    EXPECT_EQ(runTool({QStringLiteral("status"), QStringLiteral("1FF")}), 1);
    EXPECT_EQ(port->status(0x378), 0x00);
    EXPECT_EQ(station.state(), QProcess::Running);
}
