// The backup window offscreen: its selection, its archive path, the
// content view, the restore place and the messages, found by objectName.

#include "archivetestkit.h"
#include "backup/tzalohujfrm.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <QFileSystemModel>

using namespace vartemo;
using namespace archivetest;

namespace {

class BackupWindow : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QStringList messages;
    QStringList questions;
    QStringList logLines;
    bool answer = true;
    bool removable = false;
    int endings = 0;
    std::unique_ptr<TZalohujFrm> window;

    QString home() const { return dir.filePath("home"); }

    void SetUp() override {
        WriteFile(home() + "/vartemo.ini", "[Nastaveni]\r\n");
        WriteFile(home() + "/stav.ini", "[Motokara1]\r\n");
        WriteFile(home() + "/TopDeset.ini", QByteArray(5000, 'm'));
        WriteFile(home() + "/TopDeset1.ini", QByteArray(5000, 'z'));
        WriteFile(home() + "/vysledky/Petr_1.caskola", QByteArray(40000, 'l'));
        window = std::make_unique<TZalohujFrm>(
            home(), TZalohujFrm::Hooks{
                        .addLogEntry = [this](const QString& l) { logLines << l; },
                        .endProgram = [this] { ++endings; },
                        .message = [this](QMessageBox::Icon, const QString&, const QString& t) { messages << t; },
                        .ask = [this](QMessageBox::Icon, const QString& title, const QString& t, bool) {
                            questions << title + u'|' + t;
                            return answer;
                        },
                        .onRemovableMedium = [this](const QString&) { return removable; }});
        window->show();
    }

    template <typename T>
    T* find(const char* name) const {
        T* w = window->findChild<T*>(QLatin1String(name));
        if (!w)
            ADD_FAILURE() << "no control " << name;
        return w;
    }

    void click(const char* name) const { find<QAbstractButton>(name)->click(); }

    QStringList selection() const {
        QStringList out;
        auto* list = find<QListWidget>("FileListBox");
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }

    // The archives of the restore tab's folder come in asynchronously.
    bool chooseArchive(const QString& fileName) const {
        auto* list = find<QListView>("FileListBox1");
        auto* model = qobject_cast<QFileSystemModel*>(list->model());
        for (int tries = 0; tries < 250; ++tries) {
            const QModelIndex index = model->index(QDir(home() + "/zaloha").filePath(fileName));
            if (index.isValid() && index.parent() == list->rootIndex()) {
                list->setCurrentIndex(index);
                window->FileListBox1Click();
                return true;
            }
            QTest::qWait(20);
        }
        return false;
    }
};

TEST_F(BackupWindow, ActivationFillsTheSelectionWithTheRealNames) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Zálohování"));
    EXPECT_EQ(find<QTabWidget>("PageControl1")->currentIndex(), 0);
    EXPECT_EQ(selection(), (QStringList{home() + "/vartemo.ini", home() + "/stav.ini", home() + "/TopDeset.ini",
                                        home() + "/TopDeset1.ini", home() + "/vysledky/*.*"}));
    click("CheckBox3");
    EXPECT_EQ(selection(), (QStringList{home() + "/vartemo.ini", home() + "/stav.ini", home() + "/vysledky/*.*"}));
    EXPECT_EQ(window->ArchivePath(), home() + "/zaloha/zalohavartemo.bck");
    find<QLineEdit>("Novysoubor")->clear();
    EXPECT_EQ(window->ArchivePath(), home() + "/zaloha/zalohavartemo.bck");
    QTest::keyClicks(find<QLineEdit>("Novysoubor"), "nocni");
    EXPECT_EQ(window->ArchivePath(), home() + "/zaloha/nocni.bck");

    EXPECT_EQ(find<QLineEdit>("EdPath")->text(), home());
    EXPECT_FALSE(find<QLineEdit>("EdPath")->isEnabled());
    EXPECT_FALSE(find<QCheckBox>("CbFullPath")->isEnabled());
    click("rbOtherPath");
    EXPECT_TRUE(find<QLineEdit>("EdPath")->isEnabled());
    EXPECT_TRUE(find<QCheckBox>("CbFullPath")->isEnabled());
}

