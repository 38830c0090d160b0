#include "about/taboutbox.h"
#include "about/tinformacedlg.h"
#include "about/versiontext.h"
#include "app/aboutwiring.h"
#include "app/fleetwiring.h"
#include "app/settingsdialogwiring.h"
#include "config/tnastavdlg.h"
#include "app/logbookwiring.h"
#include "app/station.h"
#include "core/textfile.h"
#include "engine/commandbuttons.h"
#include "engine/mainstatusbar.h"
#include "engine/tform1.h"
#include "logbook/tdenikfrm.h"
#include "platform/systeminfo.h"
#include "support/heldsysteminfo.h"
#include "support/visibleboxes.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

#include <cstdio>

using namespace vartemo;

namespace {

void closeStartupBoxes() {
    for (QMessageBox* box : VisibleBoxes(QStringLiteral("StartupError")))
        box->close();
}

// The rows between the status lines and "[ End ...]" of the last block.
QStringList systemInfoOfLastBlock(const QString& logPath) {
    const QStringList log = textfile::readLines(logPath).value_or(QStringList());
    const qsizetype start = log.lastIndexOf(QRegularExpression("\\[ Start .*"));
    const qsizetype end = log.lastIndexOf(QRegularExpression("\\[ End .*"));
    if (start < 0 || end < start + 10)
        return {};
    return log.mid(start + 10, end - start - 10);
}

// A station started in a folder of its own, its start-up boxes closed.
struct ShownStation : ::testing::Test {
    QTemporaryDir home;
    Station station{ProgramFolder(home.path())};
    void SetUp() override {
        station.show();
        closeStartupBoxes();
    }
};
using LogBookInStation = ShownStation;
using AboutInStation = ShownStation;

TEST(LogBookAcrossStarts, LoggingInReachesThePanelAndTheRideButNotTheNextStart) {
    QTemporaryDir home;
    {
        Station station{ProgramFolder(home.path())};
        station.show();
        closeStartupBoxes();
        auto* bar = station.mainWindow().findChild<MainStatusBar*>();
        ASSERT_NE(bar, nullptr);
        emit bar->userPanelClicked();
        TDenikFrm& window = station.logBookWindow().window();
        ASSERT_TRUE(window.isVisible());
        EXPECT_EQ(window.parentWidget(), &station.mainWindow());
        window.findChild<QComboBox*>("cbLog")->setEditText(QStringLiteral("Jan Novák"));
        QTest::mouseClick(window.findChild<QPushButton*>("OK"), Qt::LeftButton);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(bar->userName(), QStringLiteral("Jan Novák"));
        EXPECT_EQ(station.logBook().CurrentOperator(), QStringLiteral("Jan Novák"));
        ASSERT_TRUE(station.raceControl().feeds().currentOperator);
        EXPECT_EQ(station.raceControl().feeds().currentOperator(), QStringLiteral("Jan Novák"))
            << "the takings line of the next ride carries it";
    }
    Station next{ProgramFolder(home.path())};
    next.show();
    closeStartupBoxes();
    EXPECT_EQ(next.mainWindow().findChild<MainStatusBar*>()->userName(), QStringLiteral("Admin"));
}

TEST_F(LogBookInStation, NamesAddedInTheWindowReachVartemoIniAndTheLogBook) {
    TDenikFrm& window = station.logBookWindow().window();
    window.ShowModal();
    window.findChild<QLineEdit*>("Jmeno")->setText(QStringLiteral("Eva"));
    QTest::mouseClick(window.findChild<QPushButton*>("btnVlozit"), Qt::LeftButton);
    EXPECT_EQ(station.settings().operators(), QStringList{QStringLiteral("Eva")});
    EXPECT_TRUE(station.logBook().entries().last().text.endsWith(QStringLiteral(" - přidán uživatel: Eva")));
    EXPECT_EQ(window.findChild<QComboBox*>("cbLog")->itemText(1), QStringLiteral("Eva"));
}

TEST_F(LogBookInStation, TheKartStatusWindowOpensIt) {
    auto* button = station.fleet().statusWindow().findChild<QPushButton*>("BitBtn1");
    ASSERT_NE(button, nullptr);
    button->click();
    EXPECT_TRUE(station.logBookWindow().window().isVisible());
}

TEST_F(LogBookInStation, ClearingFromTheSettingsDialogShowsInTheOpenTree) {
    TDenikFrm& window = station.logBookWindow().window();
    window.ShowModal();
    auto* tree = window.findChild<QTreeView*>("tvDenik");
    station.AddLogEntry(QStringLiteral("Kč 150 Admin 14:05:03 9.12.2026"));
    const QModelIndex run = tree->model()->index(0, 0);
    EXPECT_EQ(tree->model()->index(tree->model()->rowCount(run) - 1, 0, run).data().toString(),
              QStringLiteral("Kč 150 Admin 14:05:03 9.12.2026"));

    station.settingsDialog().dialog().ensureBuilt();
    auto* clear = station.settingsDialog().dialog().findChild<QPushButton*>("btnSmazatDenik");
    ASSERT_NE(clear, nullptr);
    clear->click();
    ASSERT_EQ(tree->model()->rowCount(), 1);
    const QModelIndex fresh = tree->model()->index(0, 0);
    ASSERT_EQ(tree->model()->rowCount(fresh), 1);
    EXPECT_TRUE(tree->model()->index(0, 0, fresh).data().toString().endsWith(QStringLiteral(" - Admin :deník smazán")));
}

TEST_F(AboutInStation, OpensFromTheButtonWithTheProgramLogsTextAndTheHistory) {
    TAboutBox& box = station.about().aboutBox();
    EXPECT_EQ(box.productName(), QStringLiteral("Vartemo Kestral verze 2.3"));
    const QStringList logged = systemInfoOfLastBlock(home.filePath("vartemo.log"));
    ASSERT_FALSE(logged.isEmpty());
    EXPECT_EQ(box.systemInfo(), logged);

    auto* button = station.mainWindow().findChild<QPushButton*>("btnOprogramu");
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isEnabled());
    button->click();
    EXPECT_TRUE(box.isVisible());

