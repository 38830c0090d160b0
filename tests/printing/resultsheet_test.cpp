#include "core/conversionerror.h"
#include "engine/timetext.h"
#include "printing/resultsheet.h"
#include "../engine/qstringprinter.h"

#include <gtest/gtest.h>
#include <map>

using namespace vartemo;

namespace {

QString Lap(TimeMs ms) {
    return QStringLiteral("%1:%2:%3")
        .arg(ms / 60'000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

ResultSheetInput Input(ResultKind kind, const std::array<int, kKartCount>& counts, int selection = 0) {
    ResultSheetInput in;
    in.kind = kind;
    in.selection = selection;
    in.now = QDateTime(QDate(2026, 12, 9), QTime(14, 3, 27));
    in.trackLength = 400;
    in.texts.text = {"T1", "T2", "T3", "T4", "T5", "T6", "T7", "T8"};
    for (int k = 1; k <= kKartCount; ++k) {
        in.names[size_t(k - 1)] = QStringLiteral("Jezdec %1").arg(k);
        for (int i = 0; i < counts[size_t(k - 1)]; ++i)
            in.lines[size_t(k - 1)] << (kind == ResultKind::Laps
                                            ? Lap(30'000 + i)
                                            : QStringLiteral("  L ") + Lap(30'000 + i));
    }
    return in;
}

bool IsKartNumber(const TextItem& t) {
    return t.at.y() == Mm(50) && t.style.height == Mm(7.5) && t.style.colour == QColor(Qt::red);
}
bool IsLine(const TextItem& t) { return t.style.colour == QColor(Qt::green); }

// One kart column as the page shows it: its kart, the first and last line
// numbers printed in it.
struct Column {
    int kart;
    int first;
    int last;
    friend bool operator==(const Column&, const Column&) = default;
};
std::ostream& operator<<(std::ostream& os, const Column& c) {
    return os << "kart " << c.kart << " lines " << c.first << ".." << c.last;
}

std::vector<Column> ColumnsOf(const Page& page) {
    std::vector<std::pair<int, Hmm>> karts; // kart, column offset x
    for (const TextItem& t : page.texts())
        if (IsKartNumber(t))
            karts.emplace_back(t.text.toInt(), t.at.x() - Mm(7.5));
    std::vector<Column> columns;
    for (size_t c = 0; c < karts.size(); ++c) {
        const Hmm left = karts[c].second;
        const Hmm right = c + 1 < karts.size() ? karts[c + 1].second : Mm(1000);
        Column col{karts[c].first, 0, 0};
        for (const TextItem& t : page.texts()) {
            if (!IsLine(t) || t.at.x() < left || t.at.x() >= right)
                continue;
            const int number = t.text.section(u' ', 0, 0).toInt();
            col.first = col.first == 0 ? number : std::min(col.first, number);
            col.last = std::max(col.last, number);
        }
        columns.push_back(col);
    }
    return columns;
}

} // namespace

TEST(ComposeResultPages, PagesColumnsAndLines) {
    struct Case {
        const char* what;
        ResultKind kind;
        std::array<int, kKartCount> counts;
        int selection;
        std::vector<std::vector<Column>> pages;
    };
    auto all = [](int first, int last, int karts = 8, int fromKart = 1) {
        std::vector<Column> cols;
        for (int k = fromKart; k < fromKart + karts; ++k)
            cols.push_back({k, first, last});
        return cols;
    };
    const Case cases[] = {
        {"eight karts of 27 laps: lap 27 alone on page 2", ResultKind::Laps,
         {27, 27, 27, 27, 27, 27, 27, 27}, 0, {all(1, 26), all(27, 27)}},
        {"one long kart and seven short: page 2 is the long kart's alone", ResultKind::Laps,
         {300, 10, 10, 10, 10, 10, 10, 10}, 0,
         {{{1, 1, 26}, {2, 1, 10}, {3, 1, 10}, {4, 1, 10}, {5, 1, 10}, {6, 1, 10}, {7, 1, 10}, {8, 1, 10}},
          {{1, 27, 300}}}},
        {"a list ending at a page's last line gets no column on the next", ResultKind::Laps,
         {26, 30, 30, 30, 30, 30, 30, 30}, 0, {all(1, 26), all(27, 30, 7, 2)}},
        {"\"Druhou\" alone, though kart 1 has more laps", ResultKind::Laps,
         {100, 40, 0, 0, 0, 0, 0, 0}, 2, {{{2, 1, 40}}}},
        {"five columns: 52 lines each, the rest on page 2", ResultKind::Laps,
         {60, 60, 60, 60, 60, 0, 0, 0}, 0, {all(1, 52, 5), all(53, 60, 5)}},
        {"no laps at all: one page without columns", ResultKind::Laps, {}, 0, {{}}},
        {"split sheet, 3 columns hold 78 lines", ResultKind::Splits, {80, 80, 80, 0, 0, 0, 0, 0}, 0,
         {all(1, 78, 3), all(79, 80, 3)}},
        {"lap sheet, 3 columns hold 104 lines", ResultKind::Laps, {110, 110, 110, 0, 0, 0, 0, 0}, 0,
         {all(1, 104, 3), all(105, 110, 3)}},
        {"split sheet, 6 columns hold 26 lines", ResultKind::Splits, {30, 30, 30, 30, 30, 30, 0, 0}, 0,
         {all(1, 26, 6), all(27, 30, 6)}},
    };
    for (const Case& c : cases) {
        const Sheet sheet = ComposeResultPages(Input(c.kind, c.counts, c.selection));
        ASSERT_EQ(sheet.pages.size(), c.pages.size()) << c.what;
        for (size_t p = 0; p < c.pages.size(); ++p) {
            EXPECT_EQ(ColumnsOf(sheet.pages[p]), c.pages[p]) << c.what << ", page " << p + 1;
            // A frame per column; one empty frame when the page has none.
            EXPECT_EQ(sheet.pages[p].frames().size(), std::max<size_t>(1, c.pages[p].size()))
                << c.what << ", page " << p + 1;
        }
        EXPECT_TRUE(sheet.problems.isEmpty()) << c.what;
    }
}

TEST(ComposeResultPages, LongKartRunsInElevenSubColumnsOfTheFullWidth) {
    const Sheet sheet = ComposeResultPages(Input(ResultKind::Laps, {300, 10, 10, 10, 10, 10, 10, 10}));
    ASSERT_EQ(sheet.pages.size(), 2u);
    const Page& page2 = sheet.pages[1];
    ASSERT_EQ(page2.frames().size(), 1u);
    EXPECT_EQ(page2.frames()[0].rect, QRect(Mm(10), Mm(52.5), Mm(270), Mm(110)));
    std::map<Hmm, int> linesAtX;
    for (const TextItem& t : page2.texts())
        if (IsLine(t))
            ++linesAtX[t.at.x()];
    ASSERT_EQ(linesAtX.size(), 11u);
    EXPECT_EQ(linesAtX.begin()->first, Mm(11.3));
    EXPECT_EQ(linesAtX.rbegin()->first, Mm(11.3) + 10 * Mm(21.8));
    EXPECT_EQ(linesAtX.rbegin()->second, 274 - 10 * 26);
    // Line 27 starts the page at the top of the first sub-column.
    const TextItem* first = page2.find(QStringLiteral("027 ") + Lap(30'026) + u'|');
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->at, QPoint(Mm(11.3), Mm(56)));
    // Line 53 (the 27th on the page) heads the second sub-column.
    const TextItem* second = page2.find(QStringLiteral("053 ") + Lap(30'052) + u'|');
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->at, QPoint(Mm(11.3) + Mm(21.8), Mm(56)));
}

TEST(ComposeResultPages, HeaderColumnsAndPageTextsStandWhereTheSheetPutsThem) {
    ResultSheetInput in = Input(ResultKind::Laps, {2, 0, 3, 0, 0, 0, 0, 0});
    in.names[2] = QStringLiteral("Řehoř Žluťoučký");
    const Sheet sheet = ComposeResultPages(in);
    ASSERT_EQ(sheet.pages.size(), 1u);
    EXPECT_EQ(sheet.paper, QSize(29700, 21000));
    EXPECT_EQ(sheet.orientation, PaperOrientation::Landscape);
    EXPECT_EQ(sheet.jobName, "vartemo - časy");
    EXPECT_EQ(sheet.caption, "Náhled tisku  -  Výsledky motokár");
    const Page& page = sheet.pages[0];
    struct Expect {
        QString text;
        QPoint at;
        TextStyle style;
    };
    const TextStyle header{Qt::black, Mm(5), HeightKind::Character, false, false, false};
    const TextStyle bold{Qt::black, Mm(5), HeightKind::Character, true, false, false};
    const TextStyle blue{Qt::blue, Mm(5), HeightKind::Cell, false, false, false};
    const TextStyle italic{Qt::blue, Mm(5), HeightKind::Cell, false, true, false};
    const TextStyle red{Qt::red, Mm(5), HeightKind::Cell, false, false, false};
    const Expect expected[] = {
        {"VÝSLEDKOVÁ LISTINA", {Mm(180), Mm(10)}, {Qt::blue, Mm(7.5), HeightKind::Cell, false, false, true}},
        {"T1", {Mm(60), Mm(10)}, header},
        {"T2", {Mm(60), Mm(15)}, header},
        {"T3", {Mm(60), Mm(20)}, bold},
        {"T4", {Mm(60), Mm(25)}, bold},
        {"T5", {Mm(60), Mm(30)}, header},
        {"9.12.2026", {Mm(185), Mm(22.5)}, blue},
        {"14:03:27", {Mm(230), Mm(22.5)}, blue},
        {"T6", {Mm(170), Mm(30)}, italic},
        {"T7", {Mm(170), Mm(35)}, italic},
        {"T8", {Mm(170), Mm(40)}, italic},
        {"Orvane Software", {Mm(260), Mm(195)}, {Qt::blue, Mm(2.5), HeightKind::Cell, false, true, false}},
        // The second column (kart 3) starts 135 mm on: two columns of 270 mm.
        {"Jezdec 1", {Mm(15), Mm(50)}, red},
        {"Řehoř Žluťoučký", {Mm(135) + Mm(15), Mm(50)}, red},
        {"3", {Mm(135) + Mm(7.5), Mm(50)}, {Qt::red, Mm(7.5), HeightKind::Cell, false, false, false}},
        {"001 00:30:000|", {Mm(11.3), Mm(56)}, {Qt::green, Mm(4), HeightKind::Cell, false, false, false}},
        {"003 00:30:002|", {Mm(135) + Mm(11.3), Mm(64)}, {Qt::green, Mm(4), HeightKind::Cell, false, false, false}},
    };
    for (const Expect& e : expected) {
        const TextItem* t = page.find(e.text);
        ASSERT_NE(t, nullptr) << e.text.toStdString();
        EXPECT_EQ(t->at, e.at) << e.text.toStdString();
        EXPECT_EQ(t->style, e.style) << e.text.toStdString();
    }
    ASSERT_EQ(page.frames().size(), 2u);
    EXPECT_EQ(page.frames()[1].rect, Box(Mm(145), Mm(52.5), Mm(280), Mm(162.5)));
}

TEST(ComposeResultPages, SplitSheetPrintsTheLinesUnchangedUnderItsOwnTitle) {
    ResultSheetInput in = Input(ResultKind::Splits, {});
    in.lines[0] = QStringList{"  L 00:12:234", "10 00:04:321"};
    const Sheet sheet = ComposeResultPages(in);
    const Page& page = sheet.pages[0];
    ASSERT_NE(page.find("VÝSLEDKOVÁ LISTINA - MEZIČASY"), nullptr);
    EXPECT_EQ(page.find("VÝSLEDKOVÁ LISTINA - MEZIČASY")->at, QPoint(Mm(150), Mm(10)));
    EXPECT_NE(page.find("001    L 00:12:234"), nullptr);
    EXPECT_NE(page.find("002  10 00:04:321"), nullptr);
    EXPECT_EQ(sheet.caption, "Náhled tisku  -  Výsledky mezičasů na dráze");
}

TEST(ComposeResultPages, LineNumbersFromOneThousandHaveFourDigits) {
    const Sheet sheet = ComposeResultPages(Input(ResultKind::Laps, {1000, 0, 0, 0, 0, 0, 0, 0}));
    ASSERT_EQ(sheet.pages.size(), 4u); // 312 lines a page
    EXPECT_NE(sheet.pages[3].find("999 " + Lap(30'998) + "|"), nullptr);
    EXPECT_NE(sheet.pages[3].find("1000 " + Lap(30'999) + "|"), nullptr);
}

TEST(ComposeResultPages, EverySummaryCoversAllLapsOnEveryPage) {
    ResultSheetInput in = Input(ResultKind::Laps, {30, 27, 0, 0, 0, 0, 0, 0});
    // 8 columns are needed for 26 rows: give every kart a lap.
    for (int k = 3; k <= 8; ++k)
        in.lines[size_t(k - 1)] = QStringList{"00:40:000"};
    in.lines[0][29] = QStringLiteral("00:00:000"); // the last lap, printed on page 2
    const Sheet sheet = ComposeResultPages(in);
    ASSERT_EQ(sheet.pages.size(), 2u);
    for (const Page& page : sheet.pages) {
        int minima = 0;
        for (const TextItem& t : page.texts())
            minima += t.text == "00:00:000" ? 1 : 0;
        EXPECT_EQ(minima, 1) << "kart 1's minimum on every page";
    }
}

TEST(ComposeResultPages, UnreadableLineIsPrintedLeftOutOfTheSummaryAndReportedOnce) {
    ResultSheetInput in = Input(ResultKind::Laps, {});
    in.lines[0] = QStringList{"00:10:000", "chyba", "00:20:000"};
    in.lines[1] = QStringList{"??"};
    std::vector<std::pair<int, int>> progress;
    const Sheet sheet = ComposeResultPages(in, [&](int done, int planned) { progress.emplace_back(done, planned); });
    ASSERT_EQ(sheet.pages.size(), 1u);
    EXPECT_NE(sheet.pages[0].find("002 chyba|"), nullptr);
    EXPECT_NE(sheet.pages[0].find("00:15:000"), nullptr) << "average of the two lines read";
    QString message;
    try {
        ParseTimeText(QStringLiteral("chyba"));
    } catch (const ConversionError& e) {
        message = e.message();
    }
    EXPECT_EQ(sheet.problems, QStringList{message});
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{1, 1}}));
}

TEST(DrawKartSummary, SmallTextFromFiveColumns) {
    struct Case {
        int columns;
        Hmm height;
        Hmm valueX;
    };
    for (const Case& c : {Case{4, Mm(5), Mm(100) + Mm(48)}, Case{5, Mm(2.5), Mm(100) + Mm(28)}}) {
        Page page;
        DrawKartSummary(page, KartSummary{}, Mm(100), c.columns);
        const auto texts = page.texts();
        ASSERT_EQ(texts.size(), 10u);
        EXPECT_EQ(texts[0].text, "Celkový součet:");
        EXPECT_EQ(texts[0].at, QPoint(Mm(110.5), Mm(165)));
        EXPECT_EQ(texts[9].text, "0,00 Km/h");
        EXPECT_EQ(texts[9].at, QPoint(c.valueX, Mm(185)));
        for (const TextItem& t : texts)
            EXPECT_EQ(t.style.height, c.height) << c.columns;
        EXPECT_EQ(texts[8].text, "Průměrná rychlost:");
    }
}

TEST(SummarizeKart, TotalsExtremesAverageAndSpeed) {
    struct Case {
        const char* what;
        ResultKind kind;
        QStringList lines;
        int length;
        std::array<const char*, 5> texts; // total, min, max, average, speed
        int unreadable;
    };
    QStringList tenLaps;
    for (int i = 0; i < 10; ++i)
        tenLaps << "00:40:000";
    const Case cases[] = {
        {"a lap of 00:00:000 is the minimum", ResultKind::Laps, {"00:10:000", "00:00:000", "00:20:000"}, 400,
         {"00:30:000", "00:00:000", "00:20:000", "00:10:000", "144,04 Km/h"}, 0},
        {"a total over an hour wraps its minutes", ResultKind::Laps, {"25:00:000", "25:00:000", "25:00:000"}, 400,
         {"15:00:000", "25:00:000", "25:00:000", "25:00:000", "0,96 Km/h"}, 0},
        {"400 m, ten laps in 400 s", ResultKind::Laps, tenLaps, 400,
         {"06:40:000", "00:40:000", "00:40:000", "00:40:000", "36,00 Km/h"}, 0},
        // k = (200 div 360) div 1 = 0: no division by it.
        {"a lone lap of 2 ms", ResultKind::Laps, {"00:00:002"}, 400,
         {"00:00:002", "00:00:002", "00:00:002", "00:00:002", "0,00 Km/h"}, 0},
        // 30 000 m x 100 000 passes 32 bits.
        {"a track of 30 000 m", ResultKind::Laps, tenLaps, 30'000,
         {"06:40:000", "00:40:000", "00:40:000", "00:40:000", "2700,02 Km/h"}, 0},
        {"the longest track the setting allows", ResultKind::Laps, {"00:00:360"}, 99'999,
         {"00:00:360", "00:00:360", "00:00:360", "00:00:360", "999990,00 Km/h"}, 0},
        {"no lines: minimum 0", ResultKind::Laps, {}, 400,
         {"00:00:000", "00:00:000", "00:00:000", "00:00:000", "0,00 Km/h"}, 0},
        // Each split line's time is its last word, whatever the label's length.
        {"split labels", ResultKind::Splits,
         {" 00:04:321", "5 00:04:321", "01 12:04:321", "123 00:04:321", "  L 00:12:234"}, 400,
         {"12:29:518", "00:04:321", "12:04:321", "02:29:903", "9,60 Km/h"}, 0},
        {"an unreadable line is left out", ResultKind::Laps, {"00:10:000", "x1:00:000", "00:20:000"}, 400,
         {"00:30:000", "00:10:000", "00:20:000", "00:15:000", "96,01 Km/h"}, 1},
        {"only unreadable lines", ResultKind::Splits, {"", "  L"}, 400,
         {"00:00:000", "00:00:000", "00:00:000", "00:00:000", "0,00 Km/h"}, 2},
    };
    for (const Case& c : cases) {
        const KartSummary s = SummarizeKart(c.kind, c.lines, c.length);
        const std::array<QString, 5> got = {FormatTimeText(s.total), FormatTimeText(s.minimum),
                                            FormatTimeText(s.maximum), FormatTimeText(s.average),
                                            SpeedText(s.speed)};
        for (size_t i = 0; i < 5; ++i)
            EXPECT_EQ(got[i], QString::fromUtf8(c.texts[i])) << c.what << ", value " << i;
        EXPECT_EQ(s.unreadable, c.unreadable) << c.what;
        EXPECT_EQ(s.firstError.isEmpty(), c.unreadable == 0) << c.what;
    }
}
