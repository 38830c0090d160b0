#include "analysis/kartseries.h"
#include "analysis/pointthinning.h"
#include "analysis/splitline.h"

#include <gtest/gtest.h>

using namespace vartemo;

TEST(SplitLineParse, TimeAfterTheLastBlankLabelBefore) {
    struct Case {
        const char* line;
        const char* label;
        const char* time;
    } const cases[] = {
        {"  L 00:12:234", "  L", "00:12:234"},
        {"10 00:04:321", "10", "00:04:321"},
        {"1 00:04:321", "1", "00:04:321"},     // a one-character identifier
        {" 00:04:321", "", "00:04:321"},       // a split found by the second code
        {"10 12:04:321", "10", "12:04:321"},   // ten minutes and more keep their tens
        {"123 00:04:321 ", "123", "00:04:321"},
        {"00:04:321", "", "00:04:321"},        // no blank: all time
    };
    for (const auto& c : cases) {
        const SplitLine s = SplitLine::Parse(QString::fromUtf8(c.line));
        EXPECT_EQ(s.label, QString::fromUtf8(c.label)) << c.line;
        EXPECT_EQ(s.time, QString::fromUtf8(c.time)) << c.line;
    }
}

TEST(BuildKartPoints, LeadPointOneMillisecondBelowTheFirstTime) {
    const KartPoints none = BuildKartPoints({}, ChartKind::Laps);
    EXPECT_TRUE(none.points.isEmpty());
    EXPECT_FALSE(none.charted());

    const KartPoints one = BuildKartPoints({QStringLiteral("00:41:236")}, ChartKind::Laps);
    EXPECT_EQ(one.points, (QList<QPointF>{{0, 41'235}, {1, 41'236}}));
    EXPECT_TRUE(one.charted());
    EXPECT_FALSE(one.error);

    const KartPoints three = BuildKartPoints(
        {QStringLiteral("00:41:236"), QStringLiteral("01:05:000"), QStringLiteral("00:40:001")}, ChartKind::Laps);
    ASSERT_EQ(three.points.size(), 4);
    EXPECT_EQ(three.points[2], QPointF(2, 65'000));
    EXPECT_EQ(three.points[3], QPointF(3, 40'001));
}

TEST(BuildKartPoints, UnreadableLineStopsWithThePointsSoFar) {
    const KartPoints r = BuildKartPoints(
        {QStringLiteral("00:41:236"), QStringLiteral("00:42:000"), QStringLiteral("oprava"),
         QStringLiteral("00:43:000")},
        ChartKind::Laps);
    ASSERT_TRUE(r.error);
    EXPECT_TRUE(r.error->contains(QStringLiteral("not a valid integer value"))) << qPrintable(*r.error);
    EXPECT_EQ(r.points.size(), 3); // lead point and the two laps before it

    // A first line that cannot be read leaves nothing to chart.
    const KartPoints first = BuildKartPoints({QStringLiteral("x")}, ChartKind::Laps);
    EXPECT_TRUE(first.error);
    EXPECT_FALSE(first.charted());
}

TEST(BuildKartPoints, SplitTimesOfEveryLabelLength) {
    const QStringList lines = {QStringLiteral(" 00:03:000"), QStringLiteral("1 00:04:321"),
                               QStringLiteral("10 12:04:321"), QStringLiteral("  L 00:41:236")};
    const KartPoints r = BuildKartPoints(lines, ChartKind::Splits);
    EXPECT_FALSE(r.error);
    EXPECT_EQ(r.points, (QList<QPointF>{{0, 2'999}, {1, 3'000}, {2, 4'321}, {3, 724'321}, {4, 41'236}}));
}

TEST(BuildKartPoints, LongSplitListsAreChartedWhole) {
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << QStringLiteral("05 00:%1:000").arg(i % 60, 2, 10, QLatin1Char('0'));
    EXPECT_EQ(BuildKartPoints(lines, ChartKind::Splits).points.size(), 301);
}

namespace {
SensorFilter OneAndTen(bool oneChecked, bool tenChecked) {
    SensorFilter f;
    f.ids[0] = QStringLiteral("1");
    f.ids[9] = QStringLiteral("10");
    f.checked[0] = oneChecked;
    f.checked[9] = tenChecked;
    return f;
}
} // namespace

TEST(SensorFilter, ExactLabelFollowsItsItemOthersBySubstring) {
    struct Case {
        const char* label;
        bool one, ten, shown;
        const char* why;
    } const cases[] = {
        {"10", true, false, false, "item 10 is off although identifier 1 occurs in 10"},
        {"10", false, true, true, "item 10 on"},
        {"1", true, false, true, "item 1 on"},
        {"1", false, true, false, "item 1 off; 10 does not occur in 1"},
        {"  L", false, false, true, "whole laps always"},
        {"21", true, false, true, "no exact identifier, 1 occurs and is on"},
        {"21", false, false, false, "only unchecked identifiers occur"},
        {"07", false, false, true, "no identifier occurs"},
        {"", false, false, true, "no label"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OneAndTen(c.one, c.ten).shows(QString::fromUtf8(c.label)), c.shown) << c.why;
}

TEST(SensorFilter, EmptyIdentifiersMatchNothingAndLongOnesAsCut) {
    SensorFilter f;
    f.ids[2] = QStringLiteral("1234"); // a split line carries "123"
    EXPECT_FALSE(f.shows(QStringLiteral("123")));
    f.checked[2] = true;
    EXPECT_TRUE(f.shows(QStringLiteral("123")));
    EXPECT_TRUE(SensorFilter{}.shows(QStringLiteral("05")));
}

TEST(BuildKartPoints, FilteredLinesTakeNoPositionButTheFirstLeads) {
    SensorFilter only5;
    only5.ids[4] = QStringLiteral("05");
    only5.ids[5] = QStringLiteral("06");
    only5.checked[4] = true;
    const QStringList lines = {QStringLiteral("06 00:02:000"), QStringLiteral("05 00:03:000"),
                               QStringLiteral("06 00:04:000"), QStringLiteral("  L 00:41:000")};
    const KartPoints r = BuildKartPoints(lines, ChartKind::Splits, &only5);
    EXPECT_EQ(r.points, (QList<QPointF>{{0, 1'999}, {1, 3'000}, {2, 41'000}}));
}

TEST(ThinToColumns, KeepsEachColumnsLowestAndHighestInOrder) {
    // Few points: unchanged.
    const QList<QPointF> few = {{0, 5}, {1, 7}, {2, 6}};
    EXPECT_EQ(ThinToColumns(few, 10), few);
    // Eight points in two columns: first, each column's low and high, last.
    const QList<QPointF> many = {{0, 5}, {1, 9}, {2, 1}, {3, 4}, {4, 8}, {5, 2}, {6, 3}, {7, 6}};
    EXPECT_EQ(ThinToColumns(many, 2), (QList<QPointF>{{0, 5}, {1, 9}, {2, 1}, {4, 8}, {5, 2}, {7, 6}}));
    // The top edge of the area under it: only each column's highest.
    EXPECT_EQ(ThinToColumns(many, 2, ColumnKeep::Highest), (QList<QPointF>{{0, 5}, {1, 9}, {4, 8}, {7, 6}}));
    EXPECT_EQ(ThinToColumns(few, 10, ColumnKeep::Highest), few);
    // 2000 laps for 320 pixels: at most two a column, the extremes kept.
    QList<QPointF> laps;
    for (int i = 0; i <= 2000; ++i)
        laps.append(QPointF(i, 40'000 + (i * 7919) % 9000));
    laps[1234].setY(99'000);
    const QList<QPointF> thin = ThinToColumns(laps, 320);
    EXPECT_LE(thin.size(), 2 * 320 + 2);
    EXPECT_EQ(thin.first(), laps.first());
    EXPECT_EQ(thin.last(), laps.last());
    EXPECT_TRUE(thin.contains(laps[1234]));
    EXPECT_TRUE(std::is_sorted(thin.begin(), thin.end(), [](QPointF a, QPointF b) { return a.x() < b.x(); }));
}
