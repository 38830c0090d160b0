#include "logbook/takings.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

const QDate kToday(2026, 12, 9);

QList<LogBookEntry> events(const QStringList& texts) {
    QList<LogBookEntry> entries{{0, QStringLiteral("Spuštění programu 14:00:00 9.12.2026")}};
    for (const QString& t : texts)
        entries.append({1, t});
    return entries;
}

struct SumCase {
    const char* why;
    QStringList lines;
    QString selector;
    qint64 today, operatorTotal, total;
};

class SumTakingsTable : public ::testing::TestWithParam<SumCase> {};

TEST_P(SumTakingsTable, GivesTheThreeFigures) {
    const SumCase& c = GetParam();
    const TakingsSums sums = SumTakings(events(c.lines), kToday, c.selector);
    EXPECT_EQ(sums.today, c.today);
    EXPECT_EQ(sums.operatorTotal, c.operatorTotal);
    EXPECT_EQ(sums.total, c.total);
    EXPECT_TRUE(sums.conversionError.isEmpty()) << sums.conversionError.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    LogLines, SumTakingsTable,
    ::testing::Values(
        SumCase{"two rides of today, Petr selected",
                {"Kč 150 Admin 14:05:03 9.12.2026", "Kč 90 Petr 14:20:41 9.12.2026"}, "Petr", 240, 90, 240},
        SumCase{"Admin does not collect the lines of Admin2",
                {"Kč 150 Admin 14:05:03 9.12.2026", "Kč 70 Admin2 14:25:00 9.12.2026"}, "Admin", 220, 150, 220},
        SumCase{"19.12.2026 is not today on 9.12.2026, 09.12.2026 is",
                {"Kč 100 Admin 10:00:00 19.12.2026", "Kč 40 Admin 10:30:00 09.12.2026",
                 "Kč 5 Admin 10:40:00 9.12.2025"},
                "Admin", 40, 145, 145},
        SumCase{"an operator of two words", {"Kč 200 Jan Novák 11:00:00 9.12.2026", "Kč 50 Jan 11:01:00 9.12.2026"},
                "Jan Novák", 250, 200, 250},
        SumCase{"outer blanks of the selector are ignored", {"Kč 200 Jan Novák 11:00:00 9.12.2026"}, " Jan Novák ",
                200, 200, 200},
        SumCase{"operator 1 matches no amount, time or date holding a 1",
                {"Kč 150 Admin 11:11:11 1.12.2026", "Kč 10 1 11:12:00 1.12.2026"}, "1", 0, 10, 160},
        SumCase{"an empty operator field", {"Kč 60  12:00:00 9.12.2026"}, "", 60, 0, 60},
        SumCase{"an empty selector collects nothing", {"Kč 60 Admin 12:00:00 9.12.2026"}, "", 60, 0, 60},
        SumCase{"a due-task line holding Kč is no takings line",
                {"14:00:00 - úkol 1, motokára 1 výměna oleje 500 Kč", "14:01:00 - přidán uživatel: Kč Jan",
                 "Kč 150 Admin 14:05:03 9.12.2026"},
                "Admin", 150, 150, 150},
        SumCase{"amounts sum past 32 bits",
                {"Kč 2000000000 Admin 10:00:00 9.12.2026", "Kč 2000000000 Admin 10:10:00 9.12.2026",
                 "Kč 2000000000 Admin 10:20:00 9.12.2026"},
                "Admin", 6000000000, 6000000000, 6000000000}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(SumTakings, CountsTopLevelEntriesToo) {
    const QList<LogBookEntry> entries{{0, QStringLiteral("Kč 30 Admin 09:00:00 9.12.2026")}};
    EXPECT_EQ(SumTakings(entries, kToday, QStringLiteral("Admin")).total, 30);
}

TEST(SumTakings, AnUnreadableAmountIsToldOnceAndLeftOut) {
    const TakingsSums sums =
        SumTakings(events({"Kč x", "Kč 150 Admin 14:05:03 9.12.2026", "Kč 99999999999 Admin 14:06:00 9.12.2026",
                           "Kč 90 Petr 14:20:41 9.12.2026"}),
                   kToday, QStringLiteral("Petr"));
    EXPECT_EQ(sums.conversionError, QStringLiteral("'x' is not a valid integer value"));
    EXPECT_EQ(sums.total, 240);
    EXPECT_EQ(sums.today, 240);
    EXPECT_EQ(sums.operatorTotal, 90);
}

TEST(ParseTakingsLine, SplitsAmountOperatorTimeAndDate) {
    const auto line = ParseTakingsLine(QStringLiteral("Kč 150 Jan Novák 14:05:03 9.12.2026"));
    ASSERT_TRUE(line);
    EXPECT_EQ(line->amount, 150);
    EXPECT_EQ(line->operatorName, QStringLiteral("Jan Novák"));
    EXPECT_EQ(line->time, QStringLiteral("14:05:03"));
    EXPECT_EQ(line->date, QStringLiteral("9.12.2026"));

    QString bad;
    EXPECT_FALSE(ParseTakingsLine(QStringLiteral("Kč 150"), &bad)) << "the amount must be followed by a blank";
    EXPECT_EQ(bad, QStringLiteral("150"));
    EXPECT_FALSE(ParseTakingsLine(QStringLiteral("KčX 150 Admin 1:00:00 9.12.2026")));
}

TEST(TakingsDate, ReadsDayMonthYearWithOrWithoutLeadingZeros) {
    EXPECT_EQ(TakingsDate(QStringLiteral("9.12.2026")), kToday);
    EXPECT_EQ(TakingsDate(QStringLiteral("09.12.2026")), kToday);
    EXPECT_FALSE(TakingsDate(QStringLiteral("9.12.26")).isValid());
    EXPECT_FALSE(TakingsDate(QStringLiteral("31.2.2026")).isValid());
    EXPECT_FALSE(TakingsDate(QStringLiteral("x9.12.2026")).isValid());
}

} // namespace
