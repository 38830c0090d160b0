#include "core/textfile.h"
#include "logbook/logbook.h"
#include "logbook/logentries.h"
#include "support/filebytes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;

namespace vartemo {
void PrintTo(const LogBookEntry& e, std::ostream* os) {
    *os << e.level << ':' << e.text.toStdString();
}
} // namespace vartemo

namespace {

const QDateTime kLogbookNow(QDate(2026, 12, 9), QTime(14, 3, 27));

QDateTime fixedNow() {
    return kLogbookNow;
}

class LogBookFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("vartemo.den"));
    LogBook book{path, fixedNow};

    // What a whole rewrite of the book would put into the file.
    QByteArray rewritten() const { return textfile::encode(textfile::joinLines(LogBook::toLines(book.entries()))); }
};

const char* const kTwoRuns =
    "Spu\x9At\xECn\xED programu 8:00:01 7.12.2026\r\n"
    "\tOvlada\xE8 IR portu1 na\xE8ten\r\n"
    "\tK\xE8 150 Admin 9:12:40 7.12.2026\r\n"
    "Spu\x9At\xECn\xED programu 8:05:00 8.12.2026\r\n"
    "\tK\xE8 90 Petr 10:00:00 8.12.2026\r\n";

} // namespace

TEST_F(LogBookFile, FirstStartCreatesTheFileWithThisRun) {
    ASSERT_FALSE(QFile::exists(path));
    QString error;
    ASSERT_TRUE(book.LoadLogBook(&error)) << error.toStdString();
    EXPECT_EQ(readBytes(path), QByteArray("Spu\x9At\xECn\xED programu 14:03:27 9.12.2026\r\n"));
    ASSERT_TRUE(book.AddLogEntry(QStringLiteral("Ovladač IR portu1 načten")));
    EXPECT_EQ(readBytes(path), QByteArray("Spu\x9At\xECn\xED programu 14:03:27 9.12.2026\r\n"
                                          "\tOvlada\xE8 IR portu1 na\xE8ten\r\n"));
    EXPECT_EQ(book.entries(), (QList<LogBookEntry>{{0, QStringLiteral("Spuštění programu 14:03:27 9.12.2026")},
                                                   {1, QStringLiteral("Ovladač IR portu1 načten")}}));
}

TEST_F(LogBookFile, TwoRunsReadBackAndSaveToTheSameLines) {
    writeBytes(path, kTwoRuns);
    ASSERT_TRUE(book.LoadLogBook());
    const QList<LogBookEntry> expected{
        {0, QStringLiteral("Spuštění programu 8:00:01 7.12.2026")},
        {1, QStringLiteral("Ovladač IR portu1 načten")},
        {1, QStringLiteral("Kč 150 Admin 9:12:40 7.12.2026")},
        {0, QStringLiteral("Spuštění programu 8:05:00 8.12.2026")},
        {1, QStringLiteral("Kč 90 Petr 10:00:00 8.12.2026")},
        {0, QStringLiteral("Spuštění programu 14:03:27 9.12.2026")},
    };
    EXPECT_EQ(book.entries(), expected);
    EXPECT_EQ(readBytes(path), QByteArray(kTwoRuns) + "Spu\x9At\xECn\xED programu 14:03:27 9.12.2026\r\n");

    ASSERT_TRUE(book.AddLogEntry(QStringLiteral("COM port otevřen")));
    const QByteArray appended = readBytes(path);
    ASSERT_TRUE(book.SaveLogBook());
    // Appending each entry leaves exactly the file a whole rewrite gives.
    EXPECT_EQ(readBytes(path), appended);
    EXPECT_EQ(appended, rewritten());
}

TEST_F(LogBookFile, EveryEntryIsInTheFileWithoutSaving) {
    ASSERT_TRUE(book.LoadLogBook());
    ASSERT_TRUE(book.AddLogEntry(QStringLiteral("Kč 1000 Admin 14:03:27 9.12.2026")));
    // No SaveLogBook, no destructor: what a killed program leaves behind.
    const auto lines = textfile::readLines(path);
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->last(), QStringLiteral("\tKč 1000 Admin 14:03:27 9.12.2026"));
}

TEST_F(LogBookFile, DeeperTreesReadAndWriteBackUnchanged) {
    const QStringList lines{"a", "\tb", "\t\tc", "\t\t\td", "\tb2", "e", "\tf"};
    writeBytes(path, textfile::encode(textfile::joinLines(lines)));
    ASSERT_TRUE(book.LoadLogBook());
    EXPECT_EQ(LogBook::toLines(book.entries()).mid(0, lines.size()), lines);
    EXPECT_EQ(readBytes(path), rewritten());
}

TEST(LogBookLines, LevelsAreCountedFromTabsAndBlanks) {
    QString error;
    const auto entries = LogBook::fromLines({"  run", "\tx", " \ty", "", "\t", "z"}, &error);
    EXPECT_TRUE(error.isEmpty());
    // The first line starts the tree whatever its indentation; blank lines are skipped.
    EXPECT_EQ(entries, (QList<LogBookEntry>{{0, "run"}, {1, "x"}, {2, "y"}, {0, "z"}}));
}

