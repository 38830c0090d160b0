#include "logbook/logbookfilter.h"

#include <gtest/gtest.h>

using namespace vartemo;

namespace {

const QList<LogBookEntry> kBook{
    {0, QStringLiteral("Spuštění programu 14:03:27 9.12.2026")},
    {1, QStringLiteral("14:05:00 - Petr: nulování stavu motokára 3")},
    {1, QStringLiteral("Kč 150 Petr 14:20:41 9.12.2026")},
    {0, QStringLiteral("Spuštění programu 4:03:27 19.12.2026")},
    {1, QStringLiteral("Kč 90 Admin 14:03:27 29.12.2026")},
};

LogBookFilter criteria(std::optional<QString> op, std::optional<QString> date, std::optional<QString> time,
                       std::optional<QString> text) {
    LogBookFilter f;
    f.operatorName = std::move(op);
    f.date = std::move(date);
    f.time = std::move(time);
    f.text = std::move(text);
    return f;
}
const std::nullopt_t off = std::nullopt;

struct FilterCase {
    const char* why;
    LogBookFilter filter;
    QList<qsizetype> hits;
};

class FilterTable : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterTable, ListsTheMatchingEntries) {
    EXPECT_EQ(ApplyLogBookFilter(kBook, GetParam().filter), GetParam().hits) << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(
    Criteria, FilterTable,
    ::testing::Values(
        FilterCase{"no criterion checked", {}, {}},
        FilterCase{"every criterion checked but empty", criteria(QString(), QString(), QString(), QString()), {}},
        FilterCase{"operator and text found in one entry list it twice",
                   criteria("Petr", off, off, "Kč"),
                   {1, 2, 2, 4}},
        FilterCase{"9.12.2026 finds neither 19.12.2026 nor 29.12.2026", criteria(off, "9.12.2026", off, off), {0, 2}},
        FilterCase{"4:03:27 does not find 14:03:27", criteria(off, off, "4:03:27", off), {3}},
        FilterCase{"14:03:27 finds the start and the takings line", criteria(off, off, "14:03:27", off), {0, 4}},
        FilterCase{"criteria in the order operator, date, time, text",
                   criteria("Admin", "29.12.2026", "14:03:27", "90"),
                   {0, 4, 4, 4, 4}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(ContainsNumberText, NeedsNoDigitOnEitherSide) {
    EXPECT_TRUE(ContainsNumberText(QStringLiteral("Kč 1 Admin 9:00:00 9.12.2026"), QStringLiteral("9.12.2026")));
    EXPECT_TRUE(ContainsNumberText(QStringLiteral("19.12.2026 a 9.12.2026"), QStringLiteral("9.12.2026")))
        << "a later occurrence counts";
    EXPECT_FALSE(ContainsNumberText(QStringLiteral("9.12.20261"), QStringLiteral("9.12.2026")));
    EXPECT_FALSE(ContainsNumberText(QStringLiteral("anything"), QString()));
}

} // namespace
