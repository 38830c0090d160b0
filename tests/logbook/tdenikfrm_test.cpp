#include "core/textfile.h"
#include "logbook/logbook.h"
#include "logbook/logbookmodel.h"
#include "logbook/operatorroster.h"
#include "logbook/tdenikfrm.h"
#include "support/visibleboxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTreeView>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <set>

using namespace vartemo;

namespace {

const QDateTime kNow(QDate(2026, 12, 9), QTime(15, 40, 12));

// Two runs: yesterday's with one ride, today's with two.
const QStringList kTwoRuns{
    "Spuštění programu 8:00:00 8.12.2026", "\tKč 300 Admin 9:00:00 8.12.2026",
    "Spuštění programu 14:00:00 9.12.2026", "\t14:01:00 - Petr: nulování stavu motokára 3",
    "\tKč 150 Admin 14:05:03 9.12.2026",     "\tKč 90 Petr 14:20:41 9.12.2026",
};

class LogBookWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(textfile::writeLines(dir.filePath("vartemo.den"), kTwoRuns));
        ASSERT_TRUE(book.LoadLogBook());
    }
    void TearDown() override {
        for (QMessageBox* box : VisibleBoxes(QStringLiteral("DenikMessage")))
            box->close();
    }
    template <typename W> W* child(const char* name) {
        W* w = window.findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(const char* label) { return child<QLabel>(label)->text(); }
    void click(const char* button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }

    QTemporaryDir dir;
    LogBook book{dir.filePath("vartemo.den"), [] { return kNow; }};
    QStringList names{"Jan", "Petr"};
    QStringList logLines;
    OperatorRoster roster{{.names = [this] { return names; },
                           .add = [this](const QString& n, QString*) { names << n; return true; },
                           .remove = [this](int row, QString*) { names.removeAt(row); return true; }},
                          [this](const QString& line) { book.AddLogEntry(line); },
                          [] { return kNow; }};
    TDenikFrm window{book, roster, nullptr, [] { return kNow; }};
};

TEST_F(LogBookWindow, HasItsControlsWithTheirCaptions) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Deník"));
    EXPECT_FALSE(window.windowFlags() & Qt::WindowCloseButtonHint);
    const std::pair<const char*, const char*> buttons[] = {
        {"OK", "Zavřít deník / Přihlásit uživatele"}, {"btnSmazat", "&Odebrat"}, {"btnVlozit", "&Přidat"},
        {"btnZobrazit", "Po&užít filtr"},            {"btnZrusFitr", "Z&rušit filtr"}};
    for (const auto& [name, caption] : buttons)
        EXPECT_EQ(child<QPushButton>(name)->text(), QString::fromUtf8(caption)) << name;
    EXPECT_TRUE(child<QPushButton>("btnVlozit")->isDefault());
    for (const char* name : {"cbLog", "cbUzivatel1", "cbUzivatel"})
        child<QComboBox>(name);
    for (const char* name : {"chUzivatel", "chText", "chDatum", "chCas"})
        child<QCheckBox>(name);
    for (const char* name : {"Jmeno", "Edit1"})
        child<QLineEdit>(name);
    EXPECT_EQ(child<QTimeEdit>("dtCas")->displayFormat(), QStringLiteral("HH:mm"));
    child<QDateEdit>("dtDatum");
    child<QPlainTextEdit>("Memo1");
    EXPECT_EQ(child<QTreeWidget>("lvUzivatel")->headerItem()->text(0), QStringLiteral("Jméno"));
    EXPECT_EQ(child<QComboBox>("cbLog")->currentText(), QStringLiteral("Admin"));
    QStringList groups;
    for (QGroupBox* g : window.findChildren<QGroupBox*>())
        groups << g->title();
    EXPECT_EQ(groups, (QStringList{" Přihlásit uživatele ", " Seznam uživatelů ", " Výdělek ", " Nastavení filtru ",
                                   " Výsledky filtru "}));
}

TEST_F(LogBookWindow, ActivationFillsNamesTakingsAndPickers) {
    window.ShowModal();
    EXPECT_TRUE(window.isModal());
    EXPECT_EQ(child<QComboBox>("cbUzivatel")->count(), 3);
    EXPECT_EQ(child<QComboBox>("cbUzivatel")->itemText(1), QStringLiteral("Petr"));
    EXPECT_EQ(child<QTreeWidget>("lvUzivatel")->topLevelItem(0)->text(0), QStringLiteral("Jan"));
    EXPECT_EQ(text("kcDnes"), QStringLiteral("240 Kč"));
    EXPECT_EQ(text("KcCelkem"), QStringLiteral("540 Kč"));
    EXPECT_EQ(text("KcCelkemU"), QStringLiteral("0 Kč")) << "the selector's text starts empty";
    child<QComboBox>("cbUzivatel1")->setCurrentText(QStringLiteral("Petr"));
    EXPECT_EQ(text("KcCelkemU"), QStringLiteral("90 Kč"));
    EXPECT_EQ(child<QDateEdit>("dtDatum")->date(), kNow.date());
    EXPECT_EQ(child<QTimeEdit>("dtCas")->time(), kNow.time()) << "seconds included";
}

TEST_F(LogBookWindow, ATakingsLineAddedWhileOpenShowsAndCounts) {
    window.ShowModal();
    auto* tree = child<QTreeView>("tvDenik");
    const QModelIndex today = tree->model()->index(2, 0); // this run's start
    const int before = tree->model()->rowCount(today);
    book.AddLogEntry(QStringLiteral("Kč 60 Admin 15:41:00 9.12.2026"));
    ASSERT_EQ(tree->model()->rowCount(today), before + 1);
    EXPECT_EQ(tree->model()->index(before, 0, today).data().toString(), QStringLiteral("Kč 60 Admin 15:41:00 9.12.2026"));
    window.SumTakings();
    EXPECT_EQ(text("kcDnes"), QStringLiteral("300 Kč"));
}