TEST(LogBookLines, ALineTwoLevelsDeeperStopsTheReading) {
    struct Case {
        QStringList lines;
        QList<LogBookEntry> placed;
        QString error;
    };
    const Case cases[] = {
        {{"a", "\t\tb", "c"}, {{0, "a"}}, "Invalid level (2) for item 'b'"},
        {{"a", "\tb", "\t\t\t\tc", "d"}, {{0, "a"}, {1, "b"}}, "Invalid level (4) for item 'c'"},
        {{"a", "\tb", "\t\tc", "\td"}, {{0, "a"}, {1, "b"}, {2, "c"}, {1, "d"}}, ""},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_EQ(LogBook::fromLines(c.lines, &error), c.placed) << c.lines.join('|').toStdString();
        EXPECT_EQ(error, c.error);
    }
}

TEST_F(LogBookFile, AnUnreadableLineKeepsEveryLineOfTheFile) {
    const QByteArray original("old\r\n\t\t\tbad\r\nlater\r\n");
    writeBytes(path, original);
    QString error;
    EXPECT_FALSE(book.LoadLogBook(&error));
    EXPECT_EQ(error, QStringLiteral("Invalid level (3) for item 'bad'"));
    ASSERT_TRUE(book.AddLogEntry(QStringLiteral("Kč 10 Admin 14:03:27 9.12.2026")));
    ASSERT_TRUE(book.SaveLogBook());
    ASSERT_TRUE(book.AddProgramEnd());
    // The lines after the bad one stay; this run's entries follow them.
    EXPECT_EQ(readBytes(path), original + "Spu\x9At\xECn\xED programu 14:03:27 9.12.2026\r\n"
                                          "\tK\xE8 10 Admin 14:03:27 9.12.2026\r\n"
                                          "\tUkon\xE8\x65n\xED programu 14:03:27 9.12.2026\r\n");
}

// A last line without its line end is an append cut short by a crash: no
// entry, and the next start's lines do not build on it.
TEST_F(LogBookFile, AnUnfinishedLastLineIsCutShortAndSkipped) {
    writeBytes(path, "run\r\n\tK\xE8 150 Admin 9:12:40 7.12.2026\r\n\tK\xE8 2");
    ASSERT_TRUE(book.LoadLogBook());
    ASSERT_EQ(book.entries().size(), 3);
    EXPECT_EQ(book.entries()[1].text, QStringLiteral("Kč 150 Admin 9:12:40 7.12.2026"));
    const auto lines = textfile::readLines(path);
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, (QStringList{"run", "\tKč 150 Admin 9:12:40 7.12.2026", "Spuštění programu 14:03:27 9.12.2026"}));
    // A line ended by CR alone is whole.
    writeBytes(path, "run\r");
    ASSERT_TRUE(book.LoadLogBook());
    EXPECT_EQ(textfile::readLines(path), (QStringList{"run", "Spuštění programu 14:03:27 9.12.2026"}));
}

TEST_F(LogBookFile, ClearingLeavesOnlyTheNewRunAndItsNote) {
    writeBytes(path, kTwoRuns);
    ASSERT_TRUE(book.LoadLogBook());
    book.setCurrentOperator(QStringLiteral("Petr"));
    ASSERT_TRUE(book.ClearLogBook());
    ASSERT_TRUE(book.AddLogEntry(QStringLiteral("x")));
    EXPECT_EQ(*textfile::readLines(path), (QStringList{"Spuštění programu 14:03:27 9.12.2026",
                                                       "\t14:03:27 - Petr :deník smazán", "\tx"}));
}

TEST_F(LogBookFile, AFailedWriteIsCaughtUpByTheNextOne) {
    ASSERT_TRUE(book.LoadLogBook());
    // A folder in the file's place makes every write fail.
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkdir(path));
    QString error;
    EXPECT_FALSE(book.AddLogEntry(QStringLiteral("Kč 1 Admin 14:03:27 9.12.2026"), &error));
    EXPECT_FALSE(error.isEmpty());
    ASSERT_TRUE(QDir().rmdir(path));
    ASSERT_TRUE(book.AddLogEntry(QStringLiteral("Kč 2 Admin 14:03:27 9.12.2026")));
    EXPECT_EQ(*textfile::readLines(path),
              (QStringList{"Spuštění programu 14:03:27 9.12.2026", "\tKč 1 Admin 14:03:27 9.12.2026",
                           "\tKč 2 Admin 14:03:27 9.12.2026"}));
}

TEST(LogEntries, TextsOfTheSharedLines) {
    const QDateTime morning(QDate(2026, 1, 5), QTime(8, 4, 9));
    EXPECT_EQ(ProgramStartEntry(morning), QStringLiteral("Spuštění programu 8:04:09 5.1.2026"));
    EXPECT_EQ(ProgramEndEntry(morning), QStringLiteral("Ukončení programu 8:04:09 5.1.2026"));
    EXPECT_EQ(TimedEntry(morning, QStringLiteral("záloha dat")), QStringLiteral("8:04:09 - záloha dat"));
}
