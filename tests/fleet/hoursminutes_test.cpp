#include "core/conversionerror.h"
#include "fleet/hoursminutes.h"

#include <gtest/gtest.h>

using namespace vartemo;

TEST(HoursMinutes, FormatsWithoutPadding) {
    const struct {
        qint64 minutes;
        const char* text;
    } cases[] = {
        {0, "0:0"},
        {121, "2:1"},
        {725, "12:5"},
        {6239, "103:59"},
        {2'400'000'000, "40000000:0"}, // past 32 bits
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatHoursMinutes(c.minutes), QString::fromLatin1(c.text)) << c.minutes;
}

TEST(HoursMinutes, ParsesTextsOfTheFormHoursColonMinutes) {
    const struct {
        const char* text;
        qint64 minutes;
    } cases[] = {
        {"", 0},
        {"0:0", 0},
        {"1:59", 119},
        {"2:1", 121},
        {"0:75", 75},            // minutes above 59 are added as they are
        {"40000000:0", 2'400'000'000}, // a 32-bit product would wrap negative
        {" 3:4", 184},           // leading blanks as the toolkit's reader takes them
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseHoursMinutes(QString::fromLatin1(c.text)), c.minutes) << c.text;
}

TEST(HoursMinutes, UnreadableTextsRaiseTheConversionError) {
    const char* cases[] = {
        "abc", "12",   // no colon: the minutes part is empty
        "1:2:3",       // the minutes part "2:3" is no number
        "1:", ":5", "-1:0", "1:-5", "0x10:0", "1,5:0",
        "99999999999999999999:0", // does not fit 64 bits
        "600000000000000000:0",   // fits, but its minutes do not
    };
    for (const char* text : cases) {
        EXPECT_THROW(ParseHoursMinutes(QString::fromLatin1(text)), ConversionError) << text;
        EXPECT_FALSE(TryParseHoursMinutes(QString::fromLatin1(text))) << text;
    }
    try {
        ParseHoursMinutes(QStringLiteral("abc"));
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'abc' is not a valid integer value"));
    }
}

TEST(HoursMinutes, FuelFigureIsWholeDecilitresAndATruncatedTenth) {
    const struct {
        qint64 minutes;
        int consumption;
        const char* figure;
    } cases[] = {
        {90, 10, "15,0"},
        {7, 13, "1,5"},   // 91 / 6 = 15 tenths
        {0, 100, "0,0"},
        {1, 1, "0,0"},
        {24'000'000'000, 100, "40000000000,0"}, // 400 million hours at 100 dl/h
    };
    for (const auto& c : cases)
        EXPECT_EQ(FuelFigure(c.minutes, c.consumption), QString::fromLatin1(c.figure))
            << c.minutes << " min at " << c.consumption;
    EXPECT_EQ(FuelTenths(7, 13), 15);
    EXPECT_EQ(FuelTenths(kMaxDrivenMinutes + 999999LL * 60 + 60, 100) > 0, true);
}
