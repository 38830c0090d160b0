#include "app/besttwentywiring.h"
#include "core/programfolder.h"
#include "core/textfile.h"
#include "engine/commandbuttons.h"
#include "engine/qstringprinter.h"
#include "engine/raceboard.h"
#include "engine/raceboardview.h"
#include "engine/racefeeds.h"
#include "records/toptables.h"
#include "records/ttopten10frm.h"
#include "records/tupravdlg.h"

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/visibleboxes.h"

using namespace vartemo;

namespace {

QList<QMessageBox*> errorBoxes() {
    return VisibleBoxes(QStringLiteral("BestTwentyError"));
}

class Wiring : public ::testing::Test {
protected:
    QTemporaryDir home;
    ProgramFolder folder{home.path()};
    RaceBoard board;
    RaceFeeds feeds;
    QWidget mainWindow;
    RaceBoardView view{board};
    QStringList log;
    BestTwentyWiring wiring{{.folder = folder, .board = board, .feeds = feeds, .mainWindow = mainWindow,
                             .boardView = view,
                             .addLogEntry = [this](const QString& l) { log << l; },
                             .currentOperator = [] { return QStringLiteral("Admin"); }}};

    CommandButtons buttons;

    void TearDown() override {
        if (wiring.window())
            wiring.window()->close();
        for (QMessageBox* box : errorBoxes())
            box->close();
        QApplication::processEvents();
    }
};

TEST_F(Wiring, StartUpCreatesBothTablesOfPlaceholders) {
    wiring.load();
    for (const char* name : {"TopDeset.ini", "TopDeset1.ini"}) {
        const auto lines = textfile::readLines(home.filePath(name));
        ASSERT_TRUE(lines) << name;
        ASSERT_EQ(lines->size(), 20);
        EXPECT_EQ(lines->at(19), "20\tnoname\t59:59:999");
    }
}

TEST_F(Wiring, TheStopSavesWhatEnteredAndTellsOfBadLinesAfterItsLastStep) {
    wiring.load();
    for (int k = 1; k <= kKartCount; ++k)
        board.setExcluded(k, k > 2);
    board.setLines(1, BoardList::Lap, {"00:3x:000", "00:31:000"});
    board.setLines(2, BoardList::Lap, {"00:3x:000", "00:32:000"});
    ASSERT_TRUE(feeds.insertBestTwenty);
    EXPECT_NO_THROW(feeds.insertBestTwenty());
    EXPECT_TRUE(errorBoxes().isEmpty()); // nothing waits for the operator inside the STOP
    const auto men = textfile::readLines(home.filePath("TopDeset.ini"));
    ASSERT_TRUE(men);
    EXPECT_EQ(men->at(0), "1\tkara1\t00:31:000");
    EXPECT_EQ(men->at(1), "2\tkara2\t00:32:000");

    QApplication::processEvents();
    const QList<QMessageBox*> boxes = errorBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0]->text(), "'3x' is not a valid integer value");
}

TEST_F(Wiring, TheLapListsOfferOneKartByHand) {
    wiring.load();
    board.setExcluded(5, true);
    board.setWoman(5, true);
    board.setDriverName(5, "Jana");
    board.setLines(5, BoardList::Lap, {"00:44:000"});
    view.requestTopTwenty(5);
    const auto women = textfile::readLines(home.filePath("TopDeset1.ini"));
    ASSERT_TRUE(women);
    EXPECT_EQ(women->at(0), "1\tJana\t00:44:000");
}

TEST_F(Wiring, ARideThatEntersOpensTheWindowAfterTheStopOrOnlyRefreshesIt) {
    wiring.connectWindow(buttons);
    wiring.load();
    TTopTen10Frm* window = wiring.window();
    ASSERT_NE(window, nullptr);
    for (int k = 2; k <= kKartCount; ++k)
        board.setExcluded(k, true);

    board.setLines(1, BoardList::Lap, {"00:30:000"});
    feeds.insertBestTwenty();
    EXPECT_FALSE(window->isVisible()); // not inside the STOP
    QApplication::processEvents();
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(window->list(TopTable::Men)->item(0, 1)->text(), "kara1");

    // A rename is open when the next ride ends: the window stays, the rows
    // change under it, the rename still goes to its row.
    window->list(TopTable::Men)->selectRow(0);
    window->RenameSelected(TopTable::Men);
    auto* edit = mainWindow.findChild<TUpravDlg*>();
    ASSERT_NE(edit, nullptr);
    ASSERT_TRUE(edit->isVisible());
    board.setDriverName(1, "Druhý");
    board.setLines(1, BoardList::Lap, {"00:20:000"});
    feeds.insertBestTwenty();
    QApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(window->list(TopTable::Men)->item(0, 1)->text(), "Druhý");
    edit->jmeno()->setText("První");
    edit->findChild<QPushButton*>("OKBtn")->click();
    const auto men = textfile::readLines(home.filePath("TopDeset.ini"));
    EXPECT_EQ(men->at(0), "1\tDruhý\t00:20:000");
    EXPECT_EQ(men->at(1), "2\tPrvní\t00:30:000");
}

TEST_F(Wiring, TheCommandButtonOpensTheWindowAndItsHooksReachTheirParts) {
    wiring.connectWindow(buttons);
    QStringList calls;
    wiring.hooks().print = [&] { calls << "print"; };
    wiring.hooks().diploma = [&](const QString& name, int placement) {
        calls << QStringLiteral("diploma %1 %2").arg(name).arg(placement);
    };
    wiring.hooks().ftp = [&] { calls << "ftp"; };
    buttons.button("TopTen10")->click();
    TTopTen10Frm* window = wiring.window();
    ASSERT_TRUE(window->isVisible());
    window->findChild<QPushButton*>("btnTisk")->click();
    window->findChild<QPushButton*>("btnFtp")->click();
    window->list(TopTable::Women)->selectRow(1);
    window->DiplomaSelected(TopTable::Women);
    EXPECT_EQ(calls, QStringList({"print", "ftp", "diploma noname 1"}));
}

} // namespace
