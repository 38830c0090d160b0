#include "core/textfile.h"
#include "engine/qstringprinter.h"
#include "engine/raceboard.h"
#include "engine/timetext.h"
#include "records/ttopten10frm.h"
#include "records/tupravdlg.h"
#include "support/filebytes.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "support/visibleboxes.h"

using namespace vartemo;

namespace {

QStringList tableLines(TimeMs first) {
    QStringList lines;
    for (int i = 0; i < kTopTenRows; ++i)
        lines << QStringLiteral("%1\tr%1\t%2").arg(i + 1).arg(FormatTimeText(first + i * 1000));
    return lines;
}

QStringList actionTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

void trigger(const QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text)
            return a->trigger();
    FAIL() << "no item " << text.toStdString();
}

QList<QMessageBox*> errorBoxes() {
    return VisibleBoxes(QStringLiteral("BestTwentyError"));
}

// The JPEG's frame type and the first value of its first quantisation table.
struct JpegFacts {
    bool progressive = false;
    int firstQuant = -1;
};
JpegFacts jpegFacts(const QByteArray& b) {
    JpegFacts f;
    for (qsizetype i = 2; i + 4 < b.size();) {
        if (uchar(b[i]) != 0xFF)
            break;
        const uchar marker = uchar(b[i + 1]);
        const int length = (uchar(b[i + 2]) << 8) | uchar(b[i + 3]);
        if (marker == 0xC2)
            f.progressive = true;
        if (marker == 0xDB && f.firstQuant < 0)
            f.firstQuant = uchar(b[i + 5]); // after the table's precision/id byte
        if (marker == 0xDA)
            break;
        i += 2 + length;
    }
    return f;
}

