#include "engine/qstringprinter.h"
#include "spectators/raceview.h"

#include <gtest/gtest.h>

using namespace vartemo;

namespace {

// The view as the TV shows it: "rank kart name time laps" per row.
QStringList shown(const RaceView& view) {
    QStringList out;
    for (int i = 0; i < kKartCount; ++i) {
        const RaceViewRow& r = view.rows()[size_t(i)];
        out << QStringLiteral("%1 k%2 %3 %4 %5")
                   .arg(i + 1)
                   .arg(r.kart)
                   .arg(r.name, view.timeText(i), view.lapsText(i));
    }
    return out;
}

std::array<QString, kKartCount> names(std::initializer_list<const char*> first) {
    std::array<QString, kKartCount> n;
    for (int k = 1; k <= kKartCount; ++k)
        n[size_t(k - 1)] = RaceBoard::DefaultDriverName(k);
    int k = 0;
    for (const char* name : first)
        n[size_t(k++)] = QString::fromUtf8(name);
    return n;
}

struct Lap {
    int kart;
    const char* name;
    int linesBefore;
    TimeMs lap;
};

struct Case {
    const char* what;
    int mode;
    std::vector<Lap> laps;
    std::vector<const char*> top; // the first rows afterwards
};

} // namespace

TEST(RaceView, DesignRows) {
    RaceView view;
    EXPECT_EQ(shown(view).first(), QStringLiteral("1 k1 kara1 59:59:999 1"));
    EXPECT_EQ(shown(view).last(), QStringLiteral("8 k8 kara8 59:59:999 1"));
}

