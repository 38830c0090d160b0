// The kart fleet in the whole station: start-up step 15 with its notices,
// the STOP's fleet step, the status window during a ride and the close.

#include "app/fleetwiring.h"
#include "app/station.h"
#include "engine/racecontrol.h"
#include "engine/tform1.h"
#include "fleet/kartfleet.h"
#include "fleet/kartstatusfile.h"
#include "fleet/thlasenidlg.h"
#include "fleet/tstav_karfrm.h"
#include "support/filebytes.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

// Answers every message box and the notice dialog as they open, and keeps
// what they said.
struct Operator {
    QStringList messages;
    QStringList notices;
    bool noticeAboveSplash = false;
    QTimer timer;

    Operator() {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (!w->isVisible())
                    continue;
                if (auto* box = qobject_cast<QMessageBox*>(w)) {
                    messages << box->text();
                    box->close();
                }
            }
            if (auto* dialog = qobject_cast<THlaseniDlg*>(QApplication::activeModalWidget())) {
                noticeAboveSplash = dialog->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
                for (int k = 1; k <= 8; ++k)
                    notices << dialog->findChild<QLabel*>(QStringLiteral("Hlaseni%1").arg(k))->text();
                dialog->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
            }
        });
        timer.start();
    }
};

struct FleetStation : ::testing::Test {
    QTemporaryDir home;
    QString stav = home.filePath(QStringLiteral("stav.ini"));
    Operator op;

    QStringList logBookLines(Station& station) {
        QStringList lines;
        for (const LogBookEntry& e : station.logBook().entries())
            lines << e.text;
        return lines;
    }
    // A ride whose lap lists hold the given laps (kart 1 and kart 3).
    void ride(Station& station, const QStringList& laps) {
        RaceControl& race = station.raceControl();
        race.StartButton1Click();
        for (int step = 0; step < 3 && race.phase() == RacePhase::Lights; ++step)
            race.fire(RaceTimer::LightStep);
        ASSERT_EQ(race.phase(), RacePhase::Timing);
        station.board().setLines(1, BoardList::Lap, laps);
        station.board().setLines(3, BoardList::Lap, laps);
        race.StartButton1Click();
        QApplication::processEvents();
    }
};

const QByteArray kKartTwoNeedsService = "[Motokara2]\r\nDoplneni=1\r\nObsahNadrze=1\r\nPrumernaSpotreba=100\r\n"
                                        "Najeto=2:0\r\nUkol1=1\r\nUkolHodin1=1\r\nText1=Olej\r\n"
                                        "Ukol3=1\r\nUkolHodin3=2\r\nText3=Brzdy\r\n";

} // namespace

TEST_F(FleetStation, StartUpShowsTheRefuelLineAndTwoDueTasksAboveTheSplash) {
    writeBytes(stav, kKartTwoNeedsService);
    Station station{ProgramFolder(home.path())};
    station.show();
    ASSERT_EQ(op.notices.size(), 8);
    EXPECT_EQ(op.notices[1], QStringLiteral("Doplňte palivo !\nOlej\nBrzdy"));
    EXPECT_EQ(op.notices[0], QString());
    EXPECT_TRUE(op.noticeAboveSplash);
    EXPECT_FALSE(station.fleet().fleet().hasNotices()); // acknowledged
    const QStringList book = logBookLines(station);
    EXPECT_EQ(book.filter(QStringLiteral(" - úkol 1, motokára 2 Olej")).size(), 1);
    EXPECT_EQ(book.filter(QStringLiteral(" - úkol 3, motokára 2 Brzdy")).size(), 1);
    EXPECT_TRUE(station.fleet().statusWindow().findChild<QPushButton*>(QStringLiteral("btnHotovo2_3"))->isEnabled());
    EXPECT_TRUE(station.mainWindow().isVisible());
}

