#include "core/textfile.h"
#include "engine/lapfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "qstringprinter.h"

using namespace vartemo;
using namespace vartemo::lapfiles;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QDateTime kStopTime(QDate(2008, 5, 17), QTime(14, 3, 7));

} // namespace

TEST(LapFiles, SavedListLoadsBackIdenticalAsCp1250WithCrLf) {
    QTemporaryDir dir;
    const QStringList laps = {"00:12:234", "01:07:042", "00:59:999", "00:00:001", "10:00:000"};
    const QString path = dir.filePath("a.caskola");
    ASSERT_TRUE(Save(path, laps));
    EXPECT_EQ(fileBytes(path), QByteArray("00:12:234\r\n01:07:042\r\n00:59:999\r\n00:00:001\r\n"
                                          "10:00:000\r\n"));
    EXPECT_EQ(Load(path), laps);

    const QStringList track = {"  L 00:12:234", "10 00:04:321", " 00:01:000", "Žíř 00:02:000"};
    ASSERT_TRUE(Save(dir.filePath("b.casdraha"), track));
    EXPECT_EQ(fileBytes(dir.filePath("b.casdraha")).mid(41, 3), QByteArray("\x8e\xed\xf8"));
    EXPECT_EQ(Load(dir.filePath("b.casdraha")), track);
}

TEST(LapFiles, LoadingAcceptsAnyLineEndsAndAnyText) {
    QTemporaryDir dir;
    const QString path = dir.filePath("old.txt");
    writeBytes(path, "00:01:000\n00:02:000\r00:03:000\r\nnot a time");
    EXPECT_EQ(Load(path), QStringList({"00:01:000", "00:02:000", "00:03:000", "not a time"}));
}

TEST(LapFiles, MissingFileGivesTheOpenMessage) {
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(Load(dir.filePath("none.caskola"), &error));
    EXPECT_TRUE(error.contains("none.caskola")) << error.toStdString();
    EXPECT_FALSE(Save(dir.filePath("no/folder/x.caskola"), {"00:01:000"}, &error));
    EXPECT_TRUE(error.startsWith("Cannot create file")) << error.toStdString();
}

TEST(LapFiles, DialogFilterEntriesAndTheExtensionOfATypedName) {
    const auto entries = FilterEntries();
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].caption, "mezičasy kola");
    EXPECT_EQ(entries[1].pattern, "*.casdraha");
    EXPECT_EQ(entries[2].caption, "výsledky (starý formát)");

    EXPECT_EQ(InitialFilterIndex("Uloz1"), 0);
    EXPECT_EQ(InitialFilterIndex("Nacti8"), 0);
    EXPECT_EQ(InitialFilterIndex("Uloz1_Draha"), 1);
    EXPECT_EQ(InitialFilterIndex("Nacti3_Draha"), 1);

    EXPECT_EQ(WithFilterExtension("/r/petr", "*.caskola"), "/r/petr.caskola");
    EXPECT_EQ(WithFilterExtension("/r/petr", "*.casdraha"), "/r/petr.casdraha");
    EXPECT_EQ(WithFilterExtension("/r/petr.txt", "*.caskola"), "/r/petr.txt");
    EXPECT_EQ(WithFilterExtension("/r/petr", "*"), "/r/petr");
}

