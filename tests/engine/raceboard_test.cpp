#include "engine/raceboard.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace vartemo;

TEST(RaceBoard, LineFormats) {
    RaceBoard board;
    board.AddLapLine(1, 12'234);
    board.AddTrackLapLine(1, 12'234);
    board.AddSplitLine(1, QStringLiteral("10"), 4'321);
    board.AddSplitLine(1, QStringLiteral("1234"), 4'321);
    board.AddSplitLine(1, QString(), 4'321);
    EXPECT_EQ(board.lines(1, BoardList::Lap), QStringList{QStringLiteral("00:12:234")});
    EXPECT_EQ(board.lines(1, BoardList::Track),
              (QStringList{QStringLiteral("  L 00:12:234"), QStringLiteral("10 00:04:321"),
                           QStringLiteral("123 00:04:321"), QStringLiteral(" 00:04:321")}));
}

TEST(RaceBoard, DeleteFirstLineOnEveryListIndependently) {
    RaceBoard board;
    board.AddLapLine(1, 1000);
    board.AddLapLine(1, 2000);
    board.AddTrackLapLine(1, 1000);
    board.AddLapLine(8, 3000);
    board.DeleteFirstLine();
    EXPECT_EQ(board.lines(1, BoardList::Lap), QStringList{QStringLiteral("00:02:000")});
    EXPECT_TRUE(board.lines(1, BoardList::Track).isEmpty());
    EXPECT_TRUE(board.lines(8, BoardList::Lap).isEmpty());
    EXPECT_TRUE(board.lines(5, BoardList::Lap).isEmpty());
}

TEST(RaceBoard, ClearListsEmptiesAllSixteen) {
    RaceBoard board;
    for (int k = 1; k <= kKartCount; ++k) {
        board.AddLapLine(k, k);
        board.AddSplitLine(k, QStringLiteral("01"), k);
    }
    board.ClearLists();
    for (int k = 1; k <= kKartCount; ++k) {
        EXPECT_EQ(board.lapCount(k), 0);
        EXPECT_TRUE(board.lines(k, BoardList::Track).isEmpty());
    }
}

TEST(RaceBoard, DriverNamesAndDefaults) {
    RaceBoard board;
    EXPECT_EQ(board.DriverName(3), QStringLiteral("kara3"));
    board.setDriverName(3, QStringLiteral("Novák"));
    EXPECT_EQ(board.DriverName(3), QStringLiteral("Novák"));
    board.resetDriverNames();
    EXPECT_EQ(board.DriverName(3), QStringLiteral("kara3"));
}

TEST(RaceBoard, DeletingOutOfRangeChangesNothing) {
    RaceBoard board;
    board.AddLapLine(2, 1000);
    QSignalSpy resets(&board, &RaceBoard::listReset);
    board.deleteLine(2, BoardList::Lap, -1);
    board.deleteLine(2, BoardList::Lap, 1);
    EXPECT_EQ(board.lapCount(2), 1);
    EXPECT_EQ(resets.count(), 0);
}
