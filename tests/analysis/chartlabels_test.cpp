#include "analysis/chartlabels.h"

#include <gtest/gtest.h>

using namespace vartemo;
using namespace vartemo::chartlabels;

TEST(ChartTimeText, WholeMinutesSecondsMillisAndSign) {
    const std::pair<double, const char*> cases[] = {
        {41'236, "00:41:236"},
        {65'000, "01:05:000"},         // past a minute: not 00:65:000
        {12 * 60'000 + 4'321, "12:04:321"},
        {3'600'000, "60:00:000"},      // the hour is not cut
        {-1, "-00:00:001"},            // the lead point below a zero time
        {-65'000, "-01:05:000"},
        {0, "00:00:000"},
        {999.6, "00:01:000"},          // rounded to the millisecond
        {100 * 60'000, "100:00:000"},
    };
    for (const auto& [ms, text] : cases)
        EXPECT_EQ(TimeText(ms), QString::fromUtf8(text)) << ms;
}

TEST(ChartNumberText, CzechGroupingAndUpToThreeDecimals) {
    const std::pair<double, const char*> cases[] = {
        {3.5, "3,5"},
        {3, "3"},
        {0, "0"},
        {1234.5, "1 234,5"},
        {1234567, "1 234 567"},
        {2.12345, "2,123"},
        {2.9996, "3"},                 // rounding carries into the whole part
        {-0.25, "-0,25"},
        {-0.0001, "0"},                // no minus before a value that shows as zero
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(NumberText(value), QString::fromUtf8(text)) << value;
}

TEST(ChartReadout, TimeThenLapSeparatedBySlash) {
    EXPECT_EQ(ReadoutText(65'000, 3.5), QStringLiteral("01:05:000  /  3,5"));
}

TEST(ChartTicks, RoundStepsInsideTheRangeWithinTheCount) {
    struct Case {
        double min, max;
        int maxCount;
        double step;
    } const cases[] = {
        {40'000, 45'000, 11, 500},        // half seconds
        {40'000, 100'000, 10, 10'000},    // tens of seconds
        {0, 3'600'000, 10, 600'000},      // ten minutes
        {41'230, 41'240, 11, 1},          // milliseconds when zoomed in
    };
    for (const auto& c : cases) {
        const QList<double> ticks = TimeTicks(c.min, c.max, c.maxCount);
        ASSERT_GE(ticks.size(), 2) << c.min << ".." << c.max;
        EXPECT_LE(ticks.size(), c.maxCount);
        EXPECT_GE(ticks.first(), c.min);
        EXPECT_LE(ticks.last(), c.max);
        EXPECT_DOUBLE_EQ(ticks[1] - ticks[0], c.step) << c.min << ".." << c.max;
    }
    EXPECT_TRUE(TimeTicks(5, 1, 10).isEmpty()); // an inverted range has none
}

TEST(ChartTicks, LapLabelsAtWholeLaps) {
    EXPECT_EQ(LapTicks(0, 5, 20), (QList<double>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(LapTicks(0.5, 3.2, 20), (QList<double>{1, 2, 3}));
    // Too many laps for one label each: every 100th of 2000.
    const QList<double> many = LapTicks(0, 2000, 25);
    EXPECT_LE(many.size(), 25);
    EXPECT_DOUBLE_EQ(many[1], 100);
}
