// The station's parallel port follows the settings file at start and the
// settings live afterwards.

#include "app/station.h"
#include "core/textfile.h"
#include "engine/racecontrol.h"
#include "engine/tform1.h"
#include "platform/simulatedport.h"
#include "sensors/parallelport.h"
#include "ui/lamp.h"

#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

struct StationPort : ::testing::Test {
    QTemporaryDir dir;
    QString portFile = dir.filePath(QStringLiteral("port"));

    void writeIni(const QByteArray& bytes) {
        QFile f(dir.filePath(QStringLiteral("vartemo.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

} // namespace

TEST_F(StationPort, PortsFromTheFileAndLiveChanges) {
    // Each base text comes after its choice in the file.
    writeIni("[Po spusteni]\r\nPort=3\r\nBase=D010\r\nHodnota=1\r\n"
             "[Semafor]\r\nPouzij=0\r\nPort_Semafor=3\r\nBase_Semafor=278\r\nCervena=2\r\n"
             "Zelena=4\r\n");
    Station station(ProgramFolder(dir.path()), portFile);
    ParallelPort& port = station.parallelPort();
    ASSERT_EQ(port.driver().backend, PortDriver::Backend::Simulated);

    auto outside = SimulatedPort::open(portFile);
    ASSERT_TRUE(outside);
    outside->Out32(0x278, 0x06); // red and green lines high from an earlier run
    station.show();              // start-up reads the settings file
    EXPECT_EQ(port.addresses().LptPortBase(), 0xD010);
    EXPECT_EQ(port.addresses().SemaforPortBase(), 0x278);
    EXPECT_EQ(outside->data(0xD010), 0x01); // the idle value
    EXPECT_EQ(outside->data(0x278), 0x04);  // red off: only the red bit cleared

    station.settings().setInteger(SettingId::StartPort, 2);
    EXPECT_EQ(port.addresses().LptPortBase(), 0x278);
    station.settings().setInteger(SettingId::SemaforPort, 1);
    EXPECT_EQ(port.addresses().SemaforPortBase(), 0x378);
    station.settings().setInteger(SettingId::SemaforPort, 3);
    station.settings().setText(SettingId::Semafor_Base, QStringLiteral("x"));
    EXPECT_EQ(port.addresses().SemaforPortBase(), std::nullopt);
}

// A ride started with "Zapnout semafor" on, the lights sharing the input
// port: each colour joins the idle value, the lamps follow, and once green
// kart 1's sensor gives laps.
TEST_F(StationPort, ARaceStartRunsTheLightsAndThenTimesKartOne) {
    writeIni("[Po spusteni]\r\nPort=1\r\nLPT=1\r\nHodnota=16\r\n"
             "[Semafor]\r\nPouzij=1\r\nPort_Semafor=1\r\nProdleva=1\r\n"
             "Cervena=1\r\nOranzova=2\r\nZelena=4\r\n");
    Station station(ProgramFolder(dir.path()), portFile);
    auto tool = SimulatedPort::open(portFile);
    ASSERT_TRUE(tool);
    station.show();
    EXPECT_EQ(tool->data(0x378), 0x11); // waiting on red

    const auto lamp = [&](const char* name) {
        return station.mainWindow().findChild<Lamp*>(QLatin1String(name));
    };
    RaceControl& race = station.raceControl();
    race.StartButton1Click();
    EXPECT_EQ(tool->data(0x378), 0x11);
    EXPECT_TRUE(lamp("Led_cervena")->isLit());
    race.fire(RaceTimer::LightStep);
    EXPECT_EQ(tool->data(0x378), 0x12);
    EXPECT_TRUE(lamp("LED_oranzova")->isLit());
    EXPECT_FALSE(lamp("Led_cervena")->isLit());
    race.fire(RaceTimer::LightStep);
    EXPECT_EQ(tool->data(0x378), 0x14);
    EXPECT_TRUE(lamp("Led_zelena")->isLit());
    EXPECT_FALSE(lamp("LED_oranzova")->isLit());
    ASSERT_EQ(race.phase(), RacePhase::Timing);

    auto* lapList = station.mainWindow().findChild<QListWidget*>(QStringLiteral("Kola_mezicas1"));
    ASSERT_NE(lapList, nullptr);
    tool->changeStatusBits(0x378, 0x08, true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return lapList->count() == 1; }, 10000));
    tool->changeStatusBits(0x378, 0x08, false);
}

// The program log's second line tells whether the port driver opened.
TEST_F(StationPort, TheProgramLogRecordsThePortDriver) {
    const auto portLine = [&](const QString& simulatedPort) {
        QTemporaryDir home;
        {
            Station station(ProgramFolder(home.path()), simulatedPort);
            station.show();
        }
        const QStringList log = textfile::readLines(home.filePath(QStringLiteral("vartemo.log")))
                                    .value_or(QStringList());
        const auto start = log.indexOf(QRegularExpression(QStringLiteral("\\[ Start .*")));
        return start >= 0 ? log.value(start + 1) : QStringLiteral("no block");
    };
    EXPECT_EQ(portLine(portFile), QStringLiteral("Status\t100032\tOK"));
    EXPECT_EQ(portLine(dir.path()), QStringLiteral("Status\t100032\tError")); // a folder
}

TEST_F(StationPort, TheLightsStandBeforeTheRaceLength) {
    writeIni("[Semafor]\r\nZelena=4\r\n");
    Station station(ProgramFolder(dir.path()), portFile);
    station.show();
    QHBoxLayout* row = station.mainWindow().controlRow();
    int lights = -1;
    int length = -1;
    for (int i = 0; i < row->count(); ++i) {
        const QWidget* w = row->itemAt(i)->widget();
        if (w && w->objectName() == QLatin1String("gbSemafor"))
            lights = i;
        if (w && w->objectName() == QLatin1String("gbDelkaJizdy"))
            length = i;
    }
    ASSERT_GE(lights, 0);
    EXPECT_EQ(lights + 1, length);

    auto* green = station.mainWindow().findChild<Lamp*>(QStringLiteral("Led_zelena"));
    ASSERT_NE(green, nullptr);
    station.parallelPort().lights().reloadLightMasks();
    station.parallelPort().lights().SetLights(kLightsGreen);
    EXPECT_TRUE(green->isLit());
    EXPECT_EQ(SimulatedPort::open(portFile)->data(0x378), 0x04);
}