TEST_F(FleetStation, WithTheNoticesSettingOffOnlyTheRefuelCheckRuns) {
    writeBytes(stav, kKartTwoNeedsService);
    writeBytes(home.filePath(QStringLiteral("vartemo.ini")), "[Po spusteni]\r\nHlaseni=0\r\n");
    Station station{ProgramFolder(home.path())};
    station.show();
    EXPECT_TRUE(op.notices.isEmpty());
    EXPECT_EQ(station.fleet().fleet().notice(2), QStringLiteral("Doplňte palivo !\r"));
    EXPECT_TRUE(logBookLines(station).filter(QStringLiteral("úkol")).isEmpty());
    // Nor does the STOP check the tasks.
    ride(station, {QStringLiteral("01:00:000")});
    EXPECT_TRUE(logBookLines(station).filter(QStringLiteral("úkol")).isEmpty());
}

// Kart 3's driven time damaged by hand: start-up goes on with a message, the
// ride is closed (takings line), the other karts get their minutes.
TEST_F(FleetStation, AnUnreadableDrivenTimeNeitherStopsStartUpNorTheRide) {
    writeBytes(stav, "[Motokara1]\r\nNajeto=1:59\r\n[Motokara3]\r\nNajeto=abc\r\n");
    Station station{ProgramFolder(home.path())};
    station.show();
    QTest::qWait(50);
    EXPECT_EQ(op.messages.count(QStringLiteral("'abc' is not a valid integer value")), 1);
    op.messages.clear();

    ride(station, {QStringLiteral("01:00:000"), QStringLiteral("01:05:000")});
    QTest::qWait(50);
    EXPECT_EQ(op.messages, QStringList{QStringLiteral("'abc' is not a valid integer value")});
    EXPECT_EQ(station.raceControl().startCaption(), QStringLiteral("&START"));
    EXPECT_EQ(logBookLines(station).filter(QStringLiteral("Kč ")).size(), 1);
    const KartStatusRecords saved = LoadKartStatus(stav);
    EXPECT_EQ(saved[0].driven, QStringLiteral("2:1"));
    EXPECT_EQ(saved[2].driven, QStringLiteral("abc"));
}

TEST_F(FleetStation, AStatusFileThatCannotBeWrittenDoesNotStopTheRide) {
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("stav.ini")));
    Station station{ProgramFolder(home.path())};
    station.show();
    ride(station, {QStringLiteral("02:00:000")});
    QTest::qWait(50);
    ASSERT_EQ(op.messages.filter(stav).size(), 1) << op.messages.join(u'|').toStdString();
    EXPECT_EQ(logBookLines(station).filter(QStringLiteral("Kč ")).size(), 1);
    EXPECT_EQ(station.fleet().fleet().kart(1).driven, QStringLiteral("0:2"));
    // Once the file can be written the next save brings the records.
    ASSERT_TRUE(QDir(home.path()).rmdir(QStringLiteral("stav.ini")));
    ride(station, {QStringLiteral("01:00:000")});
    EXPECT_EQ(LoadKartStatus(stav)[0].driven, QStringLiteral("0:3"));
}

// The window open while a ride stops: its figures follow and leaving it
// leaves the ride's minutes in the file.
TEST_F(FleetStation, TheStatusWindowOpenDuringARideKeepsTheRidesMinutes) {
    Station station{ProgramFolder(home.path())};
    station.show();
    TStav_KarFrm& window = station.fleet().statusWindow();
    window.show();
    ride(station, {QStringLiteral("03:00:000")});
    EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("Najeto1"))->text(), QStringLiteral("0:3"));
    ASSERT_TRUE(QFile::remove(stav));
    window.findChild<QPushButton*>(QStringLiteral("OK"))->click();
    EXPECT_EQ(LoadKartStatus(stav)[0].driven, QStringLiteral("0:3"));
}

TEST_F(FleetStation, TheCloseWritesAllKartsUnlessEndingAfterARestore) {
    for (bool afterRestore : {false, true}) {
        QFile::remove(stav);
        {
            Station station{ProgramFolder(home.path())};
            station.show();
            station.fleet().fleet().setInitialHours(7, 12);
            station.fleet().setEndingAfterRestore(afterRestore);
            station.mainWindow().close();
        }
        if (afterRestore) {
            EXPECT_FALSE(QFile::exists(stav));
        } else {
            EXPECT_EQ(LoadKartStatus(stav)[6].initialHours, 12);
            EXPECT_EQ(readBytes(stav).count("Najeto="), 8);
        }
    }
}
