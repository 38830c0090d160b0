#include "core/conversionerror.h"
#include "engine/timetext.h"

#include <gtest/gtest.h>
#include <limits>

using namespace vartemo;

TEST(FormatTimeText, MinutesSecondsMillisWithinTheHour) {
    const std::pair<TimeMs, const char*> cases[] = {
        {0, "00:00:000"},
        {67'042, "01:07:042"},
        {12'234, "00:12:234"},
        {3'600'000, "00:00:000"},          // a lap of exactly 60 minutes
        {61 * 60'000, "01:00:000"},        // hours are dropped
        {3'599'999, "59:59:999"},
        {-4'321, "00:04:321"},             // negative: its magnitude
        {std::numeric_limits<TimeMs>::min(), "12:55:808"},
    };
    for (const auto& [ms, text] : cases)
        EXPECT_EQ(FormatTimeText(ms), QLatin1String(text)) << ms;
}

TEST(ParseTimeText, PartsArePlainIntegers) {
    EXPECT_EQ(ParseTimeText(QStringLiteral("01:02:003")), 62'003);
    EXPECT_EQ(ParseTimeText(QStringLiteral("1:2:3")), 62'003);
    EXPECT_EQ(ParseTimeText(QStringLiteral("00:12:234")), 12'234);
    // Minutes beyond an hour (hand-edited files) still add up in 64 bits.
    EXPECT_EQ(ParseTimeText(QStringLiteral("90000000:00:000")), 5'400'000'000'000LL);
}

TEST(ParseTimeText, NonIntegerPartIsAConversionError) {
    for (const char* bad : {"", "00:12", "0012234", "ab:12:234", "00:1x:234", "00:12:", "  L 00:12:234"})
        EXPECT_THROW(ParseTimeText(QString::fromLatin1(bad)), ConversionError) << bad;
}

TEST(ParseTimeText, RoundTripsEveryFormattedTime) {
    for (TimeMs ms = 0; ms < 3'600'000; ms += 997)
        EXPECT_EQ(ParseTimeText(FormatTimeText(ms)), ms);
}
