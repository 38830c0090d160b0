#include "fleetfixture.h"

using namespace vartemo;
using vartemo::testing::FleetTest;

namespace {

// Kart 1, task 1: "Výměna oleje" every hour, with the driven time given.
class TaskTest : public FleetTest {
protected:
    void setUp(const QString& driven, int counter = 1) {
        writeFile("[Motokara1]\r\nUkol1=1\r\nUkolHodin1=1\r\nUkolMinut1=0\r\nHlaseni1=" +
                  QByteArray::number(counter) + "\r\nNajeto=" + driven.toLatin1() + "\r\n");
        fleet.LoadKartStatus();
        fleet.RefreshKartTotals();
        fleet.setTaskText(1, 1, QStringLiteral("Výměna oleje"));
        log.clear();
    }
    bool due() const { return fleet.marks(1, 1).due; }
};

const QString kDueLine = QStringLiteral("14:03:27 - úkol 1, motokára 1 Výměna oleje");
const QString kConfirmLine = QStringLiteral("14:03:27 - Admin: potvrzení úkolu 1 motokára 1");

} // namespace

TEST_F(TaskTest, ATaskFallsDueAtEachWholeInterval) {
    const struct {
        const char* driven;
        bool due;
    } cases[] = {{"0:59", false}, {"1:0", true}, {"1:59", true}, {"0:0", false}};
    for (const auto& c : cases) {
        // Marks and notices last for the run: a new run for every case.
        KartFleet run(path, {.addLogEntry = [this](const QString& line) { log << line; },
                             .currentOperator = {},
                             .now = [] { return QDateTime(QDate(2026, 12, 9), QTime(14, 3, 27)); }});
        setUp(QString::fromLatin1(c.driven));
        run.LoadKartStatus();
        run.setTaskText(1, 1, QStringLiteral("Výměna oleje"));
        run.CheckTasks();
        EXPECT_EQ(run.marks(1, 1).due, c.due) << c.driven;
        EXPECT_EQ(run.marks(1, 1).confirmEnabled, c.due) << c.driven;
        EXPECT_EQ(log, c.due ? QStringList{kDueLine} : QStringList{}) << c.driven;
        EXPECT_EQ(run.notice(1), c.due ? QStringLiteral("Výměna oleje\r") : QString()) << c.driven;
    }
}

TEST_F(TaskTest, AConfirmedTaskWaitsForTheNextInterval) {
    setUp(QStringLiteral("1:0"));
    fleet.CheckTasks();
    ASSERT_TRUE(fleet.ConfirmTask(1, 1));
    EXPECT_EQ(fleet.kart(1).tasks[0].counter, 2);
    EXPECT_EQ(log.last(), kConfirmLine);
    // The mark stays until the next check, which clears it; the button stays enabled.
    EXPECT_TRUE(due());
    fleet.CheckTasks();
    EXPECT_FALSE(due());
    EXPECT_TRUE(fleet.marks(1, 1).confirmEnabled);
    fleet.AddRideMinutes(ride({60}));
    fleet.CheckTasks();
    EXPECT_TRUE(due()); // at 2:0
}

TEST_F(TaskTest, At130MinutesOneConfirmationIsNotEnough) {
    setUp(QStringLiteral("2:10"));
    fleet.CheckTasks();
    EXPECT_TRUE(due());
    fleet.ConfirmTask(1, 1);
    fleet.CheckTasks();
    EXPECT_TRUE(due()); // 130 div 60 = 2 is still the counter
    fleet.ConfirmTask(1, 1);
    fleet.CheckTasks();
    EXPECT_FALSE(due());
    EXPECT_EQ(fleet.kart(1).tasks[0].counter, 3);
    EXPECT_EQ(log.count(kConfirmLine), 2);
    EXPECT_EQ(log.count(kDueLine), 2);
}

TEST_F(TaskTest, AnIntervalOfNothingOrATaskSwitchedOffIsNeverDue) {
    for (int counter : {-5, 0, 1}) {
        setUp(QStringLiteral("500:0"), counter);
        fleet.setIntervalHours(1, 1, 0);
        fleet.CheckTasks();
        EXPECT_FALSE(due()) << counter;
        fleet.setIntervalHours(1, 1, 1);
        fleet.setTaskEnabled(1, 1, false);
        fleet.CheckTasks();
        EXPECT_FALSE(due()) << counter;
        EXPECT_EQ(log, QStringList{}) << counter;
    }
}

