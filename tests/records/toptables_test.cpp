#include "core/textfile.h"
#include "engine/qstringprinter.h"
#include "engine/raceboard.h"
#include "engine/timetext.h"
#include "records/toptables.h"
#include "support/filebytes.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

// Twenty rows whose times are first, first + step, ... (ms), named r1..r20.
QStringList tableLines(TimeMs first, TimeMs step = 1000) {
    QStringList lines;
    for (int i = 0; i < kTopTenRows; ++i)
        lines << QStringLiteral("%1\tr%1\t%2").arg(i + 1).arg(FormatTimeText(first + i * step));
    return lines;
}

QStringList names(const TopTenTable& t) {
    QStringList out;
    for (const TopTenRow& r : t.rows())
        out << r.name();
    return out;
}

QStringList times(const TopTenTable& t) {
    QStringList out;
    for (const TopTenRow& r : t.rows())
        out << r.time();
    return out;
}

class Tables : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QStringList log;
    TopTables tables{dir.path(),
                     {.addLogEntry = [this](const QString& l) { log << l; },
                      .currentOperator = [] { return QStringLiteral("Petr"); },
                      .now = [] { return QDateTime(QDate(2026, 12, 9), QTime(14, 3, 27)); }}};
    RaceBoard board;
    QString menPath = dir.filePath(QStringLiteral("TopDeset.ini"));
    QString womenPath = dir.filePath(QStringLiteral("TopDeset1.ini"));

    void SetUp() override {
        // Men 00:30:000 .. 00:49:000, women 00:40:000 .. 00:59:000.
        writeFiles(tableLines(30'000), tableLines(40'000));
        for (int k = 1; k <= kKartCount; ++k)
            board.setExcluded(k, true);
    }
    void writeFiles(const QStringList& men, const QStringList& women) {
        ASSERT_TRUE(textfile::writeLines(menPath, men));
        ASSERT_TRUE(textfile::writeLines(womenPath, women));
    }
    void ride(int kart, const QStringList& laps, const QString& driver = {}, bool woman = false) {
        board.setExcluded(kart, false);
        board.setLines(kart, BoardList::Lap, laps);
        if (!driver.isEmpty())
            board.setDriverName(kart, driver);
        board.setWoman(kart, woman);
    }
    TopTenTable fileTable(const QString& path) {
        TopTenTable t;
        t.setLines(*textfile::readLines(path));
        return t;
    }
};

