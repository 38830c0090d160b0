#include "engine/commandbuttons.h"
#include "engine/mainstatusbar.h"
#include "platform/processorload.h"
#include "ui/lamp.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

struct StatusBar : ::testing::Test {
    FakeProcessorLoad load;
    bool lptInUse = false;
    bool comReceiving = false;
    MainStatusBar bar{MainStatusBar::Sources{[this] { return lptInUse; }, [this] { return comReceiving; }, &load,
                                             [] { return QDateTime(QDate(2026, 12, 9), QTime(14, 3, 27)); }}};

    QString text(int panel) const { return static_cast<QLabel*>(bar.panel(panel))->text(); }
    QColor background(int panel) const { return bar.panel(panel)->palette().color(QPalette::Window); }
};

} // namespace

TEST_F(StatusBar, ElevenPanelsWithTheirTextsAndWidths) {
    EXPECT_EQ(bar.objectName(), "mxStatusBar1");
    const int widths[MainStatusBar::kPanelCount - 1] = {85, 40, 70, 40, 55, 85, 160, 65, 150, 20};
    for (int i = 0; i < MainStatusBar::kPanelCount - 1; ++i)
        EXPECT_EQ(bar.panel(i)->width(), widths[i]) << i;
    // The last panel takes the rest of the bar, at least its 15 pixels.
    EXPECT_EQ(bar.panel(10)->minimumWidth(), 15);
    EXPECT_EQ(text(0), "Aktivní LPT port:");
    EXPECT_EQ(text(2), "Com/IR port:");
    EXPECT_EQ(text(4), "Uživatel:");
    EXPECT_EQ(text(5), "Admin");
    EXPECT_EQ(text(7), " CPU: ???%");
    EXPECT_EQ(text(10), "Orvane Software");
    EXPECT_TRUE(static_cast<QLabel*>(bar.panel(0))->alignment() & Qt::AlignRight);
    for (int i = 0; i <= 3; ++i)
        EXPECT_TRUE(bar.panel(i)->toolTip().contains("je stav zobrazen červenou barvou")) << i;
    EXPECT_EQ(bar.panel(7)->toolTip(), "Zatížení procesoru");
    EXPECT_EQ(bar.findChild<Lamp*>("led - LPT"), bar.lptLamp());
    EXPECT_EQ(bar.findChild<Lamp*>("led - Com"), bar.comLamp());
}

TEST_F(StatusBar, LayoutSetsTheWidthsOfPanelsSixEightAndNine) {
    bar.ApplyLayout(true);
    EXPECT_EQ(bar.panel(6)->width(), 190);
    EXPECT_EQ(bar.panel(8)->width(), 190);
    EXPECT_EQ(bar.panel(9)->width(), 20);
    bar.ApplyLayout(false);
    EXPECT_FALSE(bar.panel(6)->isVisibleTo(&bar));
    EXPECT_EQ(bar.panel(8)->width(), 150);
    EXPECT_FALSE(bar.panel(9)->isVisibleTo(&bar));
}

TEST(StatusBarTexts, EveryTextIsWholeInBothLayouts) {
    QDateTime now;
    FakeProcessorLoad load;
    load.value = 100;
    MainStatusBar bar{MainStatusBar::Sources{[] { return true; }, [] { return true; }, &load, [&now] { return now; }}};
    for (const auto& [wide, width] : {std::pair{true, 977}, std::pair{false, 659}}) {
        bar.setFixedWidth(width);
        bar.ApplyLayout(wide);
        bar.show();
        // The longest date of the year: every Czech month name is tried.
        for (int month = 1; month <= 12; ++month) {
            now = QDateTime(QDate(2026, month, 28), QTime(23, 59, 59));
            bar.MCPUUsage1Interval();
            QApplication::processEvents();
            for (const int panel : {0, 2, 4, 5, 7, 8, 10}) {
                const auto* label = static_cast<const QLabel*>(bar.panel(panel));
                const int room = label->contentsRect().width() - label->indent();
                const bool whole = room >= label->fontMetrics().horizontalAdvance(label->text());
                // The narrow window leaves the last panel too little room:
                // its hint carries the text there.
                if (panel == 10 && !wide)
                    EXPECT_EQ(label->toolTip(), label->text());
                else
                    EXPECT_TRUE(whole) << "panel " << panel << " '" << label->text().toStdString() << "' wide " << wide;
            }
        }
    }
}

