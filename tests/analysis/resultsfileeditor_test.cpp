#include "analysis/resultsfileeditor.h"
#include "support/filebytes.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using namespace vartemo;

namespace {

class ResultsFileEditorTest : public ::testing::Test {
protected:
    QString file(const char* name, const QByteArray& bytes) {
        const QString path = dir.filePath(QString::fromUtf8(name));
        writeBytes(path, bytes);
        return path;
    }
    void expectNoFileState() const {
        EXPECT_EQ(editor.labels().name, QStringLiteral("vyberte soubor"));
        EXPECT_EQ(editor.labels().size, QStringLiteral("0 Bytu"));
        EXPECT_EQ(editor.labels().count, QStringLiteral("0"));
        EXPECT_TRUE(editor.labels().date.isEmpty());
        EXPECT_TRUE(editor.lines().isEmpty());
        EXPECT_TRUE(editor.loadedPath().isEmpty());
    }
    // Moves the file's modification time, as a copy or a restore would.
    static void touch(const QString& path, int secondsAgo) {
        timeval times[2];
        gettimeofday(&times[0], nullptr);
        times[0].tv_sec -= secondsAgo;
        times[1] = times[0];
        ASSERT_EQ(utimes(QFile::encodeName(path).constData(), times), 0);
    }

    QTemporaryDir tmp;
    QDir dir{tmp.path()};
    ResultsFileEditor editor;
};

TEST_F(ResultsFileEditorTest, AFolderOrAMissingFileShowsTheChooseState) {
    file("a.caskola", "00:41:236\r\n");
    editor.select(dir.filePath(QStringLiteral("a.caskola")));
    EXPECT_EQ(editor.lines().size(), 1);
    EXPECT_TRUE(editor.select(tmp.path()).isEmpty());
    expectNoFileState();
    EXPECT_TRUE(editor.select(dir.filePath(QStringLiteral("gone.caskola"))).isEmpty());
    expectNoFileState();
}

TEST_F(ResultsFileEditorTest, AFileShowsItsNameSizeLinesAndDate) {
    const QString path = file("Petr_1_2_2026.casdraha", "  L 00:41:236\r\n10 00:04:321\r\nPan \x9a\x9d\r\n");
    EXPECT_TRUE(editor.select(path).isEmpty());
    EXPECT_EQ(editor.lines(), (QStringList{QStringLiteral("  L 00:41:236"), QStringLiteral("10 00:04:321"),
                                           QStringLiteral("Pan šť")})); // Windows-1250
    EXPECT_EQ(editor.labels().name, QStringLiteral("Petr_1_2_2026.casdraha"));
    EXPECT_EQ(editor.labels().size, QStringLiteral("37 Bytu"));
    EXPECT_EQ(editor.labels().count, QStringLiteral("3"));
    EXPECT_FALSE(editor.labels().date.isEmpty());
    EXPECT_EQ(editor.loadedPath(), path);
}

TEST_F(ResultsFileEditorTest, EmptyFileHasNoLinesAndALoneLineEndOneEmptyLine) {
    editor.select(file("empty.caskola", ""));
    EXPECT_EQ(editor.labels().count, QStringLiteral("0"));
    EXPECT_FALSE(editor.loadedPath().isEmpty()); // a file, and it can be saved
    editor.select(file("crlf.caskola", "\r\n"));
    EXPECT_EQ(editor.lines(), QStringList{QString()});
    EXPECT_EQ(editor.labels().count, QStringLiteral("1"));
}

TEST_F(ResultsFileEditorTest, EditingWithAndWithoutASelectedLine) {
    editor.select(file("a.caskola", "00:01:000\r\n00:02:000\r\n"));
    editor.insertLine(-1, QStringLiteral("00:00:000")); // no selection: appended
    editor.replaceLine(-1, QStringLiteral("x"));         // no selection: nothing
    editor.deleteLine(-1);
    editor.deleteLine(5);
    EXPECT_EQ(editor.lines(), (QStringList{QStringLiteral("00:01:000"), QStringLiteral("00:02:000"),
                                           QStringLiteral("00:00:000")}));
    editor.insertLine(0, QStringLiteral("00:09:000")); // before the selected line
    editor.replaceLine(1, QStringLiteral("00:01:500"));
    editor.deleteLine(2);
    EXPECT_EQ(editor.lines(), (QStringList{QStringLiteral("00:09:000"), QStringLiteral("00:01:500"),
                                           QStringLiteral("00:00:000")}));
}

TEST_F(ResultsFileEditorTest, SavedChangesAreTheLinesInWindows1250WithCrLf) {
    const QString path = file("a.caskola", "00:01:000\r\n");
    editor.select(path);
    editor.replaceLine(0, QStringLiteral("Šťastný 00:01:000"));
    editor.insertLine(-1, QStringLiteral("00:02:000"));
    EXPECT_TRUE(editor.saveChanges().isEmpty());
    EXPECT_EQ(readBytes(path), QByteArray("\x8a\x9d" "astn\xfd 00:01:000\r\n00:02:000\r\n"));
    EXPECT_EQ(editor.labels().count, QStringLiteral("2")); // shown again after saving
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.caskola")}); // no leftovers
}

TEST_F(ResultsFileEditorTest, AFileChangedSinceLoadingIsNotOverwrittenButLoadedAgain) {
    const QString path = file("a.caskola", "00:01:000\r\n");
    touch(path, 60);
    editor.select(path);
    editor.replaceLine(0, QStringLiteral("00:05:000"));
    // Restored from a backup meanwhile: newer content, same size.
    writeBytes(path, "00:07:000\r\n");
    const QString message = editor.saveChanges();
    EXPECT_EQ(message, ResultsFileEditor::StaleFileMessage());
    EXPECT_EQ(readBytes(path), QByteArray("00:07:000\r\n"));
    EXPECT_EQ(editor.lines(), QStringList{QStringLiteral("00:07:000")});
    // Now up to date: saving works.
    editor.replaceLine(0, QStringLiteral("00:08:000"));
    EXPECT_TRUE(editor.saveChanges().isEmpty());
    EXPECT_EQ(readBytes(path), QByteArray("00:08:000\r\n"));
}

TEST_F(ResultsFileEditorTest, SavingWritesOnlyTheFileTheLinesCameFrom) {
    const QString a = file("a.caskola", "00:01:000\r\n");
    const QString big = dir.filePath(QStringLiteral("big.caskola"));
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(2 * ResultsFileEditor::kMaxLoadBytes));
    }
    editor.select(a);
    editor.select(big); // described, not loaded: nothing to save
    EXPECT_TRUE(editor.saveChanges().isEmpty());
    EXPECT_EQ(QFileInfo(big).size(), 2 * ResultsFileEditor::kMaxLoadBytes);
    EXPECT_EQ(readBytes(a), QByteArray("00:01:000\r\n"));
}