TEST_F(TaskTest, AfterAResetNoTaskOfTheKartIsDue) {
    setUp(QStringLiteral("5:0"), 3);
    fleet.ResetDrivenTime(1);
    fleet.CheckTasks();
    EXPECT_FALSE(due());
    EXPECT_EQ(fleet.kart(1).tasks[0].counter, 1);
}

TEST_F(FleetTest, RefuelNoticeComesWhenTheTankNearsEmpty) {
    // 20 l tank, warn 10 dl before: 190 dl at 60 dl/h is 190 minutes.
    const struct {
        const char* driven;
        int margin;
        bool notice;
    } cases[] = {
        {"3:9", 10, false},  // 189,0 dl
        {"3:10", 10, true},  // 190,0 dl
        {"0:0", 10, false},
        {"0:0", 999, false}, // nothing used: no notice even with a margin past the tank
        {"0:1", 999, true},
    };
    for (const auto& c : cases) {
        writeFile("[Motokara5]\r\nDoplneni=1\r\nObsahNadrze=20\r\nPrumernaSpotreba=60\r\nDoplneniPredem=" +
                  QByteArray::number(c.margin) + "\r\nNajeto=" + c.driven + "\r\n");
        fleet.LoadKartStatus();
        fleet.AcknowledgeNotices();
        fleet.CheckFuel();
        EXPECT_EQ(fleet.notice(5), c.notice ? QStringLiteral("Doplňte palivo !\r") : QString()) << c.driven;
        EXPECT_EQ(fleet.hasNotices(), c.notice);
    }
    fleet.setRefuelNotice(5, false);
    fleet.AcknowledgeNotices();
    fleet.CheckFuel();
    EXPECT_FALSE(fleet.hasNotices());
}

TEST_F(FleetTest, NoticeHoldsTheRefuelLineThenTheDueTasksInOrder) {
    writeFile("[Motokara2]\r\nDoplneni=1\r\nObsahNadrze=1\r\nPrumernaSpotreba=100\r\nNajeto=2:0\r\n"
              "Ukol1=1\r\nUkolHodin1=1\r\nText1=Olej\r\n"
              "Ukol2=1\r\nUkolHodin2=5\r\nText2=Nikdy\r\n"
              "Ukol3=1\r\nUkolHodin3=2\r\nText3=Brzdy\r\n");
    fleet.LoadKartStatus();
    fleet.RefreshKartTotals();
    fleet.CheckFuel();
    fleet.CheckTasks();
    EXPECT_EQ(fleet.notice(2), QStringLiteral("Doplňte palivo !\rOlej\rBrzdy\r"));
    EXPECT_EQ(log, (QStringList{QStringLiteral("14:03:27 - úkol 1, motokára 2 Olej"),
                                QStringLiteral("14:03:27 - úkol 3, motokára 2 Brzdy")}));
    // Until acknowledged the texts grow with every check.
    fleet.CheckTasks();
    EXPECT_EQ(fleet.notice(2), QStringLiteral("Doplňte palivo !\rOlej\rBrzdy\rOlej\rBrzdy\r"));
    fleet.AcknowledgeNotices();
    for (int k = 1; k <= 8; ++k)
        EXPECT_EQ(fleet.notice(k), QString());
}

TEST_F(FleetTest, EveryDueTaskOfEveryKartIsLoggedAndAnUnreadableKartIsSkipped) {
    QByteArray bytes;
    for (int k = 1; k <= 8; ++k) {
        bytes += "[Motokara" + QByteArray::number(k) + "]\r\nNajeto=" + (k == 3 ? "abc" : "10:0") + "\r\n";
        for (int t = 1; t <= 4; ++t)
            bytes += "Ukol" + QByteArray::number(t) + "=1\r\nUkolMinut" + QByteArray::number(t) + "=30\r\n";
    }
    writeFile(bytes);
    fleet.LoadKartStatus();
    fleet.CheckTasks();
    EXPECT_EQ(log.size(), 28);
    EXPECT_EQ(log.filter(QStringLiteral("motokára 3")), QStringList{});
    EXPECT_FALSE(fleet.marks(3, 1).due);
    EXPECT_TRUE(fleet.marks(8, 4).due);
    EXPECT_EQ(log.last(), QStringLiteral("14:03:27 - úkol 4, motokára 8 "));
}