TEST_F(StatusBar, TickShowsLoadInItsColour) {
    struct Case {
        std::optional<int> load;
        const char* text;
        std::optional<LoadColour> colour;
    };
    // Each row follows the one before: a value the panel cannot show keeps it.
    const Case cases[] = {
        {std::nullopt, " CPU: ???%", std::nullopt},
        {7, " CPU:007%", LoadColour::Lime},
        {39, " CPU:039%", LoadColour::Lime},
        {40, " CPU:040%", LoadColour::Yellow},
        {59, " CPU:059%", LoadColour::Yellow},
        {60, " CPU:060%", LoadColour::Olive},
        {89, " CPU:089%", LoadColour::Olive},
        {90, " CPU:090%", LoadColour::Red},
        {45, " CPU:045%", LoadColour::Yellow},
        {101, " CPU:045%", LoadColour::Yellow},
        {100, " CPU:100%", LoadColour::Red},
        {std::nullopt, " CPU:100%", LoadColour::Red},
    };
    for (const Case& c : cases) {
        load.value = c.load;
        bar.MCPUUsage1Interval();
        EXPECT_EQ(text(7), c.text) << c.load.value_or(-1);
        EXPECT_EQ(bar.loadColour(), c.colour) << c.load.value_or(-1);
    }
    load.value = 7;
    bar.MCPUUsage1Interval();
    EXPECT_EQ(background(7), QColor(0, 255, 0));
    load.value = 60;
    bar.MCPUUsage1Interval();
    EXPECT_EQ(background(7), QColor(0x80, 0x80, 0));
    load.value = 100;
    bar.MCPUUsage1Interval();
    EXPECT_EQ(background(7), QColor(255, 0, 0));
}

