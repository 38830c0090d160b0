#include "engine/raceboardview.h"
#include "engine/tform1.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

struct MainWindow : ::testing::Test {
    RaceBoard board;
    TForm1 form{board};
    RaceBoardView& view = *form.boardView();

    template <typename T> T* find(const QString& name) {
        T* w = form.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QListWidget* lapList(int k) { return find<QListWidget>(QStringLiteral("Kola_mezicas%1").arg(k)); }
};

} // namespace

TEST_F(MainWindow, EveryKartControlIsFoundByItsName) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Vartemo Kestral verze 2.3"));
    ASSERT_NE(find<QTabWidget>(QStringLiteral("pcCasy")), nullptr);
    for (int k = 1; k <= kKartCount; ++k) {
        for (const QString& stem : {QStringLiteral("Kola_mezicas"), QStringLiteral("Draha_mezicas")})
            find<QListWidget>(stem + QString::number(k));
        for (const QString& stem : {QStringLiteral("Smazat"), QStringLiteral("Uloz"), QStringLiteral("Nacti")}) {
            EXPECT_EQ(find<QPushButton>(stem + QString::number(k))->parentWidget(), view.group(k));
            find<QPushButton>(stem + QString::number(k) + QStringLiteral("_Draha"));
        }
        EXPECT_EQ(find<QCheckBox>(QStringLiteral("ZenaBox%1").arg(k))->text(), QStringLiteral("Žena"));
        EXPECT_EQ(find<QCheckBox>(QStringLiteral("UcastBox%1").arg(k))->text(), QStringLiteral("Bez účasti"));
        EXPECT_EQ(find<QPushButton>(QStringLiteral("btnJezdec%1").arg(k))->text(), QStringLiteral("Jméno &%1").arg(k));
    }
    EXPECT_EQ(find<QGroupBox>(QStringLiteral("GroupBox14"))->title(), QStringLiteral(" Mezičasy  kara5"));
    EXPECT_EQ(find<QSpinBox>(QStringLiteral("CasZavodu"))->maximum(), 59);
}

TEST_F(MainWindow, BothLayouts) {
    struct Expect {
        bool track;
        int window, page, group;
        std::array<int, 4> left;
    };
    // Client widths: the windows are 675 and 993 wide with their borders.
    for (const Expect& e : {Expect{false, 659, 488, 108, {5, 125, 245, 365}},
                            Expect{true, 977, 976, 233, {5, 246, 487, 729}}}) {
        form.ApplyLayout(e.track);
        EXPECT_EQ(form.size(), QSize(e.window, 686));
        EXPECT_EQ(form.minimumSize(), form.maximumSize()); // no stretching
        EXPECT_EQ(view.width(), e.page);
        for (int k = 1; k <= kKartCount; ++k) {
            EXPECT_EQ(view.group(k)->width(), e.group);
            EXPECT_EQ(view.group(k)->x(), e.left[size_t((k - 1) % 4)]);
            EXPECT_EQ(!view.list(k, BoardList::Track)->isHidden(), e.track);
            EXPECT_EQ(!find<QPushButton>(QStringLiteral("Smazat%1_Draha").arg(k))->isHidden(), e.track);
        }
    }
}

TEST_F(MainWindow, NewLineIsSelectedAndClearButtonEmptiesItsList) {
    board.AddLapLine(3, 1000);
    board.AddLapLine(3, 2000);
    board.AddSplitLine(3, QStringLiteral("07"), 500);
    EXPECT_EQ(lapList(3)->count(), 2);
    EXPECT_EQ(lapList(3)->currentRow(), 1);
    EXPECT_EQ(lapList(3)->currentItem()->text(), QStringLiteral("00:02:000"));

    QTest::mouseClick(find<QPushButton>(QStringLiteral("Smazat3")), Qt::LeftButton);
    EXPECT_EQ(board.lapCount(3), 0);
    EXPECT_EQ(lapList(3)->count(), 0);
    EXPECT_EQ(board.lines(3, BoardList::Track).size(), 1);   // the track list stays
    find<QPushButton>(QStringLiteral("Smazat3_Draha"))->click();
    EXPECT_TRUE(board.lines(3, BoardList::Track).isEmpty());
}