// The end of a ride against tables given as files; each case names what
// the karts drove and what the files hold afterwards.
TEST_F(Tables, StopOffersTheBestLapOfEveryKartThatTookPart) {
    const QString twentieth = FormatTimeText(49'000);

    {   // Nothing to offer: no lap, or only zero laps.
        SCOPED_TRACE("empty and zero laps");
        ride(1, {});
        ride(2, {QStringLiteral("00:00:000")});
        QSignalSpy entered(&tables, &TopTables::entered);
        QSignalSpy changed(&tables, &TopTables::changed);
        EXPECT_TRUE(tables.TopTenDeset(board).isEmpty());
        EXPECT_EQ(entered.count(), 0);
        EXPECT_EQ(changed.count(), 1); // the commit saves all the same
        EXPECT_EQ(*textfile::readLines(menPath), tableLines(30'000));
    }
    {   // Equal to the twentieth stays out.
        SCOPED_TRACE("equal");
        ride(1, {QStringLiteral("00:50:000"), QStringLiteral("00:49:000")}, QStringLiteral("Eva"));
        QSignalSpy entered(&tables, &TopTables::entered);
        tables.TopTenDeset(board);
        EXPECT_EQ(entered.count(), 0);
        EXPECT_EQ(*textfile::readLines(menPath), tableLines(30'000));
    }
    {   // One millisecond faster enters; the former twentieth is gone.
        SCOPED_TRACE("1 ms faster");
        ride(1, {QStringLiteral("00:48:999")}, QStringLiteral("Eva"));
        QSignalSpy entered(&tables, &TopTables::entered);
        tables.TopTenDeset(board);
        EXPECT_EQ(entered.count(), 1);
        const TopTenTable men = fileTable(menPath);
        EXPECT_EQ(men.row(19).fields, QStringList({"20", "Eva", "00:48:999"}));
        EXPECT_EQ(men.row(18).fields, QStringList({"19", "r19", "00:48:000"}));
        EXPECT_FALSE(times(men).contains(twentieth));
    }
}

TEST_F(Tables, ASecondKartMeetsTheTableAsTheFirstLeftIt) {
    // The first kart enters; the second lies between the former 19th (00:48)
    // and 20th (00:49): once the first is in, the 20th is the former 19th,
    // which is faster than the second kart, so it stays.
    ride(1, {QStringLiteral("00:10:000")}, QStringLiteral("Rychlý"));
    ride(2, {QStringLiteral("00:48:500")}, QStringLiteral("Pomalý"));
    tables.TopTenDeset(board);
    const TopTenTable men = fileTable(menPath);
    EXPECT_EQ(men.row(0).name(), "Rychlý");
    EXPECT_FALSE(names(men).contains("Pomalý"));
    EXPECT_EQ(men.row(19).fields, QStringList({"20", "r19", "00:48:000"}));
}

TEST_F(Tables, EightKartsFasterThanTheWholeTableAllEnter) {
    for (int k = 1; k <= kKartCount; ++k)
        ride(k, {FormatTimeText(20'000 + k * 100), QStringLiteral("01:00:000")});
    QSignalSpy entered(&tables, &TopTables::entered);
    tables.TopTenDeset(board);
    EXPECT_EQ(entered.count(), 1);
    const TopTenTable men = fileTable(menPath);
    for (int k = 1; k <= kKartCount; ++k)
        EXPECT_EQ(men.row(k - 1).fields, QStringList({QString::number(k), RaceBoard::DefaultDriverName(k),
                                                      FormatTimeText(20'000 + k * 100)}));
    // Former rows 1..12 follow, 13..20 are gone.
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(men.row(8 + i).name(), QStringLiteral("r%1").arg(i + 1));
}

TEST_F(Tables, AWomanGoesIntoTheWomensTableOnly) {
    ride(3, {QStringLiteral("00:05:000")}, QStringLiteral("Jana"), /*woman=*/true);
    tables.TopTenDeset(board);
    EXPECT_EQ(*textfile::readLines(menPath), tableLines(30'000));
    const TopTenTable women = fileTable(womenPath);
    EXPECT_EQ(women.row(0).fields, QStringList({"1", "Jana", "00:05:000"}));
    EXPECT_EQ(women.row(19).time(), "00:58:000");
}

TEST_F(Tables, AKartWithoutParticipationIsSkippedAtTheStopButNotByHand) {
    board.setLines(1, BoardList::Lap, {QStringLiteral("00:12:000")}); // never named, "Bez účasti"
    tables.TopTenDeset(board);
    EXPECT_FALSE(names(fileTable(menPath)).contains("kara1"));

    QSignalSpy entered(&tables, &TopTables::entered);
    EXPECT_TRUE(tables.InsertKart(board, 1).isEmpty());
    EXPECT_EQ(entered.count(), 1);
    EXPECT_EQ(fileTable(menPath).row(0).fields, QStringList({"1", "kara1", "00:12:000"}));
}

TEST_F(Tables, ByHandTheTablesInMemoryCountAndMinutesWrapAtTheHour) {
    QStringList men = tableLines(30'000);
    men[19] = QStringLiteral("20\tpomalý\t99:00:000");
    writeFiles(men, tableLines(40'000));
    tables.Load();
    board.setLines(2, BoardList::Lap, {QStringLiteral("75:00:000")});
    EXPECT_TRUE(tables.InsertKart(board, 2).isEmpty());
    const TopTenTable saved = fileTable(menPath);
    EXPECT_EQ(saved.row(19).fields, QStringList({"20", "kara2", "15:00:000"}));
    EXPECT_FALSE(names(saved).contains("pomalý"));
    // An empty lap list offers nothing and saves nothing.
    QSignalSpy changed(&tables, &TopTables::changed);
    tables.InsertKart(board, 3);
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(Tables, AHandOrderedFileKeepsItsOrderUntilTheCommit) {
    QStringList men = tableLines(30'000);
    std::reverse(men.begin(), men.end());
    writeFiles(men, tableLines(40'000));
    tables.Load();
    QStringList errors;
    ASSERT_TRUE(tables.Rename(TopTable::Men, 0, "r20", "00:49:000", "Přejmenovaný", errors));
    EXPECT_TRUE(errors.isEmpty());
    QStringList expected = men;
    expected[0] = QStringLiteral("20\tPřejmenovaný\t00:49:000");
    EXPECT_EQ(*textfile::readLines(menPath), expected);

    tables.CommitTopTables(0);
    const TopTenTable sorted = fileTable(menPath);
    EXPECT_EQ(sorted.row(0).fields, QStringList({"1", "r1", "00:30:000"}));
    EXPECT_EQ(sorted.row(19).fields, QStringList({"20", "Přejmenovaný", "00:49:000"}));
}

TEST_F(Tables, AFileWithExtraFieldsEmptyPiecesAndAnEmptyLineSavesToTheSameBytes) {
    QByteArray bytes;
    for (int i = 1; i <= kTopTenRows; ++i) {
        if (i == 4)
            bytes += "\r\n"; // an empty line is a row of its own
        else if (i == 7)
            bytes += "7\t\t00:41:000\t\r\n"; // empty name, empty extra field
        else if (i == 9)
            bytes += "9\t\x8A\x9D\x61stn\xFD\t00:42:000\tpozn\xE1mka\t\t3\r\n"; // "Šťastný", extra fields
        else
            bytes += QStringLiteral("%1\tr\t00:%2:000\r\n").arg(i).arg(i + 30).toLatin1();
    }
    writeBytes(menPath, bytes);
    EXPECT_TRUE(tables.Load().isEmpty());
    EXPECT_EQ(tables.men().row(8).name(), "Šťastný");
    EXPECT_EQ(tables.men().row(3).fields, QStringList({""}));
    EXPECT_TRUE(tables.Ulozit().isEmpty());
    EXPECT_EQ(readBytes(menPath), bytes);
}

TEST_F(Tables, ResetWritesTwentyPlaceholderRowsToEachFileAndLogsIt) {
    QStringList men = tableLines(30'000);
    men[2] += QStringLiteral("\textra");
    writeFiles(men, tableLines(40'000));
    tables.Load();
    QSignalSpy changed(&tables, &TopTables::changed);
    EXPECT_TRUE(tables.Reset().isEmpty());
    EXPECT_EQ(changed.count(), 1);
    QByteArray expected;
    for (int i = 1; i <= kTopTenRows; ++i)
        expected += QByteArray::number(i) + "\tnoname\t59:59:999\r\n";
    EXPECT_EQ(readBytes(menPath), expected);
    EXPECT_EQ(readBytes(womenPath), expected);
    EXPECT_EQ(log, QStringList({"14:03:27 - Petr :vynulování TOP tabulek"}));
}

TEST_F(Tables, MissingAndShortFilesGetTwentyRows) {
    QFile::remove(menPath);
    writeFiles({}, {}); // recreate both, women's short below
    QFile::remove(menPath);
    const QStringList shortWomen = tableLines(40'000).mid(0, 3);
    ASSERT_TRUE(textfile::writeLines(womenPath, shortWomen));

    EXPECT_TRUE(tables.Load().isEmpty());
    QByteArray placeholders;
    for (int i = 1; i <= kTopTenRows; ++i)
        placeholders += QByteArray::number(i) + "\tnoname\t59:59:999\r\n";
    EXPECT_EQ(readBytes(menPath), placeholders);
    // The short one is whole in memory, and its file untouched until a save.
    ASSERT_EQ(tables.women().size(), kTopTenRows);
    EXPECT_EQ(tables.women().row(19).fields, QStringList({"20", "noname", "59:59:999"}));
    EXPECT_EQ(*textfile::readLines(womenPath), shortWomen);
    QStringList errors;
    tables.Delete(TopTable::Women, 19, errors);
    EXPECT_EQ(textfile::readLines(womenPath)->size(), kTopTenRows);
}

TEST_F(Tables, AFileUnderAnotherSpellingIsReadAndWrittenUnderIt) {
    QFile::remove(menPath);
    const QString other = dir.filePath(QStringLiteral("TOPDESET.INI"));
    ASSERT_TRUE(textfile::writeLines(other, tableLines(10'000)));
    EXPECT_TRUE(tables.Load().isEmpty());
    EXPECT_FALSE(QFile::exists(menPath)); // no second file beside it
    EXPECT_EQ(tables.men().row(0).time(), "00:10:000");
    ride(1, {QStringLiteral("00:05:000")});
    tables.TopTenDeset(board);
    EXPECT_FALSE(QFile::exists(menPath));
    EXPECT_EQ(fileTable(other).row(0).fields, QStringList({"1", "kara1", "00:05:000"}));
}

TEST_F(Tables, AnUnreadableFileIsReportedAndNeverOverwritten) {
    QFile::remove(menPath);
    ASSERT_TRUE(QDir(dir.path()).mkdir("TopDeset.ini")); // exists, cannot be read as a file
    const QStringList errors = tables.Load();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("nelze přečíst")) << errors[0].toStdString();
    ride(1, {QStringLiteral("00:05:000")});
    EXPECT_FALSE(tables.TopTenDeset(board).isEmpty());
    EXPECT_TRUE(QFileInfo(menPath).isDir());
    // The women's table was saved all the same.
    EXPECT_EQ(fileTable(womenPath).row(0).time(), "00:40:000");
}

TEST_F(Tables, UnreadableTimesNeverAbandonTheStop) {
    // Kart 1's bad line is skipped, its good lap counts; kart 2 has the same
    // bad line: one message. A row with an unreadable time keeps its text
    // and sorts as a placeholder, ahead of the real placeholders.
    QStringList men = tableLines(30'000);
    men[17] = QStringLiteral("18\tpokažený\t0x:12:000");
    men[18] = QStringLiteral("19\tnoname\t59:59:999");
    men[19] = QStringLiteral("20\tnoname\t59:59:999");
    writeFiles(men, tableLines(40'000));
    ride(1, {QStringLiteral("00:4x:000"), QStringLiteral("00:50:000")}, QStringLiteral("Adam"));
    ride(2, {QStringLiteral("00:4x:000")}, QStringLiteral("Bára"));
    QStringList errors;
    EXPECT_NO_THROW(errors = tables.TopTenDeset(board));
    EXPECT_EQ(errors, QStringList({"'4x' is not a valid integer value"}));
    const TopTenTable saved = fileTable(menPath);
    EXPECT_EQ(saved.row(16).name(), "r17");
    EXPECT_EQ(saved.row(17).fields, QStringList({"18", "Adam", "00:50:000"}));
    EXPECT_EQ(saved.row(18).fields, QStringList({"19", "pokažený", "0x:12:000"}));
    EXPECT_EQ(saved.row(19).fields, QStringList({"20", "noname", "59:59:999"}));
    EXPECT_FALSE(names(saved).contains("Bára"));
}

TEST_F(Tables, NamesLoseTabsAndLineEndsWhenTheyEnterARow) {
    ride(1, {QStringLiteral("00:05:000")}, QStringLiteral("Jan\tNový\r\nml."));
    tables.TopTenDeset(board);
    QStringList errors;
    ASSERT_TRUE(tables.Rename(TopTable::Women, 0, "r1", "00:40:000", "Eva\nKrátká", errors));
    EXPECT_EQ(fileTable(menPath).row(0).fields, QStringList({"1", "Jan Nový  ml.", "00:05:000"}));
    EXPECT_EQ(fileTable(womenPath).row(0).fields, QStringList({"1", "Eva Krátká", "00:40:000"}));
    EXPECT_EQ(textfile::readLines(menPath)->size(), kTopTenRows);
}

TEST_F(Tables, ARenameAppliesToTheRowItWasOpenedForOrToNone) {
    tables.Load();
    QStringList errors;
    // Another commit moved the row: the rename follows it.
    ride(1, {QStringLiteral("00:01:000")});
    tables.TopTenDeset(board);
    ASSERT_EQ(tables.men().row(3).name(), "r3");
    EXPECT_TRUE(tables.Rename(TopTable::Men, 2, "r3", "00:32:000", "Nové", errors));
    EXPECT_EQ(tables.men().row(3).name(), "Nové");
    // The row is gone (deleted meanwhile): nothing changes.
    tables.Delete(TopTable::Men, 5, errors);
    QSignalSpy changed(&tables, &TopTables::changed);
    EXPECT_FALSE(tables.Rename(TopTable::Men, 5, "r5", "00:34:000", "Nikdo", errors));
    EXPECT_EQ(changed.count(), 0);
    EXPECT_FALSE(names(tables.men()).contains("Nikdo"));
}

TEST_F(Tables, DeleteMovesTheRowsUpAndPutsAPlaceholderLast) {
    tables.Load();
    QStringList errors;
    tables.Delete(TopTable::Men, 0, errors);
    const TopTenTable saved = fileTable(menPath);
    EXPECT_EQ(saved.row(0).fields, QStringList({"1", "r2", "00:31:000"}));
    EXPECT_EQ(saved.row(18).fields, QStringList({"19", "r20", "00:49:000"}));
    EXPECT_EQ(saved.row(19).fields, QStringList({"20", "noname", "59:59:999"}));
    tables.Delete(TopTable::Men, 20, errors); // out of range: nothing
    EXPECT_EQ(fileTable(menPath).rows(), saved.rows());
}

TEST_F(Tables, AMoveKeepsTheTwentyFastestOfTheTarget) {
    struct Case {
        const char* why;
        int menRow;           // 0-based row moved from the men's table
        QString menTime;      // the time of that row before the move
        bool stays;           // it is in the women's table afterwards
    };
    const Case cases[] = {
        {"faster than the women's 20th: the 20th drops", 0, "00:30:000", true},
        {"slower than all twenty women: it drops, their 20th stays", -1, "01:30:000", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        QStringList men = tableLines(30'000);
        int row = c.menRow;
        if (row < 0) {
            row = 19;
            men[19] = QStringLiteral("20\tpomalý\t") + c.menTime;
        }
        writeFiles(men, tableLines(40'000));
        tables.Load();
        const QString movedName = tables.men().row(row).name();
        QStringList errors;
        tables.Move(TopTable::Men, row, errors);
        const TopTenTable women = fileTable(womenPath);
        const TopTenTable menAfter = fileTable(menPath);
        EXPECT_EQ(names(women).contains(movedName), c.stays);
        EXPECT_EQ(women.row(19).time(), c.stays ? "00:58:000" : "00:59:000");
        EXPECT_EQ(menAfter.row(19).fields, QStringList({"20", "noname", "59:59:999"}));
        EXPECT_FALSE(names(menAfter).contains(movedName));
    }
}

TEST_F(Tables, MovingAPlaceholderLeavesPlaceholdersOnBothSides) {
    QStringList women = tableLines(40'000);
    women[19] = QStringLiteral("20\tnoname\t59:59:999");
    writeFiles(tableLines(30'000), women);
    tables.Load();
    QStringList errors;
    tables.Move(TopTable::Women, 19, errors);
    EXPECT_EQ(fileTable(womenPath).row(19).fields, QStringList({"20", "noname", "59:59:999"}));
    const TopTenTable men = fileTable(menPath);
    EXPECT_EQ(men.row(19).fields, QStringList({"20", "r20", "00:49:000"}));
}

TEST(DiplomaPlacement, RanksOneToFiveTheirEntrySixTheFifthBeyondNone) {
    const std::pair<int, std::optional<int>> cases[] = {
        {1, 0}, {2, 1}, {5, 4}, {6, 4}, {7, std::nullopt}, {20, std::nullopt}, {0, std::nullopt}};
    for (const auto& [position, placement] : cases)
        EXPECT_EQ(DiplomaPlacement(position), placement) << position;
}

} // namespace