TEST_F(StatusBar, TickShowsThePortStatesAndTheClock) {
    const std::pair<bool, bool> cases[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    for (const auto& [lpt, com] : cases) {
        lptInUse = lpt;
        comReceiving = com;
        bar.MCPUUsage1Interval();
        EXPECT_EQ(bar.lptLamp()->color(), lpt ? MainStatusBar::freeColour() : MainStatusBar::busyColour());
        EXPECT_EQ(bar.comLamp()->color(), com ? MainStatusBar::freeColour() : MainStatusBar::busyColour());
    }
    EXPECT_NE(MainStatusBar::freeColour(), MainStatusBar::busyColour());
    EXPECT_EQ(text(8), "9. prosince 2026 14:03:27");
}

TEST_F(StatusBar, TheUserPanelOpensTheLogBook) {
    bar.setUserName("Petr");
    EXPECT_EQ(text(5), "Petr");
    EXPECT_EQ(bar.panel(5)->cursor().shape(), Qt::PointingHandCursor);
    QSignalSpy clicked(&bar, &MainStatusBar::userPanelClicked);
    QTest::mouseClick(bar.panel(4), Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 0);
    QTest::mouseClick(bar.panel(5), Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
}

TEST(CommandButtons, CaptionsHintsAndTheirSignals) {
    CommandButtons buttons;
    struct Case {
        const char* name;
        const char* caption;
        const char* hint;
        void (CommandButtons::*signal)();
    };
    const Case cases[] = {
        {"Tisk1", "&Tisk      ", "", &CommandButtons::printResults},
        {"stav_motokar", "Sta&v/Deník", "Motohidiny a hlášení stavu motokár", &CommandButtons::kartStatus},
        {"Statistika", "S&tatistika", "Zobrazení grafu a tabulka TOP 20", &CommandButtons::statistics},
        {"btnNastaveni", "&Nastavení", "", &CommandButtons::settings},
        {"TopTen10", "&Nejlepších dvacet časů", "", &CommandButtons::topTwenty},
        {"btnOprogramu", "&O programu", "", &CommandButtons::about},
        {"btnHelp", "Ná&pověda", "", &CommandButtons::help},
        {"btnKonec", " &Konec  ", "", &CommandButtons::quit},
    };
    for (const Case& c : cases) {
        QPushButton* b = buttons.button(c.name);
        ASSERT_NE(b, nullptr) << c.name;
        EXPECT_EQ(b->text(), QString::fromUtf8(c.caption));
        EXPECT_EQ(b->toolTip(), QString::fromUtf8(c.hint));
        QSignalSpy spy(&buttons, c.signal);
        b->click();
        EXPECT_EQ(spy.count(), 1) << c.name;
    }
}

TEST(CommandButtons, ThePrintArrowSitsInTisk1AndItsMenuPrints) {
    CommandButtons buttons;
    buttons.resize(300, 200);
    buttons.show();
    QPushButton* tisk1 = buttons.button("Tisk1");
    auto* arrow = buttons.findChild<QToolButton*>("SpeedBtn1");
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(arrow->parentWidget(), tisk1);
    EXPECT_EQ(arrow->geometry(), QRect(tisk1->width() - 29, 4, 25, tisk1->height() - 8));

    QMenu* menu = buttons.findChild<QMenu*>("PopupMenu5");
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    const std::pair<const char*, void (CommandButtons::*)()> items[] = {
        {"Tisk výsledku jízd", &CommandButtons::printResults},
        {"Tisk výsledku mezičasů", &CommandButtons::printSplits},
        {"Tisk diplomu", &CommandButtons::printDiploma},
    };
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(actions[i]->text(), QString::fromUtf8(items[i].first));
        QSignalSpy spy(&buttons, items[i].second);
        actions[i]->trigger();
        EXPECT_EQ(spy.count(), 1) << i;
    }
}

TEST(CommandButtons, ARideDisablesTheWindowsThatChangeItsData) {
    CommandButtons buttons;
    buttons.setRideRunning(true);
    for (const char* name : {"stav_motokar", "Statistika", "Tisk1", "TopTen10", "btnNastaveni"})
        EXPECT_FALSE(buttons.button(name)->isEnabled()) << name;
    for (const char* name : {"btnOprogramu", "btnHelp", "btnKonec"})
        EXPECT_TRUE(buttons.button(name)->isEnabled()) << name;
    buttons.setRideRunning(false);
    EXPECT_TRUE(buttons.button("Tisk1")->isEnabled());
}

TEST(CommandButtons, ButtonsWithoutAWindowAreDisabledAndSaySoEvenAfterARide) {
    CommandButtons buttons;
    QObject settingsWindow, printWindow;
    QObject::connect(&buttons, &CommandButtons::settings, &settingsWindow, [] {});
    QObject::connect(&buttons, &CommandButtons::printResults, &printWindow, [] {});
    buttons.DisableUnconnected();

    struct Case {
        const char* name;
        bool available;
        const char* hint;
    };
    const Case cases[] = {
        {"btnNastaveni", true, ""},
        {"Tisk1", true, ""},
        {"stav_motokar", false, "Připravuje se"},
        {"TopTen10", false, "Připravuje se"},
        {"btnHelp", false, "Připravuje se"},
    };
    for (const bool afterRide : {false, true}) {
        if (afterRide) {
            buttons.setRideRunning(true);
            buttons.setRideRunning(false);
        }
        for (const Case& c : cases) {
            EXPECT_EQ(buttons.button(c.name)->isEnabled(), c.available) << c.name << " after ride " << afterRide;
            EXPECT_EQ(buttons.button(c.name)->toolTip(), QString::fromUtf8(c.hint)) << c.name;
        }
    }
    // The print menu: the lap sheet has its window, splits and diplomas not.
    const QList<QAction*> items = buttons.printMenu()->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_TRUE(items[0]->isEnabled());
    EXPECT_FALSE(items[1]->isEnabled());
    EXPECT_EQ(items[2]->toolTip(), "Připravuje se");
}
