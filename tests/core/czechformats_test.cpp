#include "core/czechformats.h"

#include <gtest/gtest.h>

using namespace vartemo;

TEST(CzechFormats, DateAndTimeTexts) {
    const QDateTime t(QDate(2026, 12, 9), QTime(4, 3, 27));
    EXPECT_EQ(czech::shortDate(t.date()), QStringLiteral("9.12.2026"));
    EXPECT_EQ(czech::longTime(t.time()), QStringLiteral("4:03:27"));
    EXPECT_EQ(czech::dateTime(t), QStringLiteral("9.12.2026 4:03:27"));
    EXPECT_EQ(czech::longDate(QDate(2026, 12, 10)), QStringLiteral("10. prosince 2026"));
}
