#include "app/station.h"
#include "engine/tform1.h"
#include "sensors/receivers.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

void writeIni(const QTemporaryDir& dir, const QByteArray& bytes) {
    QFile f(dir.filePath(QStringLiteral("vartemo.ini")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Every command button lies inside the window and clear of the race board.
void expectButtonsBesideTheBoard(TForm1& window) {
    QApplication::processEvents();
    const auto* board = window.findChild<QTabWidget*>(QStringLiteral("pcCasy"));
    ASSERT_NE(board, nullptr);
    const QRect boardRect(board->mapTo(&window, QPoint(0, 0)), board->size());
    for (const char* name : {"Tisk1", "stav_motokar", "Statistika", "btnNastaveni", "TopTen10",
                             "btnOprogramu", "btnHelp", "btnKonec"}) {
        const auto* button = window.findChild<QPushButton*>(QLatin1String(name));
        ASSERT_NE(button, nullptr) << name;
        const QRect r(button->mapTo(&window, QPoint(0, 0)), button->size());
        EXPECT_FALSE(r.intersects(boardRect)) << name;
        EXPECT_TRUE(window.rect().contains(r)) << name;
    }
}

} // namespace

TEST(StationSettings, CommandButtonsStayClearOfTheBoardInBothLayouts) {
    QTemporaryDir dir;
    writeIni(dir, "[Po spusteni]\r\nMezicasy=0\r\n");
    Station station{ProgramFolder(dir.path())};
    station.show();
    expectButtonsBesideTheBoard(station.mainWindow());
    station.settings().setBoolean(SettingId::cbMezicasy, true);
    expectButtonsBesideTheBoard(station.mainWindow());
}

TEST(StationSettings, TheFileShapesTheMainWindowAtStartAndLive) {
    QTemporaryDir wideDir;
    writeIni(wideDir, "[Po spusteni]\r\nMezicasy=1\r\n");
    Station wide{ProgramFolder(wideDir.path())};
    wide.show();

    QTemporaryDir dir;
    writeIni(dir, "[Po spusteni]\r\nMezicasy=0\r\nMinuty=0\r\nUcast=1\r\n");
    Station station{ProgramFolder(dir.path())};
    station.show();
    TForm1& window = station.mainWindow();
    EXPECT_LT(window.width(), wide.mainWindow().width()) << "no track lists: the narrow layout";
    EXPECT_FALSE(window.countsMinutes());
    EXPECT_TRUE(wide.mainWindow().countsMinutes());
    for (int kart = 1; kart <= kKartCount; ++kart) {
        auto* box = window.findChild<QCheckBox*>(QStringLiteral("UcastBox%1").arg(kart));
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isChecked()) << kart;
    }

    station.settings().setBoolean(SettingId::cbMezicasy, true);
    station.settings().setBoolean(SettingId::cbMinuty, true);
    EXPECT_EQ(window.width(), wide.mainWindow().width());
    EXPECT_TRUE(window.countsMinutes());
}

TEST(StationSettings, StartWithTheSystemIsWrittenAtStartAndFollowsTheSetting) {
    QTemporaryDir config;
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    const QString launcher = config.filePath(QStringLiteral("autostart/vartemo_kestral.desktop"));
    {
        QTemporaryDir dir;
        writeIni(dir, "[Po spusteni]\r\nSTART=1\r\n");
        Station station{ProgramFolder(dir.path())};
        station.show();
        EXPECT_TRUE(QFile::exists(launcher)) << "START=1 writes the entry again at start-up";
        station.settings().setBoolean(SettingId::po_spusteni, false);
        EXPECT_FALSE(QFile::exists(launcher));
    }
    {
        QTemporaryDir dir;
        Station station{ProgramFolder(dir.path())};
        station.show();
        EXPECT_FALSE(QFile::exists(launcher)) << "no key: nothing written";
    }
    if (old.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", old);
}

TEST(StationRace, RaceControlFollowsTheSettingsAndTimesARide) {
    QTemporaryDir dir;
    writeIni(dir, "[Po spusteni]\r\nMinuty=0\r\n[Semafor]\r\nPouzij=1\r\nProdleva=3\r\n");
    Station station{ProgramFolder(dir.path())};
    station.show(); // the start-up reads the settings file
    RaceControl& race = station.raceControl();
    EXPECT_FALSE(race.countsMinutes());
    station.settings().setBoolean(SettingId::cbMinuty, true);
    EXPECT_TRUE(race.countsMinutes());

    race.StartButton1Click();
    ASSERT_EQ(race.phase(), RacePhase::Lights);
    EXPECT_EQ(race.interval(RaceTimer::LightStep), 3000);
    race.fire(RaceTimer::LightStep);
    race.fire(RaceTimer::LightStep);
    EXPECT_EQ(race.phase(), RacePhase::Timing);
    race.StartButton1Click();
    EXPECT_EQ(race.phase(), RacePhase::Idle);
    EXPECT_FALSE(station.receivers().serialPortOpen());
}
