#include "core/conversionerror.h"

#include <gtest/gtest.h>

using namespace vartemo;

TEST(StrToInt, AcceptsPlainDecimalOnly) {
    EXPECT_EQ(StrToInt(QStringLiteral("42")), 42);
    EXPECT_EQ(StrToInt(QStringLiteral(" -7 ")), -7);
    EXPECT_EQ(StrToInt(QStringLiteral("+007")), 7);
    EXPECT_EQ(StrToInt64(QStringLiteral("9000000000")), 9000000000LL);
    for (const char* bad : {"", " ", "x1", "1x", "0x10", "1 2", "-", "1.5", "99999999999"}) {
        EXPECT_THROW(StrToInt(QString::fromLatin1(bad)), ConversionError) << bad;
    }
}

TEST(StrToInt, MessageReadsLikeTheToolkit) {
    try {
        StrToInt(QStringLiteral("ab"));
        FAIL() << "no exception";
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'ab' is not a valid integer value"));
    }
}