TEST_F(BackupWindow, BackupThenContentViewThenRestore) {
    for (const char* box : {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"})
        click(box);
    click("ZalohovatBtn");
    EXPECT_EQ(messages, QStringList{QStringLiteral("Vyberte soubory k zalohování!")});
    EXPECT_FALSE(QFile::exists(home() + "/zaloha/zalohavartemo.bck"));

    messages.clear();
    for (const char* box : {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4"})
        click(box);
    click("ZalohovatBtn");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Záloha kompletní. Poměr komprese "))) << messages[0].toStdString();
    ASSERT_EQ(logLines.size(), 1);
    EXPECT_TRUE(logLines[0].endsWith(QStringLiteral(" - záloha dat")));
    EXPECT_EQ(find<QLabel>("Label1")->text(), QStringLiteral("Dokončeno"));

    // "Bez komprese" by its caption: the archive is no smaller than its files.
    click("rgCompressionLevel3");
    click("CbSaveFileID");
    QTest::keyClicks(find<QLineEdit>("Novysoubor"), "2");
    click("ZalohovatBtn");
    EXPECT_GT(QFileInfo(home() + "/zaloha/zalohavartemo2.bck").size(), 50000);
    EXPECT_LT(QFileInfo(home() + "/zaloha/zalohavartemo.bck").size(), 5000);

    find<QTabWidget>("PageControl1")->setCurrentIndex(1);
    ASSERT_TRUE(chooseArchive("zalohavartemo.bck"));
    EXPECT_EQ(find<QLineEdit>("Edit2")->text(), QStringLiteral("záloha vartemo"));
    EXPECT_EQ(find<QLineEdit>("Edit1")->text(), QStringLiteral("5 souborů, 49 KB celkem"));
    EXPECT_TRUE(find<QPlainTextEdit>("MeFiles")->toPlainText().contains(
        home() + QStringLiteral("/TopDeset.ini  přidán ")));
    ASSERT_TRUE(chooseArchive("zalohavartemo2.bck"));
    EXPECT_EQ(find<QPlainTextEdit>("MeFiles")->toPlainText(), QStringLiteral("Neznámí archív!"));

    // "Jinam:" without a folder.
    click("rbOtherPath");
    find<QLineEdit>("EdPath")->setText("   ");
    messages.clear();
    click("ObnovitBtn");
    EXPECT_EQ(messages, QStringList{QStringLiteral("Zadejte cílovou cestu!")});

    // Back to the stored places; Yes ends the program.
    WriteFile(home() + "/stav.ini", "changed since");
    click("rbOrigpath");
    messages.clear();
    click("ObnovitBtn");
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    EXPECT_EQ(ReadFile(home() + "/stav.ini"), "[Motokara1]\r\n");
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0], QStringLiteral("Programu bude nyní ukončen|Data úspěšně obnovena ze záložního souboru\r\n"
                                           "Změny budou uplatněny po novém spuštění programu!"));
    EXPECT_EQ(endings, 1);
    EXPECT_TRUE(logLines.last().endsWith(QStringLiteral(" - obnovení dat")));
}

// A removable medium: parts of 1400000 bytes, the box before each next disk
// (OK writes it), and the same box before each disk a restore reads.
TEST_F(BackupWindow, ARemovableMediumGetsPartsAndTheBoxForEachDisk) {
    const QByteArray track = Noise(3'000'000);
    WriteFile(home() + "/vysledky/track.bin", track);
    removable = true;
    click("ZalohovatBtn");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("Záloha kompletní."))) << messages[0].toStdString();
    const QStringList disks{QStringLiteral("Zálohování|Please insert disk 2 and click OK to continue."),
                            QStringLiteral("Zálohování|Please insert disk 3 and click OK to continue.")};
    EXPECT_EQ(questions, disks);
    for (const char* part : {"zalohavartemo.bck", "zalohavartemo.002", "zalohavartemo.003"})
        EXPECT_LE(QFileInfo(home() + "/zaloha/" + part).size(), 1400000) << part;
    EXPECT_FALSE(QFile::exists(home() + "/zaloha/zalohavartemo.004"));

    questions.clear();
    find<QTabWidget>("PageControl1")->setCurrentIndex(1);
    ASSERT_TRUE(chooseArchive("zalohavartemo.bck"));
    click("rbOtherPath");
    find<QLineEdit>("EdPath")->setText(dir.filePath("back"));
    click("ObnovitBtn");
    ASSERT_EQ(questions.size(), 3);
    EXPECT_EQ(questions.mid(0, 2), disks);
    EXPECT_EQ(ReadFile(dir.filePath("back/track.bin")), track);

    // Cancel at the second disk: the backup fails and says so.
    questions.clear();
    messages.clear();
    answer = false;
    find<QTabWidget>("PageControl1")->setCurrentIndex(0);
    QTest::keyClicks(find<QLineEdit>("Novysoubor"), "2");
    click("ZalohovatBtn");
    EXPECT_EQ(questions, disks.mid(0, 1));
    EXPECT_EQ(messages, QStringList{QStringLiteral("Nastala chyba vytvoření záložního souboru!")});
    EXPECT_FALSE(QFile::exists(home() + "/zaloha/zalohavartemo2.002"));
}

TEST_F(BackupWindow, ZavritStopsRunningWorkAndOnlyItIsEnabledMeanwhile) {
    WriteFile(home() + "/vysledky/track.bin", Noise(3'000'000));
    bool backupEnabled = true;
    bool closeEnabled = false;
    QTimer::singleShot(0, window.get(), [&] {
        backupEnabled = find<QPushButton>("ZalohovatBtn")->isEnabled();
        closeEnabled = find<QPushButton>("BtnCancel")->isEnabled();
        click("BtnCancel");
    });
    click("ZalohovatBtn");
    EXPECT_FALSE(backupEnabled);
    EXPECT_TRUE(closeEnabled);
    EXPECT_EQ(questions, QStringList{QStringLiteral("Zálohování !|Chcete přerušit zálohování !")});
    EXPECT_EQ(messages, QStringList{QStringLiteral("Nastala chyba vytvoření záložního souboru!")});
    EXPECT_FALSE(QFile::exists(home() + "/zaloha/zalohavartemo.bck"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(find<QPushButton>("ZalohovatBtn")->isEnabled());

    // Idle: no question, the window closes.
    click("BtnCancel");
    EXPECT_EQ(questions.size(), 1);
    EXPECT_FALSE(window->isVisible());
}

} // namespace
