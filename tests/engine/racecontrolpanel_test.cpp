#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/raceboardview.h"
#include "engine/racecontrol.h"
#include "engine/racecontrolpanel.h"
#include "engine/racesettings.h"
#include "engine/tform1.h"
#include "qstringprinter.h"

#include <QLCDNumber>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

// The main window with race control on it, on a hand-moved clock.
struct Panel : ::testing::Test {
    RaceBoard board;
    ManualClock clock{80'000'000};
    FixedLapSettings lapSettings;
    LapComputation laps{board, clock, lapSettings};
    FixedRaceSettings settings;
    RaceControl control{board, laps, clock, settings, {}};
    TForm1 window{board};
    RaceControlPanel* panel = new RaceControlPanel(window, control);

    template <typename W = QWidget>
    W* find(const char* name) {
        auto* w = window.findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void wheel(int delta) {
        QSpinBox* length = window.raceLength();
        QWheelEvent e(QPointF(5, 5), length->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(length, &e);
    }
};

} // namespace

TEST_F(Panel, StartButtonCarriesTheProgressBarAlongItsLowerEdge) {
    auto* button = find<QPushButton>("StartButton1");
    auto* bar = find<QProgressBar>("ProgressBar");
    ASSERT_TRUE(button && bar);
    EXPECT_EQ(bar->parentWidget(), button);
    window.show();
    EXPECT_EQ(bar->geometry(), QRect(4, button->height() - 10, button->width() - 10, 6));
    button->resize(button->width() + 30, button->height() + 4);
    EXPECT_EQ(bar->geometry(), QRect(4, button->height() - 10, button->width() - 10, 6));
    EXPECT_EQ(bar->maximum(), 600);
    EXPECT_EQ(bar->value(), 600);
}

TEST_F(Panel, ClickingStartTimesTheRideAndShowsTheClock) {
    auto* print = new QPushButton(QStringLiteral("&Tisk      "), &window);
    print->setObjectName(QStringLiteral("Tisk1"));
    auto* button = find<QPushButton>("StartButton1");
    window.show();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(button->text(), "&STOP");
    EXPECT_FALSE(print->isEnabled());
    EXPECT_FALSE(find("btnJezdec7")->isEnabled());

    clock.set(laps.raceStart() + 3 * 60'000 + 7'042);
    control.fire(RaceTimer::Display);
    EXPECT_EQ(find<QLCDNumber>("LcdDisplay3")->intValue(), 3);
    EXPECT_EQ(find<QLCDNumber>("LcdDisplay2")->intValue(), 7);
    EXPECT_EQ(find<QLCDNumber>("LcdDisplay1")->intValue(), 42);
    EXPECT_EQ(find<QProgressBar>("ProgressBar")->value(), 600 - 187);

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(button->text(), "&START");
    EXPECT_TRUE(print->isEnabled());
    EXPECT_TRUE(find("btnJezdec7")->isEnabled());
}

TEST_F(Panel, StartTakesTheFocusAwayFromTheRaceLength) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.raceLength()->setFocus();
    ASSERT_TRUE(window.raceLength()->hasFocus());
    control.StartButton1Click();
    EXPECT_FALSE(window.raceLength()->hasFocus());
    EXPECT_FALSE(find("StartButton1")->hasFocus());
}

TEST_F(Panel, WheelOverTheRaceLengthStepsByOneWithinRange) {
    QSpinBox* length = window.raceLength();
    wheel(120);
    EXPECT_EQ(length->value(), 11);
    EXPECT_EQ(control.raceLength(), 11);
    EXPECT_EQ(control.progressMaximum(), 660);
    wheel(-360); // a fast turn is still one step
    EXPECT_EQ(length->value(), 10);
    length->setValue(59);
    wheel(120);
    EXPECT_EQ(length->value(), 59);
    length->setValue(1);
    wheel(-120);
    EXPECT_EQ(length->value(), 1);
}

TEST_F(Panel, UnitChoiceReachesRaceControl) {
    find<QRadioButton>("rbKola")->click();
    EXPECT_FALSE(control.countsMinutes());
    EXPECT_EQ(control.progressMaximum(), 10);
    find<QRadioButton>("rbMinuty")->click();
    EXPECT_TRUE(control.countsMinutes());
}

TEST_F(Panel, FirstShowingArmsTheStartAndClosingStopsEverything) {
    settings.externalStartOn = true;
    window.raceLength()->setValue(25);
    window.show();
    EXPECT_EQ(window.raceLength()->value(), 10);
    EXPECT_TRUE(control.isActive(RaceTimer::ExtStart));
    window.hide();
    window.raceLength()->setValue(25);
    window.show(); // only the first showing resets
    EXPECT_EQ(window.raceLength()->value(), 25);
    window.close();
    EXPECT_FALSE(control.isActive(RaceTimer::ExtStart));
}

TEST_F(Panel, NameInputPausesTheStartWaiting) {
    settings.autoStartOn = true;
    window.show();
    ASSERT_TRUE(control.isActive(RaceTimer::ExtStart));
    bool waitingDuringInput = true;
    window.boardView()->setNamePrompt([&](const QString&) -> std::optional<QString> {
        waitingDuringInput = control.isActive(RaceTimer::ExtStart) ||
                             control.isActive(RaceTimer::AutoStartDelay);
        return QStringLiteral("Petr");
    });
    window.boardView()->nameButton(2)->click();
    EXPECT_FALSE(waitingDuringInput);
    EXPECT_EQ(board.DriverName(2), "Petr");
    EXPECT_TRUE(control.isActive(RaceTimer::ExtStart));
    EXPECT_TRUE(control.isActive(RaceTimer::AutoStartDelay));
}