TEST_F(ResultsFileEditorTest, SaveAsMakesTheNewFileTheLoadedOne) {
    const QString a = file("a.caskola", "00:01:000\r\n");
    editor.select(a);
    editor.insertLine(-1, QStringLiteral("00:02:000"));
    const QString b = dir.filePath(QStringLiteral("Kara_1.caskola"));
    EXPECT_TRUE(editor.saveAs(b).isEmpty());
    EXPECT_EQ(editor.loadedPath(), b);
    EXPECT_EQ(readBytes(b), QByteArray("00:01:000\r\n00:02:000\r\n"));
    EXPECT_EQ(readBytes(a), QByteArray("00:01:000\r\n"));
    editor.replaceLine(0, QStringLiteral("00:03:000"));
    editor.saveChanges();
    EXPECT_EQ(readBytes(a), QByteArray("00:01:000\r\n"));
    EXPECT_EQ(readBytes(b), QByteArray("00:03:000\r\n00:02:000\r\n"));
    // A folder that does not exist: the reason, nothing changed.
    EXPECT_FALSE(editor.saveAs(dir.filePath(QStringLiteral("no/such/x.caskola"))).isEmpty());
    EXPECT_EQ(editor.loadedPath(), b);
}

TEST_F(ResultsFileEditorTest, DeletingTheSelectedFileEmptiesTheEditor) {
    const QString a = file("a.caskola", "00:01:000\r\n");
    editor.select(a);
    EXPECT_TRUE(editor.deleteSelected().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(a));
    expectNoFileState();
}

TEST_F(ResultsFileEditorTest, APipeIsNotOpenedForReading) {
    const QString fifo = dir.filePath(QStringLiteral("pipe.caskola"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Opening a pipe for reading would wait for a writer for ever.
    const QString message = editor.select(fifo);
    EXPECT_TRUE(message.contains(QStringLiteral("pipe.caskola"))) << qPrintable(message);
    EXPECT_TRUE(editor.loadedPath().isEmpty());
    EXPECT_TRUE(editor.lines().isEmpty());
}

TEST_F(ResultsFileEditorTest, ALargeFileIsDescribedNotLoaded) {
    const QString path = dir.filePath(QStringLiteral("velky.caskola"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(300LL * 1000 * 1000)); // sparse: no disk used
    }
    const QString message = editor.select(path);
    EXPECT_TRUE(message.contains(QStringLiteral("300000000"))) << qPrintable(message);
    EXPECT_EQ(editor.labels().name, QStringLiteral("velky.caskola"));
    EXPECT_EQ(editor.labels().size, QStringLiteral("300000000 Bytu"));
    EXPECT_FALSE(editor.labels().date.isEmpty());
    EXPECT_TRUE(editor.lines().isEmpty());
    EXPECT_TRUE(editor.loadedPath().isEmpty());
    // Exactly the limit still loads.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.resize(ResultsFileEditor::kMaxLoadBytes));
    f.close();
    EXPECT_TRUE(editor.select(path).isEmpty());
    EXPECT_EQ(editor.loadedPath(), path);
}

TEST(ResultsFileEditorName, DefaultNameHoldsOnlyDigitsAndUnderscores) {
    const QString name = ResultsFileEditor::DefaultSaveName(QDateTime(QDate(2026, 12, 9), QTime(7, 3, 27)));
    EXPECT_EQ(name, QStringLiteral("Kara_9_12_2026_7_03_27"));
    for (const QChar c : {u':', u'.', u' '})
        EXPECT_FALSE(name.contains(c));
}

} // namespace