TEST(LapFiles, DropsGoOnlyToTheMatchingKindOfList) {
    struct Case {
        const char* control;
        const char* file;
        int kart; // 0: ignored
        BoardList list;
    };
    const Case cases[] = {
        {"Kola_mezicas3", "/r/a.caskola", 3, BoardList::Lap},
        {"Draha_mezicas8", "/r/a.casdraha", 8, BoardList::Track},
        {"Draha_mezicas1", "/r/a.caskola", 0, BoardList::Lap},
        {"Kola_mezicas1", "/r/a.casdraha", 0, BoardList::Lap},
        {"Kola_mezicas1", "/r/a.CASKOLA", 0, BoardList::Lap},
        {"Kola_mezicas1", "/r/a.caskola.txt", 0, BoardList::Lap},
        {"Kola_mezicas9", "/r/a.caskola", 0, BoardList::Lap},
        {"GroupBox1", "/r/a.caskola", 0, BoardList::Lap},
        {"Kola_mezicas1", "/r/caskola", 0, BoardList::Lap},
    };
    for (const Case& c : cases) {
        const auto target = TargetForDrop(c.control, c.file);
        SCOPED_TRACE(std::string(c.control) + " " + c.file);
        ASSERT_EQ(target.has_value(), c.kart != 0);
        if (target) {
            EXPECT_EQ(target->kart, c.kart);
            EXPECT_EQ(target->list, c.list);
        }
    }
}

TEST(LapFiles, AutomaticFileNames) {
    EXPECT_EQ(TimeStamp(kStopTime), "17_5_2008_14_03_07");
    EXPECT_EQ(AutoLapFileName("Petr", "17_5_2008_14_03_07"), "Petr_17_5_2008_14_03_07.caskola");
    EXPECT_EQ(AutoTrackFileName("Petr", "1"), "Petr_mezicasy_1.casdraha");
    EXPECT_EQ(AutoLapFileName("A/B/C", "1"), "A_B_C_1.caskola");
}

struct AutoSave : ::testing::Test {
    QTemporaryDir home;
    RaceBoard board;
    QString folder() const { return home.filePath("vysledky"); }
    QStringList files() const { return QDir(folder()).entryList(QDir::Files, QDir::Name); }
};

TEST_F(AutoSave, SkipsEmptyListsAndTheTrackListsWhenHidden) {
    board.setDriverName(2, "Eva");
    for (int k : {1, 2, 4}) {
        board.AddLapLine(k, 30'000 + k);
        board.AddTrackLapLine(k, 30'000 + k);
    }
    board.AddSplitLine(5, "03", 1000); // a track list without laps
    EXPECT_TRUE(AutoSaveResults(board, folder(), false, kStopTime).isEmpty());
    EXPECT_EQ(files(), QStringList({"Eva_17_5_2008_14_03_07.caskola",
                                    "kara1_17_5_2008_14_03_07.caskola",
                                    "kara4_17_5_2008_14_03_07.caskola"}));

    EXPECT_TRUE(AutoSaveResults(board, folder(), true, kStopTime).isEmpty());
    EXPECT_EQ(files().size(), 7);
    EXPECT_EQ(Load(folder() + "/kara5_mezicasy_17_5_2008_14_03_07.casdraha"),
              QStringList({"03 00:01:000"}));
}

TEST_F(AutoSave, TwoSavingsInOneSecondOverwrite) {
    board.AddLapLine(1, 10'000);
    AutoSaveResults(board, folder(), false, kStopTime);
    board.ClearLists();
    board.AddLapLine(1, 20'000);
    board.AddLapLine(1, 21'000);
    AutoSaveResults(board, folder(), false, kStopTime.addMSecs(500));
    EXPECT_EQ(files(), QStringList({"kara1_17_5_2008_14_03_07.caskola"}));
    EXPECT_EQ(Load(folder() + "/kara1_17_5_2008_14_03_07.caskola"),
              QStringList({"00:20:000", "00:21:000"}));
}

TEST_F(AutoSave, AFileThatCannotBeWrittenDoesNotStopTheOthers) {
    board.AddLapLine(1, 10'000);
    board.AddLapLine(2, 10'000);
    ASSERT_TRUE(QDir().mkpath(folder() + "/kara1_17_5_2008_14_03_07.caskola")); // a folder in the way
    const QStringList errors = AutoSaveResults(board, folder(), false, kStopTime);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains("kara1_17_5_2008_14_03_07.caskola"));
    EXPECT_EQ(Load(folder() + "/kara2_17_5_2008_14_03_07.caskola"), QStringList({"00:10:000"}));
}
