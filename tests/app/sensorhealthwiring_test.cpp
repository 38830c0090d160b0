// The sensor strip in the whole station: the network sensors of the
// settings get their lamps, datagrams turn them green or count against
// them, and the operator's choice to hide the strip outlives the run
// without touching vartemo.ini.

#include "app/sensorhealthwiring.h"
#include "app/station.h"
#include "core/textfile.h"
#include "engine/tform1.h"
#include "sensors/receivers.h"
#include "sensors/sensorhealthstrip.h"
#include "ui/lamp.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

// The station's per-user registry in a folder of the test's own.
struct SensorStrip : ::testing::Test {
    QTemporaryDir home;
    QTemporaryDir config;
    QByteArray savedConfigHome = qgetenv("XDG_CONFIG_HOME");

    SensorStrip() {
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        textfile::writeLines(home.filePath(QStringLiteral("vartemo.ini")),
                             {"[Po spusteni]", "LPT=0", "COM=0", "TCP=1", "Hlaseni=0", "[UDP]", "Polozek=0",
                              "[Com]", "IP0=127.0.0.1", "IP1=127.0.0.2", "ID1=01", "Sekvence1=K01"});
    }
    ~SensorStrip() override {
        if (savedConfigHome.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", savedConfigHome);
    }
    static QColor colourOf(SensorHealthStrip& strip, int slot) {
        Lamp* lamp = strip.lamp(slot);
        return lamp ? lamp->color() : QColor();
    }
    static void datagram(Station& station, const char* text, const char* from) {
        station.receivers().IdUDPServer1().IdUDPServer1UDPRead(text, QHostAddress(QLatin1String(from)), 4000, 5000);
    }
};

} // namespace

TEST_F(SensorStrip, ListedSensorsGetLampsThatFollowTheirDatagrams) {
    Station station{ProgramFolder(home.path())};
    station.show();
    SensorHealthWiring& wiring = station.sensorHealth();
    SensorHealthStrip& strip = wiring.strip();
    ASSERT_EQ(station.mainWindow().findChild<SensorHealthStrip*>(QStringLiteral("pnlStavCidel")), &strip);
    EXPECT_TRUE(strip.isVisible()) << "shown by default";
    wiring.tick();

    SensorHealth& health = station.health();
    const int lapSensor = health.network(QStringLiteral("127.0.0.1"));
    const int trackside = health.network(QStringLiteral("127.0.0.2"));
    for (int slot : {lapSensor, trackside}) {
        ASSERT_TRUE(strip.cell(slot)) << slot;
        EXPECT_TRUE(strip.cell(slot)->isVisible());
        EXPECT_EQ(colourOf(strip, slot), SensorHealthStrip::LampColour(SourceLamp::Grey)) << "listed, not heard";
    }
    EXPECT_EQ(strip.cell(lapSensor)->objectName(), QStringLiteral("StavUDP1"));
    EXPECT_FALSE(strip.cell(SensorHealth::contact(1))) << "the parallel port is not in use";

    datagram(station, "K01", "127.0.0.1");
    datagram(station, "01K01", "127.0.0.2");
    datagram(station, "K01", "127.0.0.9"); // no listed sensor
    datagram(station, "K01", "127.0.0.9");
    datagram(station, "K01", "127.0.0.9");
    wiring.tick();
    EXPECT_EQ(colourOf(strip, lapSensor), SensorHealthStrip::LampColour(SourceLamp::Green));
    EXPECT_EQ(colourOf(strip, trackside), SensorHealthStrip::LampColour(SourceLamp::Green));
    const int stranger = health.network(QStringLiteral("127.0.0.9"));
    ASSERT_TRUE(strip.cell(stranger)) << "an address heard gets its lamp";
    EXPECT_EQ(colourOf(strip, stranger), SensorHealthStrip::LampColour(SourceLamp::Red));
    EXPECT_TRUE(strip.cell(stranger)->toolTip().contains(QStringLiteral("neznámá adresa 3"))) << qPrintable(strip.cell(stranger)->toolTip());
    EXPECT_TRUE(strip.cell(lapSensor)->toolTip().contains(QStringLiteral("Od spuštění: 1 průjezd, 0 odmítnutých vstupů")))
        << qPrintable(strip.cell(lapSensor)->toolTip());

    // The network receiver switched off: its lamps go.
    station.settings().setBoolean(SettingId::cbLPT, true);
    wiring.tick();
    EXPECT_FALSE(strip.cell(lapSensor)->isVisible());
    ASSERT_TRUE(strip.cell(SensorHealth::contact(4)));
    EXPECT_TRUE(strip.cell(SensorHealth::contact(4))->isVisible());
}

TEST_F(SensorStrip, HiddenStripStaysHiddenInTheNextRunAndVartemoIniIsNotTouched) {
    const QString ini = home.filePath(QStringLiteral("vartemo.ini"));
    const QByteArray before = [&] {
        QFile f(ini);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    {
        Station station{ProgramFolder(home.path())};
        station.show();
        station.sensorHealth().setStripShown(false);
        EXPECT_FALSE(station.sensorHealth().strip().isVisible());
    }
    {
        Station station{ProgramFolder(home.path())};
        station.show();
        EXPECT_FALSE(station.sensorHealth().stripShown());
        EXPECT_FALSE(station.sensorHealth().strip().isVisible());
        station.sensorHealth().setStripShown(true);
        EXPECT_TRUE(station.sensorHealth().strip().isVisible());
    }
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    const QStringList registry =
        textfile::readLines(QDir(config.path()).filePath(QStringLiteral("vartemo_kestral/registry.ini"))).value_or(QStringList());
    EXPECT_FALSE(registry.filter(QStringLiteral("zdravi"), Qt::CaseInsensitive).isEmpty()) << registry.join(u'\n').toStdString();
}