TEST_F(LogBookWindow, FilterListsAndSelectsExactlyTheHits) {
    window.ShowModal();
    auto* tree = child<QTreeView>("tvDenik");
    tree->expandAll();
    child<QCheckBox>("chUzivatel")->setChecked(true);
    child<QComboBox>("cbUzivatel")->setCurrentText(QStringLiteral("Petr"));
    child<QCheckBox>("chText")->setChecked(true);
    child<QLineEdit>("Edit1")->setText(QStringLiteral("Kč 90"));
    click("btnZobrazit");
    EXPECT_EQ(child<QPlainTextEdit>("Memo1")->toPlainText(),
              QStringLiteral("14:01:00 - Petr: nulování stavu motokára 3\nKč 90 Petr 14:20:41 9.12.2026\n"
                             "Kč 90 Petr 14:20:41 9.12.2026"));
    std::set<qsizetype> selected;
    for (const QModelIndex& i : tree->selectionModel()->selectedIndexes())
        selected.insert(LogBookModel::entryOf(i));
    EXPECT_EQ(selected, (std::set<qsizetype>{3, 5}));
    EXPECT_FALSE(tree->isExpanded(tree->model()->index(2, 0))) << "the filter collapses the tree";

    tree->expandAll();
    click("btnZrusFitr");
    EXPECT_TRUE(child<QPlainTextEdit>("Memo1")->toPlainText().isEmpty());
    EXPECT_FALSE(tree->isExpanded(tree->model()->index(2, 0)));

    child<QLineEdit>("Edit1")->clear();
    child<QCheckBox>("chUzivatel")->setChecked(false);
    click("btnZobrazit");
    EXPECT_TRUE(child<QPlainTextEdit>("Memo1")->toPlainText().isEmpty()) << "an empty text matches nothing";
    EXPECT_TRUE(tree->selectionModel()->selectedIndexes().isEmpty());
}

TEST_F(LogBookWindow, TreeSelectsWithCtrlAndRightClick) {
    window.ShowModal();
    auto* tree = child<QTreeView>("tvDenik");
    QWidget* viewport = tree->viewport();
    const QModelIndex first = tree->model()->index(0, 0), second = tree->model()->index(1, 0);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, tree->visualRect(first).center());
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, tree->visualRect(second).center());
    EXPECT_EQ(tree->selectionModel()->selectedIndexes().size(), 2);
    QTest::mousePress(viewport, Qt::RightButton, {}, tree->visualRect(first).center());
    QTest::mouseRelease(viewport, Qt::RightButton, {}, tree->visualRect(first).center());
    EXPECT_TRUE(tree->selectionModel()->isSelected(first));
    EXPECT_EQ(tree->palette().color(QPalette::Inactive, QPalette::Highlight),
              tree->palette().color(QPalette::Active, QPalette::Highlight));
}

TEST_F(LogBookWindow, IsLeftOnlyByLoggingIn) {
    window.ShowModal();
    QTest::keyClick(&window, Qt::Key_Escape);
    window.close();
    EXPECT_TRUE(window.isVisible());
    QSignalSpy loggedIn(&window, &TDenikFrm::loggedIn);
    child<QComboBox>("cbLog")->setEditText(QStringLiteral("Jana Malá"));
    click("OK");
    EXPECT_FALSE(window.isVisible());
    ASSERT_EQ(loggedIn.size(), 1);
    EXPECT_EQ(loggedIn[0][0].toString(), QStringLiteral("Jana Malá"));
}

TEST_F(LogBookWindow, AddsAndRemovesNames) {
    window.ShowModal();
    child<QLineEdit>("Jmeno")->setText(QStringLiteral(" Eva "));
    click("btnVlozit");
    EXPECT_EQ(names, (QStringList{"Jan", "Petr", "Eva"}));
    EXPECT_TRUE(child<QLineEdit>("Jmeno")->text().isEmpty());
    EXPECT_EQ(child<QComboBox>("cbLog")->itemText(1), QStringLiteral("Eva"));
    EXPECT_EQ(book.entries().last().text, QStringLiteral("15:40:12 - přidán uživatel: Eva"));

    auto* list = child<QTreeWidget>("lvUzivatel");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(1)).center());
    EXPECT_EQ(child<QLineEdit>("Jmeno")->text(), QStringLiteral("Petr"));
    click("btnSmazat");
    EXPECT_EQ(names, (QStringList{"Jan", "Eva"}));
    EXPECT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(book.entries().last().text, QStringLiteral("15:40:12 - smazán uživatel: Petr"));

    child<QLineEdit>("Jmeno")->setText(QStringLiteral("   "));
    click("btnVlozit");
    const QList<QMessageBox*> boxes = VisibleBoxes(QStringLiteral("DenikMessage"));
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0]->text(), QStringLiteral("Zadejte jmeno !!!"));
    EXPECT_TRUE(boxes[0]->windowTitle().isEmpty());
}

TEST_F(LogBookWindow, AnUnreadableAmountIsToldAndTheFiguresStillShow) {
    book.AddLogEntry(QStringLiteral("Kč x"));
    window.ShowModal();
    const QList<QMessageBox*> boxes = VisibleBoxes(QStringLiteral("DenikMessage"));
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0]->text(), QStringLiteral("'x' is not a valid integer value"));
    EXPECT_EQ(text("KcCelkem"), QStringLiteral("540 Kč"));
    window.SumTakings();
    EXPECT_EQ(VisibleBoxes(QStringLiteral("DenikMessage")).size(), 1) << "an open message is not repeated";
}

} // namespace
