#include "app/tvdisplaywiring.h"
#include "config/settings.h"
#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/qstringprinter.h"
#include "engine/racecontrol.h"
#include "engine/racesettings.h"
#include "spectators/ttv_out_frm.h"
#include "spectators/tvplacement.h"

#include <QLCDNumber>
#include <QLabel>
#include <QTableWidget>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

QStringList row(const QTableWidget* list, int r) {
    QStringList out;
    for (int c = 0; c < list->columnCount(); ++c)
        out << list->item(r, c)->text();
    return out;
}

QTableWidget* list(QWidget& w, const char* name) {
    return w.findChild<QTableWidget*>(QString::fromLatin1(name));
}

QList<BestTableRow> rows(int count, const char* prefix) {
    QList<BestTableRow> out;
    for (int i = 1; i <= count; ++i)
        out.append({QString::number(i), QStringLiteral("%1%2").arg(QString::fromLatin1(prefix)).arg(i),
                    QStringLiteral("00:%1:000").arg(30 + i)});
    return out;
}

} // namespace

TEST(TvPlacement, ScreensAroundThePrimary) {
    const struct {
        const char* what;
        QList<QRect> screens;
        qsizetype primary;
        QPoint expected;
    } cases[] = {
        {"one screen: just beyond it", {{0, 0, 1920, 1080}}, 0, {1920, 0}},
        {"a TV right of the primary", {{0, 0, 1280, 1024}, {1280, 0, 1024, 768}}, 0, {1280, 0}},
        {"the TV listed first, below the top", {{1600, 200, 1024, 768}, {0, 0, 1600, 900}}, 1, {1600, 200}},
        {"the nearer of two on the right", {{0, 0, 1280, 1024}, {3000, 0, 1024, 768}, {1280, 0, 1720, 1000}}, 0, {1280, 0}},
        {"a screen left of the primary only: the rule unchanged",
         {{-1024, 0, 1024, 768}, {0, 0, 1366, 768}}, 1, {1366, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TvPlacement(c.screens, c.primary), c.expected) << c.what;
}

TEST(TTV_Out_Frm, DesignNeverFocusedNorClicked) {
    TTV_Out_Frm tv;
    EXPECT_EQ(tv.windowTitle(), QStringLiteral("Vartemo - průběžné info"));
    EXPECT_EQ(tv.size(), QSize(1016, 734));
    EXPECT_EQ(tv.minimumSize(), tv.maximumSize()) << "fixed border";
    EXPECT_TRUE(tv.windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(tv.windowFlags() & Qt::WindowTransparentForInput);
    EXPECT_FALSE(tv.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint));
    for (const char* name : {"Panel1", "Panel2", "Panel3", "Panel4", "Panel5"})
        EXPECT_NE(tv.findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    for (const char* name : {"Min", "sec", "ms", "LcdDisplay1"})
        EXPECT_NE(tv.findChild<QLCDNumber*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(row(list(tv, "ZavodView"), 0), (QStringList{"1", "kara1", "59:59:999", "1"}));
    EXPECT_EQ(row(list(tv, "TopTenList1"), 9), (QStringList{"10", "noname", "59:59:99"}));
    EXPECT_EQ(tv.findChild<QLabel*>(QStringLiteral("Label5"))->text(),
              QStringLiteral("Průběh závodu - jednotlivá kola"));
    tv.setDisplayMode(kRaceViewMinimumTimes);
    EXPECT_EQ(tv.findChild<QLabel*>(QStringLiteral("Label5"))->text(),
              QStringLiteral("Průběh závodu - minimální časy"));
}

TEST(TTV_Out_Frm, RaceRowsClockAndLength) {
    TTV_Out_Frm tv;
    std::array<QString, kKartCount> names;
    for (int k = 1; k <= kKartCount; ++k)
        names[size_t(k - 1)] = RaceBoard::DefaultDriverName(k);
    names[6] = QStringLiteral("Gita");
    tv.ShowDriverNames(names);
    tv.UpdateRaceRow(7, QStringLiteral("Gita"), 2, 41'236);
    EXPECT_EQ(row(list(tv, "ZavodView"), 0), (QStringList{"1", "Gita", "00:41:236", "3"}));
    EXPECT_EQ(row(list(tv, "ZavodView"), 1), (QStringList{"2", "kara1", "59:59:999", "0"}));

    tv.ShowClock(2, 3, 456);
    auto digits = [&](const char* name) { return tv.findChild<QLCDNumber*>(QString::fromLatin1(name))->intValue(); };
    EXPECT_EQ(digits("Min"), 2);
    EXPECT_EQ(digits("sec"), 3);
    EXPECT_EQ(digits("ms"), 45) << "hundredths on two digits";
    tv.SetRaceLength(12);
    EXPECT_EQ(digits("LcdDisplay1"), 12);
    tv.SetLengthLabel(RaceControl::TvLengthLabel(false));
    EXPECT_EQ(tv.findChild<QLabel*>(QStringLiteral("Label8"))->text(), QStringLiteral("Délka jízdy\nkol"));
}

// Every text shows whole: each of its lines within its label, the lines
// together within its height, whatever the texts the station writes.
TEST(TTV_Out_Frm, EveryTextFitsItsLabel) {
    TTV_Out_Frm tv;
    auto clipped = [&] {
        QStringList out;
        for (const QLabel* label : tv.findChildren<QLabel*>()) {
            if (label->text().isEmpty())
                continue;
            const QFontMetrics metrics(label->font());
            const QStringList lines = label->text().split(u'\n');
            int widest = 0;
            for (const QString& line : lines)
                widest = std::max(widest, metrics.horizontalAdvance(line));
            if (widest > label->contentsRect().width() ||
                metrics.height() + metrics.lineSpacing() * (lines.size() - 1) > label->contentsRect().height())
                out << label->objectName() + u' ' + label->text();
        }
        return out;
    };
    EXPECT_EQ(clipped(), QStringList()) << "design";
    for (bool minutes : {true, false}) {
        tv.SetLengthLabel(RaceControl::TvLengthLabel(minutes));
        EXPECT_EQ(clipped(), QStringList()) << minutes;
    }
    tv.setDisplayMode(kRaceViewMinimumTimes);
    EXPECT_EQ(clipped(), QStringList());
    EXPECT_EQ(tv.findChild<QLabel*>(QStringLiteral("Label1"))->font().pixelSize(), 32) << "titles at their size where they fit";
}

TEST(TTV_Out_Frm, BestTenOnlyWhileBothTablesHoldMoreThanTen) {
    TTV_Out_Frm tv;
    BestTables tables{rows(20, "m"), rows(10, "z")};
    tv.setBestTables([&] { return tables; });
    tv.refreshBestTen();
    EXPECT_EQ(row(list(tv, "TopTenList"), 0), (QStringList{"1", "noname", "59:59:99"})) << "women's has ten";
    tables.women = rows(11, "z");
    tv.refreshBestTen();
    EXPECT_EQ(row(list(tv, "TopTenList"), 0), (QStringList{"1", "m1", "00:31:000"}));
    EXPECT_EQ(row(list(tv, "TopTenList1"), 9), (QStringList{"10", "z10", "00:40:000"}));
    tables = {};
    tv.refreshBestTen();
    EXPECT_EQ(row(list(tv, "TopTenList"), 0), (QStringList{"1", "m1", "00:31:000"})) << "kept";
}

TEST(TTV_Out_Frm, SeeThroughShowsOnlyThePanels) {
    TTV_Out_Frm tv;
    tv.PruhlednyForm();
    QRegion panels;
    for (const char* name : {"Panel1", "Panel2", "Panel3", "Panel4", "Panel5"})
        panels += tv.findChild<QWidget*>(QString::fromLatin1(name))->geometry();
    EXPECT_EQ(tv.mask(), panels);
    EXPECT_FALSE(tv.mask().contains(QPoint(380, 200))) << "between the panels";
    EXPECT_TRUE(tv.mask().contains(QPoint(10, 10)));
    tv.showPageCode(QImage(21, 21, QImage::Format_Mono));
    EXPECT_TRUE(tv.mask().contains(tv.findChild<QLabel*>(QStringLiteral("PageCode"))->geometry().center()));

    tv.UpdateRaceRow(3, QStringLiteral("Cyril"), 4, 40'000);
    tv.leaveSeeThrough();
    EXPECT_TRUE(tv.mask().isEmpty());
    EXPECT_EQ(row(list(tv, "ZavodView"), 0), (QStringList{"1", "kara1", "59:59:999", "1"})) << "design rows again";
}

namespace {

// The window in the station: race control, lap computation and the settings.
struct TvInStation : ::testing::Test {
    RaceBoard board;
    ManualClock clock{10'000'000};
    FixedLapSettings lapSettings;
    LapComputation laps{board, clock, lapSettings};
    FixedRaceSettings raceSettings;
    RaceControl race{board, laps, clock, raceSettings, {}};
    Settings settings;
    TvDisplayWiring wiring{settings, race, laps};

    TvInStation() {
        wiring.setScreens([] { return std::pair{QList<QRect>{{0, 0, 1280, 1024}, {1280, 0, 1024, 768}}, qsizetype(0)}; });
    }
    TTV_Out_Frm& tv() { return wiring.window(); }
};

} // namespace

TEST_F(TvInStation, SettingsShowHideAndSeeThrough) {
    settings.setBoolean(SettingId::TV_OUT_Box, true);
    EXPECT_TRUE(tv().isVisible());
    EXPECT_EQ(tv().pos(), QPoint(1280, 0));
    settings.setBoolean(SettingId::PruhlednyForm_Box, true);
    EXPECT_FALSE(tv().mask().isEmpty());
    settings.setInteger(SettingId::Typ_zobrazeni_Group, 0);
    EXPECT_EQ(tv().displayMode(), kRaceViewMinimumTimes);

    settings.setBoolean(SettingId::TV_OUT_Box, false);
    EXPECT_FALSE(tv().isVisible());
    race.CasZavoduChange(7); // written while hidden too
    race.rbKolaClick();
    settings.setBoolean(SettingId::PruhlednyForm_Box, false);
    EXPECT_FALSE(tv().isVisible()) << "leaving see-through with the TV off keeps it hidden";
    EXPECT_TRUE(tv().mask().isEmpty());
    EXPECT_EQ(tv().findChild<QLCDNumber*>(QStringLiteral("LcdDisplay1"))->intValue(), 7);
    EXPECT_EQ(tv().findChild<QLabel*>(QStringLiteral("Label8"))->text(), QStringLiteral("Délka jízdy\nkol"));
}

TEST_F(TvInStation, LapsAndRaceStartReachTheRaceView) {
    lapSettings.tv = true;
    lapSettings.firstCode[1] = QStringLiteral("K2");
    board.setDriverName(2, QStringLiteral("Bára"));
    race.StartButton1Click();
    ASSERT_EQ(race.phase(), RacePhase::Timing);
    for (TimeMs t : {5'000, 35'000, 64'000}) {
        clock.set(laps.raceStart() + t);
        laps.MatchCode(QStringLiteral("K2"), {});
        laps.PollAll();
    }
    const QTableWidget* view = list(tv(), "ZavodView");
    EXPECT_EQ(row(view, 0), (QStringList{"1", "Bára", "00:29:000", "3"}));
}