TEST_F(MainWindow, DeleteRecordNeedsASelection) {
    board.AddLapLine(1, 1000);
    board.AddLapLine(1, 2000);
    lapList(1)->clearSelection();
    view.deleteSelectedLine(1, BoardList::Lap);
    EXPECT_EQ(board.lapCount(1), 2);
    lapList(1)->setCurrentRow(0);
    view.deleteSelectedLine(1, BoardList::Lap);
    EXPECT_EQ(board.lines(1, BoardList::Lap), QStringList{QStringLiteral("00:02:000")});
}

TEST_F(MainWindow, NameButtonAsksWithTheDefaultAndCancelRestoresIt) {
    QStringList proposed;
    std::optional<QString> answer = QStringLiteral("Jana");
    view.setNamePrompt([&](const QString& p) { proposed << p; return answer; });
    QSignalSpy starting(&view, &RaceBoardView::nameEntryStarting);
    QSignalSpy finished(&view, &RaceBoardView::nameEntryFinished);

    find<QPushButton>(QStringLiteral("btnJezdec6"))->click();
    EXPECT_EQ(board.DriverName(6), QStringLiteral("Jana"));
    EXPECT_EQ(view.group(6)->title(), QStringLiteral(" Mezičasy  Jana"));

    answer.reset();
    find<QPushButton>(QStringLiteral("btnJezdec6"))->click();
    EXPECT_EQ(proposed, (QStringList{QStringLiteral("kara6"), QStringLiteral("kara6")}));
    EXPECT_EQ(board.DriverName(6), QStringLiteral("kara6"));
    EXPECT_EQ(starting.count(), 2);
    EXPECT_EQ(finished.count(), 2);
}

TEST_F(MainWindow, FlagsReachTheBoard) {
    find<QCheckBox>(QStringLiteral("ZenaBox2"))->click();
    find<QCheckBox>(QStringLiteral("UcastBox7"))->click();
    EXPECT_TRUE(board.isWoman(2));
    EXPECT_TRUE(board.isExcluded(7));
    EXPECT_FALSE(board.isWoman(7));
}

TEST_F(MainWindow, TopTwentyOfferNeedsALap) {
    QSignalSpy offers(&view, &RaceBoardView::topTwentyRequested);
    view.requestTopTwenty(4);
    EXPECT_EQ(offers.count(), 0);
    board.AddLapLine(4, 30'000);
    view.requestTopTwenty(4);
    ASSERT_EQ(offers.count(), 1);
    EXPECT_EQ(offers.at(0).at(0).toInt(), 4);
}

TEST_F(MainWindow, ALongNameIsElidedInANarrowFrameAndWholeInItsHint) {
    const QString longName = QStringLiteral("Maximilián Šťastný-Dvořáček");
    board.setDriverName(2, longName);
    board.setDriverName(3, QStringLiteral("Eva"));
    struct Case {
        bool wide;
        int kart;
        bool elided;
    };
    for (const Case& c : {Case{false, 2, true}, Case{false, 3, false}, Case{true, 3, false}}) {
        form.ApplyLayout(c.wide);
        const QGroupBox* group = view.group(c.kart);
        const QString full = QStringLiteral(" Mezičasy  ") + board.DriverName(c.kart);
        if (c.elided) {
            EXPECT_TRUE(group->title().endsWith(QChar(0x2026))) << group->title().toStdString();
            EXPECT_LE(group->fontMetrics().horizontalAdvance(group->title()), group->width());
            EXPECT_EQ(group->toolTip(), longName);
        } else {
            EXPECT_EQ(group->title(), full);
            EXPECT_TRUE(group->toolTip().isEmpty());
        }
    }
    // Back in the wide window the long name may fit again, or stay elided with its hint.
    form.ApplyLayout(true);
    const QGroupBox* group = view.group(2);
    EXPECT_TRUE(group->title() == QStringLiteral(" Mezičasy  ") + longName || group->toolTip() == longName);
}