TEST(RaceView, UpdateRaceRow) {
    const Case cases[] = {
        {"mode 0, first lap: laps 1, the time kept (the run from the start is no minimum)",
         kRaceViewMinimumTimes, {{3, "Eva", 0, 41'000}},
         {"1 k3 Eva 59:59:999 1", "2 k1 Adam 59:59:999 0"}},
        {"mode 0, slower lap: laps only", kRaceViewMinimumTimes,
         {{3, "Eva", 0, 41'000}, {3, "Eva", 1, 40'000}, {3, "Eva", 2, 42'500}},
         {"1 k3 Eva 00:40:000 3"}},
        {"mode 0, faster lap: the time", kRaceViewMinimumTimes,
         {{3, "Eva", 0, 41'000}, {3, "Eva", 1, 40'000}, {3, "Eva", 2, 39'876}},
         {"1 k3 Eva 00:39:876 3"}},
        {"mode 0, an equal lap is not written again", kRaceViewMinimumTimes,
         {{3, "Eva", 1, 40'000}, {3, "Eva", 2, 40'000}}, {"1 k3 Eva 00:40:000 3"}},
        {"mode 1, every lap, slower or not", kRaceViewRunningTimes,
         {{3, "Eva", 0, 41'000}, {3, "Eva", 1, 40'000}, {3, "Eva", 2, 42'500}},
         {"1 k3 Eva 00:42:500 3"}},
        {"a name in no row: the kart's own row takes it", kRaceViewRunningTimes,
         {{2, "Nový jezdec", 0, 30'000}}, {"1 k2 Nový jezdec 00:30:000 1"}},
        {"two karts of one name each write their own row", kRaceViewRunningTimes,
         {{4, "Petr", 0, 30'000}, {5, "Petr", 0, 31'000}},
         {"1 k4 Petr 00:30:000 1", "2 k5 Petr 00:31:000 1"}},
        {"5 laps stand above 4", kRaceViewRunningTimes,
         {{1, "Adam", 3, 30'000}, {2, "Bára", 4, 45'000}},
         {"1 k2 Bára 00:45:000 5", "2 k1 Adam 00:30:000 4"}},
        {"equal laps: the smaller time first", kRaceViewRunningTimes,
         {{1, "Adam", 3, 41'000}, {2, "Bára", 3, 40'999}},
         {"1 k2 Bára 00:40:999 4", "2 k1 Adam 00:41:000 4"}},
        {"equal rows: the smaller kart number first", kRaceViewRunningTimes,
         {{6, "F", 3, 40'000}, {2, "B", 3, 40'000}},
         {"1 k2 B 00:40:000 4", "2 k6 F 00:40:000 4"}},
        {"an hour or more shows its minutes within the hour, and compares so",
         kRaceViewMinimumTimes, {{1, "Adam", 1, 60 * 60'000 + 5'000}},
         {"1 k1 Adam 00:05:000 2"}},
    };
    for (const Case& c : cases) {
        RaceView view;
        view.StartNames(names({"Adam", "Bára", "Cyril"}));
        for (const Lap& l : c.laps)
            ASSERT_TRUE(view.UpdateRaceRow(l.kart, QString::fromUtf8(l.name), l.linesBefore, l.lap, c.mode));
        const QStringList rows = shown(view);
        for (size_t i = 0; i < c.top.size(); ++i)
            EXPECT_EQ(rows[qsizetype(i)], QString::fromUtf8(c.top[i])) << c.what;
    }
}

TEST(RaceView, AKartOutOfRangeChangesNothing) {
    RaceView view;
    const QStringList before = shown(view);
    EXPECT_FALSE(view.UpdateRaceRow(9, QStringLiteral("kara9"), 0, 30'000, kRaceViewRunningTimes));
    EXPECT_FALSE(view.UpdateRaceRow(0, QStringLiteral("kara1"), 0, 30'000, kRaceViewRunningTimes));
    EXPECT_EQ(shown(view), before);
}

// The race start used to rename the rows by position and keep their times
// and laps: after a sorted ride a row kept another kart's figures under the
// new name, and in mode 0 an old best outlived every lap of the new ride.
TEST(RaceView, RaceStartEmptiesEveryRowUnderItsKart) {
    RaceView view;
    view.StartNames(names({}));
    view.UpdateRaceRow(5, QStringLiteral("kara5"), 6, 38'000, kRaceViewMinimumTimes);
    view.UpdateRaceRow(2, QStringLiteral("kara2"), 3, 45'000, kRaceViewMinimumTimes);
    ASSERT_EQ(shown(view)[0], QStringLiteral("1 k5 kara5 00:38:000 7"));

    view.StartNames(names({"Adam", "Bára", "Cyril", "Dana", "Emil"}));
    const QStringList rows = shown(view);
    EXPECT_EQ(rows[0], QStringLiteral("1 k1 Adam 59:59:999 0"));
    EXPECT_EQ(rows[4], QStringLiteral("5 k5 Emil 59:59:999 0"));
    EXPECT_EQ(rows[7], QStringLiteral("8 k8 kara8 59:59:999 0"));

    // The new ride's first real lap (slower than the old best) is shown.
    view.UpdateRaceRow(5, QStringLiteral("Emil"), 0, 50'000, kRaceViewMinimumTimes);
    view.UpdateRaceRow(5, QStringLiteral("Emil"), 1, 41'000, kRaceViewMinimumTimes);
    EXPECT_EQ(shown(view)[0], QStringLiteral("1 k5 Emil 00:41:000 2"));
}

// The old comparison answered "after" both ways for equal rows, which is no
// ordering at all; this one is strict and total over the rows.
TEST(RaceView, CompareIsAStrictTotalOrder) {
    const RaceViewRow rows[] = {
        {1, "A", 40'000, 4}, {2, "B", 40'000, 4}, {3, "C", 39'000, 4}, {4, "D", 50'000, 5},
        {5, "E", RaceView::kNoTime, 0}, {6, "F", RaceView::kNoTime, 0},
    };
    for (const auto& a : rows) {
        EXPECT_FALSE(RaceView::ZavodViewCompare(a, a)) << a.kart;
        for (const auto& b : rows) {
            if (a.kart == b.kart)
                continue;
            EXPECT_NE(RaceView::ZavodViewCompare(a, b), RaceView::ZavodViewCompare(b, a))
                << a.kart << " " << b.kart;
        }
    }
    EXPECT_TRUE(RaceView::ZavodViewCompare(rows[3], rows[2])) << "more laps first";
    EXPECT_TRUE(RaceView::ZavodViewCompare(rows[2], rows[0])) << "then the smaller time";
    EXPECT_TRUE(RaceView::ZavodViewCompare(rows[0], rows[1])) << "then the kart";
}
