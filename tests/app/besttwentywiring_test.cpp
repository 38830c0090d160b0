#include "app/besttwentywiring.h"
#include "core/programfolder.h"
#include "core/textfile.h"
#include "engine/qstringprinter.h"
#include "engine/raceboard.h"
#include "engine/raceboardview.h"
#include "engine/racefeeds.h"
#include "records/toptables.h"

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

QList<QMessageBox*> errorBoxes() {
    QList<QMessageBox*> boxes;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "BestTwentyError" && w->isVisible())
            boxes << static_cast<QMessageBox*>(w);
    return boxes;
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

    void TearDown() override {
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

} // namespace