class Window : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString menPath = dir.filePath("TopDeset.ini");
    QString womenPath = dir.filePath("TopDeset1.ini");
    TopTables tables{dir.path()};
    QWidget main;
    TUpravDlg edit{&main};
    TTopTen10Frm window{tables, edit, &main};

    void SetUp() override {
        ASSERT_TRUE(textfile::writeLines(menPath, tableLines(30'000)));
        ASSERT_TRUE(textfile::writeLines(womenPath, tableLines(40'000)));
        main.resize(1000, 700);
        window.Reload();
    }
    void TearDown() override {
        for (QMessageBox* box : errorBoxes())
            box->close();
        edit.close();
        window.close();
    }
    QTableWidget* men() { return window.list(TopTable::Men); }
    QTableWidget* women() { return window.list(TopTable::Women); }
    QStringList shownRow(QTableWidget* list, int row) {
        return {list->item(row, 0)->text(), list->item(row, 1)->text(), list->item(row, 2)->text()};
    }
    QStringList fileRow(const QString& path, int row) { return textfile::readLines(path)->at(row).split('\t'); }
};

TEST_F(Window, ShowsBothTablesWithTheirControls) {
    EXPECT_EQ(window.windowTitle(), "Nejlepších dvacet časů");
    EXPECT_EQ(window.size(), QSize(745, 522));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint));
    EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(), "Jezdci");
    EXPECT_EQ(window.findChild<QLabel*>("Label2")->text(), "Jezdkyně");
    EXPECT_EQ(window.findChild<QTableWidget*>("TopTenList")->size(), QSize(355, 449));
    EXPECT_EQ(window.findChild<QTableWidget*>("TopTenList1")->size(), QSize(354, 449));
    for (QTableWidget* list : {men(), women()}) {
        EXPECT_EQ(list->horizontalHeaderItem(0)->text(), "#");
        EXPECT_EQ(list->horizontalHeaderItem(1)->text(), "Jméno");
        EXPECT_EQ(list->horizontalHeaderItem(2)->text(), "Nejkratší časy");
        EXPECT_EQ(list->columnWidth(0), 30);
        EXPECT_EQ(list->columnWidth(1), 200);
        EXPECT_EQ(list->columnWidth(2), 120);
        EXPECT_EQ(list->font().pixelSize(), 16);
        EXPECT_EQ(list->toolTip(), "      Další volby vyvoláte\r\n stiskem pravého tlačítka myši.");
        EXPECT_EQ(list->editTriggers(), QAbstractItemView::NoEditTriggers);
    }
    window.ShowModal();
    for (QTableWidget* list : {men(), women()}) // all twenty rows in view
        EXPECT_LE(list->visualItemRect(list->item(19, 2)).bottom(), list->viewport()->height());
    EXPECT_EQ(shownRow(men(), 0), QStringList({"1", "r1", "00:30:000"}));
    EXPECT_EQ(shownRow(women(), 19), QStringList({"20", "r20", "00:59:000"}));
    EXPECT_EQ(actionTexts(window.findChild<QMenu*>("TopDesetPopup")),
              QStringList({"Upravit záznam", "Přesunout vpravo", "-", "Tisk diplomu", "-", "Smazat záznam"}));
    EXPECT_EQ(actionTexts(window.findChild<QMenu*>("TopDesetPopup2")),
              QStringList({"Upravit záznam", "Přesunout vlevo", "-", "Tisk diplomu", "-", "Smazat záznam"}));
    const std::pair<const char*, const char*> buttons[] = {{"btnUlozMuzi", "Ulož do souboru"},
                                                           {"BitBbtnUlozZeny", "Ulož do souboru"},
                                                           {"btnFtp", "&Ftp"},
                                                           {"btnTisk", "&Tisk"},
                                                           {"btnZavri", "&Zavřít"}};
    for (const auto& [name, text] : buttons) {
        auto* b = window.findChild<QPushButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->text(), QString::fromUtf8(text));
    }
    for (const char* name : {"SpinKvalita1", "SpinKvalita2"}) {
        auto* spin = window.findChild<QSpinBox*>(name);
        ASSERT_NE(spin, nullptr) << name;
        EXPECT_EQ(spin->minimum(), 1);
        EXPECT_EQ(spin->maximum(), 100);
        EXPECT_EQ(spin->value(), 10);
    }
}

TEST_F(Window, ShowingAndButtonsReadTheFilesAndSignal) {
    QStringList changed = tableLines(30'000);
    changed[0] = "1\tz disku\t00:20:000";
    ASSERT_TRUE(textfile::writeLines(menPath, changed));
    window.ShowModal();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isModal());
    // Centred on the main window (a pixel of rounding either way).
    EXPECT_LE((window.frameGeometry().center() - main.frameGeometry().center()).manhattanLength(), 4);
    EXPECT_EQ(men()->item(0, 1)->text(), "z disku");

    QSignalSpy print(&window, &TTopTen10Frm::printRequested);
    QSignalSpy ftp(&window, &TTopTen10Frm::ftpRequested);
    window.findChild<QPushButton*>("btnTisk")->click();
    window.findChild<QPushButton*>("btnFtp")->click();
    EXPECT_EQ(print.count(), 1);
    EXPECT_EQ(ftp.count(), 1);
    window.findChild<QPushButton*>("btnZavri")->click();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(Window, EveryActivationReadsTheFilesAgain) {
    window.ShowModal();
    QApplication::setActiveWindow(&main);
    QStringList changed = tableLines(40'000);
    changed[0] = "1\tjinde zapsaná\t00:20:000";
    ASSERT_TRUE(textfile::writeLines(womenPath, changed));
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(window.isActiveWindow());
    EXPECT_EQ(women()->item(0, 1)->text(), "jinde zapsaná");
}

TEST_F(Window, DeletingRowOneMovesTheRestUp) {
    men()->selectRow(0);
    trigger(window.popup(TopTable::Men), "Smazat záznam");
    EXPECT_EQ(fileRow(menPath, 0), QStringList({"1", "r2", "00:31:000"}));
    EXPECT_EQ(fileRow(menPath, 19), QStringList({"20", "noname", "59:59:999"}));
    EXPECT_EQ(shownRow(men(), 19), QStringList({"20", "noname", "59:59:999"}));
}

TEST_F(Window, MovingAPlaceholderPutsAPlaceholderIntoTheOtherTable) {
    women()->selectRow(0);
    trigger(window.popup(TopTable::Women), "Smazat záznam"); // women's row 20 is a placeholder now
    women()->selectRow(19);
    trigger(window.popup(TopTable::Women), "Přesunout vlevo");
    EXPECT_EQ(fileRow(womenPath, 19), QStringList({"20", "noname", "59:59:999"}));
    // The men's twenty are all faster than a placeholder: it stays out.
    EXPECT_EQ(*textfile::readLines(menPath), tableLines(30'000));

    men()->selectRow(2);
    trigger(window.popup(TopTable::Men), "Přesunout vpravo");
    EXPECT_EQ(fileRow(womenPath, 0), QStringList({"1", "r3", "00:32:000"}));
    EXPECT_EQ(shownRow(men(), 19), QStringList({"20", "noname", "59:59:999"}));
}

TEST_F(Window, RenameOpensTheEditDialogAndSavesAndNotifies) {
    women()->selectRow(4);
    emit women()->cellDoubleClicked(4, 1); // a double click renames too
    ASSERT_TRUE(edit.isVisible());
    EXPECT_EQ(edit.windowTitle(), "Upravit položku - jezdkyně");
    EXPECT_EQ(edit.jmeno()->text(), "r5");
    EXPECT_EQ(edit.cas()->text(), "00:44:000");
    EXPECT_TRUE(edit.cas()->isReadOnly());
    EXPECT_EQ(edit.focusWidget(), edit.jmeno());
    EXPECT_EQ(edit.findChild<QPushButton*>("CancelBtn")->text(), "Zrušit");

    edit.jmeno()->setText("Nějaké");
    edit.findChild<QPushButton*>("CancelBtn")->click();
    EXPECT_EQ(fileRow(womenPath, 4)[1], "r5");

    men()->selectRow(1);
    trigger(window.popup(TopTable::Men), "Upravit záznam");
    EXPECT_EQ(edit.windowTitle(), "Upravit položku - jezdci");
    QSignalSpy changed(&tables, &TopTables::changed);
    edit.jmeno()->setText("Nový\tjezdec");
    edit.findChild<QPushButton*>("OKBtn")->click();
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(fileRow(menPath, 1), QStringList({"2", "Nový jezdec", "00:31:000"}));
    EXPECT_EQ(men()->item(1, 1)->text(), "Nový jezdec");
}

TEST_F(Window, ARenameOpenWhileAStopReloadsAppliesToItsRowOrToNone) {
    RaceBoard board;
    for (int k = 2; k <= kKartCount; ++k)
        board.setExcluded(k, true);
    men()->selectRow(2);
    trigger(window.popup(TopTable::Men), "Upravit záznam"); // r3
    board.setLines(1, BoardList::Lap, {"00:10:000"});
    tables.TopTenDeset(board); // a ride ends meanwhile: r3 is fourth now
    edit.jmeno()->setText("Třetí");
    edit.findChild<QPushButton*>("OKBtn")->click();
    EXPECT_EQ(fileRow(menPath, 3), QStringList({"4", "Třetí", "00:32:000"}));
    EXPECT_EQ(fileRow(menPath, 2), QStringList({"3", "r2", "00:31:000"}));

    men()->selectRow(19); // r19, pushed out by the next ride
    trigger(window.popup(TopTable::Men), "Upravit záznam");
    board.setLines(1, BoardList::Lap, {"00:11:000"});
    tables.TopTenDeset(board);
    const QStringList before = *textfile::readLines(menPath);
    edit.jmeno()->setText("Nikdo");
    edit.findChild<QPushButton*>("OKBtn")->click();
    EXPECT_EQ(*textfile::readLines(menPath), before);
}

TEST_F(Window, TheDiplomaGetsTheNameAndThePlacementOfItsRank) {
    QSignalSpy diploma(&window, &TTopTen10Frm::diplomaRequested);
    for (int rank : {1, 5, 6, 7}) {
        men()->selectRow(rank - 1);
        trigger(window.popup(TopTable::Men), "Tisk diplomu");
    }
    ASSERT_EQ(diploma.count(), 4);
    const std::pair<QString, int> expected[] = {{"r1", 0}, {"r5", 4}, {"r6", 4}, {"r7", -1}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(diploma[i][0].toString(), expected[i].first);
        EXPECT_EQ(diploma[i][1].toInt(), expected[i].second);
    }
}

TEST_F(Window, WithoutASelectedRowTheOperationsDoNothing) {
    men()->clearSelection();
    QSignalSpy diploma(&window, &TTopTen10Frm::diplomaRequested);
    QSignalSpy changed(&tables, &TopTables::changed);
    for (const char* item : {"Upravit záznam", "Přesunout vpravo", "Tisk diplomu", "Smazat záznam"})
        trigger(window.popup(TopTable::Men), QString::fromUtf8(item));
    EXPECT_FALSE(edit.isVisible());
    EXPECT_EQ(diploma.count(), 0);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(*textfile::readLines(menPath), tableLines(30'000));
}

TEST_F(Window, SavedPicturesAreProgressiveJpegsOfTheListAtTheAskedQuality) {
    window.ShowModal();
    struct Case {
        TopTable table;
        int quality;
        QSize size;
        int firstQuant; // libjpeg's scaling of the luminance table's 16
    };
    const Case cases[] = {{TopTable::Men, 10, {355, 449}, 80},
                          {TopTable::Men, 100, {355, 449}, 1},
                          {TopTable::Women, 10, {354, 449}, 80}};
    for (const Case& c : cases) {
        const QString file = dir.filePath(QStringLiteral("pic%1.jpg").arg(c.quality));
        QString error;
        ASSERT_TRUE(window.SaveListAsJpeg(c.table, file, c.quality, &error)) << error.toStdString();
        QImageReader reader(file);
        EXPECT_EQ(reader.format(), "jpeg");
        EXPECT_EQ(reader.size(), c.size);
        const JpegFacts facts = jpegFacts(readBytes(file));
        EXPECT_TRUE(facts.progressive) << c.quality;
        EXPECT_EQ(facts.firstQuant, c.firstQuant) << c.quality;
    }
}

TEST_F(Window, TheSaveButtonsProposeTheirNameAddTheEndingAndTellFailures) {
    QStringList proposed;
    QString answer = dir.filePath("muzi");
    window.setFileChooser([&](const QString& p) {
        proposed << p;
        return answer;
    });
    window.quality(TopTable::Men)->setValue(100);
    window.findChild<QPushButton*>("btnUlozMuzi")->click();
    EXPECT_EQ(jpegFacts(readBytes(dir.filePath("muzi.jpg"))).firstQuant, 1);

    answer = dir.filePath("zeny.jpeg");
    window.findChild<QPushButton*>("BitBbtnUlozZeny")->click();
    EXPECT_TRUE(QFile::exists(answer));
    EXPECT_EQ(proposed, QStringList({dir.filePath("Top20_Muzi"), dir.filePath("Top20_Zeny")}));

    answer.clear(); // cancelled
    window.findChild<QPushButton*>("btnUlozMuzi")->click();
    EXPECT_TRUE(errorBoxes().isEmpty());

    answer = dir.filePath("chybí/tabulka.jpg");
    window.findChild<QPushButton*>("btnUlozMuzi")->click();
    const QList<QMessageBox*> boxes = errorBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0]->text().startsWith("Obrázek nelze uložit do souboru ")) << boxes[0]->text().toStdString();
    EXPECT_FALSE(QFile::exists(answer));
}

} // namespace
