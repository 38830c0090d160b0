#include "analysis/resultseditorpage.h"
#include "support/filebytes.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace vartemo;

namespace {

class ResultsEditorPageTest : public ::testing::Test {
protected:
    ResultsEditorPageTest() {
        QDir(tmp.path()).mkdir(QStringLiteral("vysledky"));
        page.hooks().input = [this](const QString& caption, const QString&, const QString& value) {
            asked << caption + u'|' + value;
            return answer;
        };
        page.hooks().showMessage = [this](const QString& text) { messages << text; };
        page.hooks().now = [] { return QDateTime(QDate(2026, 12, 9), QTime(17, 5, 9)); };
        page.resize(800, 400);
        page.activate(folder);
    }
    QString file(const char* name, const QByteArray& bytes) const {
        const QString path = QDir(folder).filePath(QString::fromUtf8(name));
        writeBytes(path, bytes);
        return path;
    }
    QString label(const char* name) const { return page.findChild<QLabel*>(QLatin1String(name))->text(); }
    void trigger(const char* name) { page.findChild<QAction*>(QLatin1String(name))->trigger(); }

    QTemporaryDir tmp;
    QString folder = QDir(tmp.path()).filePath(QStringLiteral("vysledky"));
    ResultsEditorPage page;
    std::optional<QString> answer;
    QStringList asked;
    QStringList messages;
};

TEST_F(ResultsEditorPageTest, AFolderShowsTheChooseState) {
    page.selectPath(file("a.caskola", "00:01:000\r\n"));
    EXPECT_EQ(label("lbpocetvysledku"), QStringLiteral("1"));
    page.selectPath(folder);
    EXPECT_EQ(label("lbJmeno"), QStringLiteral("vyberte soubor"));
    EXPECT_EQ(label("lbVelikost"), QStringLiteral("0 Bytu"));
    EXPECT_EQ(label("lbpocetvysledku"), QStringLiteral("0"));
    EXPECT_EQ(label("Datum_Cas"), QString());
    EXPECT_EQ(page.findChild<QListView*>(QStringLiteral("nahledList"))->model()->rowCount(), 0);
}

TEST_F(ResultsEditorPageTest, MenuItemsWithAndWithoutASelectedLine) {
    const QString path = file("a.caskola", "00:01:000\r\n00:02:000\r\n");
    page.selectPath(path);
    answer = QStringLiteral("00:09:000");
    trigger("Upravit1"); // no line selected: not even asked
    trigger("Smazat1");
    EXPECT_TRUE(asked.isEmpty());
    trigger("Vloitnov1"); // appended
    EXPECT_EQ(asked, QStringList{QStringLiteral("Nová hodnota|00:00:000")});
    EXPECT_EQ(page.editor().lines().last(), QStringLiteral("00:09:000"));

    page.selectRow(0);
    answer = QStringLiteral("00:01:500");
    trigger("Upravit1");
    EXPECT_EQ(asked.last(), QStringLiteral("Změna hodnoty|00:01:000"));
    answer.reset(); // cancelled: the old text stays
    page.selectRow(1);
    trigger("Upravit1");
    page.selectRow(1);
    trigger("Smazat1");
    EXPECT_EQ(page.editor().lines(), (QStringList{QStringLiteral("00:01:500"), QStringLiteral("00:09:000")}));
    EXPECT_EQ(readBytes(path), QByteArray("00:01:000\r\n00:02:000\r\n")); // nothing written yet
    page.findChild<QPushButton*>(QStringLiteral("btnUlozEdit"))->click();
    EXPECT_EQ(readBytes(path), QByteArray("00:01:500\r\n00:09:000\r\n"));
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ResultsEditorPageTest, SaveAsProposesAStampedNameAndShowsTheNewFile) {
    page.selectPath(file("a.caskola", "00:01:000\r\n"));
    QString proposed, filter;
    const QString target = QDir(tmp.path()).filePath(QStringLiteral("jinde.caskola"));
    page.hooks().saveFile = [&](const QString& name, const QString& f) -> std::optional<QString> {
        proposed = name;
        filter = f;
        return target;
    };
    trigger("Uloitjako1");
    EXPECT_EQ(proposed, QStringLiteral("Kara_9_12_2026_17_05_09"));
    EXPECT_EQ(filter, QStringLiteral("mezičasy kola|*.caskola|mezičasy dráha|*.casdraha|výsledky (starý formát)|*.txt"));
    EXPECT_EQ(readBytes(target), QByteArray("00:01:000\r\n"));
    EXPECT_EQ(label("lbJmeno"), QStringLiteral("jinde.caskola"));
    auto* tree = page.findChild<QTreeView*>(QStringLiteral("VysledkyTreeView1"));
    auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    EXPECT_EQ(model->filePath(tree->rootIndex()), tmp.path());
    EXPECT_EQ(model->filePath(tree->currentIndex()), target);
    // Saving changes now writes the new file only.
    page.editor().insertLine(-1, QStringLiteral("00:02:000"));
    page.btnUlozEditClick();
    EXPECT_EQ(readBytes(target), QByteArray("00:01:000\r\n00:02:000\r\n"));
    EXPECT_EQ(readBytes(QDir(folder).filePath(QStringLiteral("a.caskola"))), QByteArray("00:01:000\r\n"));
}

TEST_F(ResultsEditorPageTest, DeletingTheSelectedFile) {
    const QString path = file("a.caskola", "00:01:000\r\n");
    page.selectPath(path);
    trigger("Smazatsoubor1");
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(label("lbJmeno"), QStringLiteral("vyberte soubor"));
    EXPECT_EQ(page.findChild<QListView*>(QStringLiteral("nahledList"))->model()->rowCount(), 0);
}

TEST_F(ResultsEditorPageTest, ChangedMeanwhileIsToldAndLoadedAgain) {
    const QString path = file("a.caskola", "00:01:000\r\n");
    page.selectPath(path);
    page.editor().replaceLine(0, QStringLiteral("00:05:000"));
    writeBytes(path, "00:07:000\r\n00:08:000\r\n");
    page.btnUlozEditClick();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(readBytes(path), QByteArray("00:07:000\r\n00:08:000\r\n"));
    EXPECT_EQ(label("lbpocetvysledku"), QStringLiteral("2"));
}

// The station keeps timing while the operator picks a file: a 2 ms timer
// must keep running while a pipe or a huge file is selected.
TEST_F(ResultsEditorPageTest, APipeOrAHugeFileDoesNotHoldTheStationUp) {
    const QString fifo = QDir(folder).filePath(QStringLiteral("roura.caskola"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString huge = QDir(folder).filePath(QStringLiteral("obri.caskola"));
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(300LL * 1000 * 1000)); // sparse
    }
    int ticks = 0;
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, [&] { ++ticks; });
    poll.start(2);
    bool selected = false;
    QTimer::singleShot(5, &page, [&] {
        page.selectPath(fifo);
        page.selectPath(huge);
        selected = true;
    });
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_TRUE(selected);
    EXPECT_GE(ticks, 10);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("roura.caskola")));
    EXPECT_TRUE(messages[1].contains(QStringLiteral("300000000")));
    EXPECT_EQ(label("lbJmeno"), QStringLiteral("obri.caskola"));
    EXPECT_EQ(label("lbVelikost"), QStringLiteral("300000000 Bytu"));
    EXPECT_EQ(page.findChild<QListView*>(QStringLiteral("nahledList"))->model()->rowCount(), 0);
}

} // namespace