    // The first start put the shipped history into the program folder.
    EXPECT_TRUE(QFile::exists(home.filePath("Historie.txt")));
    EXPECT_TRUE(station.about().historyWindow().text().startsWith(QStringLiteral("Vartemo Kestral – historie změn")));
    QTest::mouseClick(box.findChild<QPushButton*>("InformaceBtn"), Qt::LeftButton);
    EXPECT_TRUE(station.about().historyWindow().isVisible());
}

TEST(AboutWithASilentSystem, NeitherTheStartNorTheTimersAreHeld) {
    QTemporaryDir home;
    QWidget mainWindow;
    CommandButtons buttons(&mainWindow);
    auto source = std::make_shared<HeldSystemInfoSource>(QStringLiteral("trat-pc"));
    AboutWiring about(source, home.path(), mainWindow);
    about.createHistoryWindow();
    about.createAboutBox(buttons);

    QElapsedTimer clock;
    clock.start();
    const QStringList startupRows = about.setVersion({QStringLiteral("Vartemo Kestral verze 2.3"), QStringLiteral("sestavení 1")});
    const qint64 startupWait = clock.elapsed();
    EXPECT_TRUE(startupRows.contains(QStringLiteral("Jméno počítače:\t"))) << "the start goes on with empty values";

    // A 2 ms poll like the karts' keeps ticking while the window opens.
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    qint64 last = 0, largestGap = 0;
    int ticks = 0;
    QElapsedTimer since;
    since.start();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        largestGap = std::max(largestGap, since.elapsed() - last);
        last = since.elapsed();
        ++ticks;
    });
    poll.start(2);
    clock.restart();
    emit buttons.about();
    const qint64 opening = clock.elapsed();
    EXPECT_TRUE(about.aboutBox().isVisible());
    EXPECT_EQ(about.aboutBox().systemInfo(), startupRows) << "opens with the start-up text";
    QEventLoop running; // the station's own loop, not qWait's sleeps
    QTimer::singleShot(300, &running, &QEventLoop::quit);
    running.exec();
    EXPECT_GT(ticks, 0);
    source->release();
    QTRY_VERIFY(about.aboutBox().systemInfo().contains(QStringLiteral("Jméno počítače:\ttrat-pc")));
    std::printf("start-up wait %lld ms, window open after %lld ms, largest gap of the 2 ms timer %lld ms over %d ticks\n",
                qint64(startupWait), qint64(opening), qint64(largestGap), ticks);
}

} // namespace
