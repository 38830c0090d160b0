#include "printing/resultsheet.h"

#include "core/conversionerror.h"
#include "engine/timetext.h"
#include "printing/sheetheader.h"

#include <algorithm>

namespace vartemo {

namespace {

// 26 lines make one sub-column; a page holds at most 312 lines of a kart.
constexpr int kSubColumnLines = 26;
constexpr std::array<int, kKartCount> kLapRows = {312, 130, 104, 78, 52, 52, 26, 26};
constexpr std::array<int, kKartCount> kSplitRows = {312, 130, 78, 52, 52, 26, 26, 26};

constexpr Hmm kColumnsWidth = Mm(270);
constexpr Hmm kFrameTop = Mm(52.5);
constexpr Hmm kFrameBottom = Mm(162.5);
constexpr Hmm kFirstLineY = Mm(56);
constexpr Hmm kLineHeight = Mm(4);
constexpr Hmm kSubColumnLeft = Mm(11.3);
constexpr Hmm kSubColumnStep = Mm(21.8);
constexpr TimeMs kMinimumStart = 99'990'000;

struct SummaryLine {
    Hmm y;
    const char* label;
};
constexpr std::array<SummaryLine, 5> kSummaryLines = {{
    {Mm(165), "Celkový součet:"},
    {Mm(170), "Min. čas kola:"},
    {Mm(175), "Max. čas kola:"},
    {Mm(180), "Průměrný čas kola:"},
    {Mm(185), "Průměrná rychlost:"},
}};

QString LineText(ResultKind kind, int index, const QString& line) {
    const QString number = QStringLiteral("%1").arg(index + 1, 3, 10, QLatin1Char('0'));
    return kind == ResultKind::Laps ? number + u' ' + line + u'|'
                                    : number + QStringLiteral("  ") + line;
}

// The composition of one sheet, page by page.
class ResultComposer {
public:
    explicit ResultComposer(const ResultSheetInput& in) : in_(in) {
        for (int k = 1; k <= kKartCount; ++k) {
            const bool takesPart = in.selection == 0 || in.selection == k;
            count_[size_t(k - 1)] = takesPart ? int(in.lines[size_t(k - 1)].size()) : -1;
            if (takesPart)
                summary_[size_t(k - 1)] =
                    SummarizeKart(in.kind, in.lines[size_t(k - 1)], in.trackLength);
        }
    }

    Sheet compose(const std::function<void(int, int)>& progress) {
        Sheet sheet;
        sheet.paper = kA4Landscape;
        sheet.orientation = PaperOrientation::Landscape;
        sheet.jobName = kResultJobName;
        sheet.caption = ResultSheetCaption(in_.kind);

        int longest = 0;
        for (int c : count_)
            longest = std::max(longest, c);
        const int L = std::max(longest, 1);

        int t = 0;
        int cols = columnsAbove(0);
        int R = RowsPerColumn(in_.kind, cols);
        const int planned = std::max(1, (L + R - 1) / R);
        sheet.pages.emplace_back();
        drawFrames(sheet.pages.back(), cols);
        for (;;) {
            Page& page = sheet.pages.back();
            drawHeader(page);
            const Hmm w = kColumnsWidth / cols;
            Hmm x = 0;
            for (int k = 1; k <= kKartCount; ++k) {
                const int count = count_[size_t(k - 1)];
                if (count <= t)
                    continue;
                drawColumn(page, k, t, std::min(R, count - t), x);
                DrawKartSummary(page, summary_[size_t(k - 1)], x, cols);
                x += w;
            }
            drawPageTexts(page);
            if (progress)
                progress(int(sheet.pages.size()), planned);
            if (t + R >= L)
                break;
            sheet.pages.emplace_back();
            t += R;
            cols = columnsAbove(t);
            R = RowsPerColumn(in_.kind, cols);
            if (t + R > L)
                R = L - t;
            drawFrames(sheet.pages.back(), cols);
        }
        for (const KartSummary& s : summary_) {
            if (s.unreadable > 0) {
                sheet.problems << s.firstError;
                break;
            }
        }
        return sheet;
    }

private:
    // Columns of a page whose first line is t: karts taking part with more
    // than t lines; one when a single kart is chosen or none has a line.
    int columnsAbove(int t) const {
        if (in_.selection != 0)
            return 1;
        int cols = 0;
        for (int c : count_)
            cols += c > t ? 1 : 0;
        return std::max(cols, 1);
    }

    void drawFrames(Page& page, int cols) const {
        const Hmm w = kColumnsWidth / cols;
        for (int i = 0; i < cols; ++i)
            page.add(FrameItem{Box(kUnitU + i * w, kFrameTop, kUnitU + (i + 1) * w, kFrameBottom)});
    }

    void drawHeader(Page& page) const {
        DrawSheetHeader(page, in_.texts, HeaderPlacement{}, kA4Landscape.width(), in_.screenDpi);
        const bool laps = in_.kind == ResultKind::Laps;
        AddText(page,
                laps ? QStringLiteral("VÝSLEDKOVÁ LISTINA")
                     : QStringLiteral("VÝSLEDKOVÁ LISTINA - MEZIČASY"),
                laps ? Mm(180) : Mm(150), Mm(10),
                Style(Qt::blue, Mm(7.5), HeightKind::Cell, false, false, true));
    }

    void drawColumn(Page& page, int kart, int first, int rows, Hmm x) const {
        const QStringList& lines = in_.lines[size_t(kart - 1)];
        const TextStyle green = Style(Qt::green, kLineHeight, HeightKind::Cell);
        for (int i = 0; i < rows; ++i) {
            const int subColumn = i / kSubColumnLines;
            AddText(page, LineText(in_.kind, first + i, lines[first + i]),
                    x + kSubColumnLeft + subColumn * kSubColumnStep,
                    kFirstLineY + kLineHeight * (i % kSubColumnLines), green);
        }
        AddText(page, in_.names[size_t(kart - 1)], x + Mm(15), Mm(50),
                Style(Qt::red, kUnitH, HeightKind::Cell));
        AddText(page, QString::number(kart), x + Mm(7.5), Mm(50),
                Style(Qt::red, Mm(7.5), HeightKind::Cell));
    }

    void drawPageTexts(Page& page) const {
        const TextStyle blue = Style(Qt::blue, kUnitH, HeightKind::Cell);
        AddText(page, SheetDate(in_.now), Mm(185), Mm(22.5), blue);
        AddText(page, SheetTime(in_.now), Mm(230), Mm(22.5), blue);
        TextStyle italic = blue;
        italic.italic = true;
        for (int line = 6; line <= 8; ++line)
            AddText(page, in_.texts.text[size_t(line - 1)], Mm(170), Mm(30) + (line - 6) * kUnitH,
                    italic);
        DrawCreditBlock(page, Mm(260), Mm(192.5));
    }

    const ResultSheetInput& in_;
    std::array<int, kKartCount> count_{};
    std::array<KartSummary, kKartCount> summary_{};
};

} // namespace

int RowsPerColumn(ResultKind kind, int columns) {
    const auto& rows = kind == ResultKind::Laps ? kLapRows : kSplitRows;
    return rows[size_t(std::clamp(columns, 1, kKartCount) - 1)];
}

QString TimeTextOfLine(ResultKind kind, const QString& line) {
    if (kind == ResultKind::Laps)
        return line;
    const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    return words.isEmpty() ? QString() : words.last();
}

qint64 AverageSpeed(TimeMs total, int count, int trackLength) {
    if (total <= 0 || count <= 0)
        return 0;
    // 64 bits: lengths up to 99 999 m and any total stay exact.
    const qint64 k = ((total * 100) / 360) / count;
    if (k == 0)
        return 0;
    return (qint64(trackLength) * 100'000) / k;
}

QString SpeedText(qint64 v) {
    return QStringLiteral("%1,%2%3 Km/h").arg(v / 100).arg((v / 10) % 10).arg(v % 10);
}

KartSummary SummarizeKart(ResultKind kind, const QStringList& lines, int trackLength) {
    KartSummary s;
    s.minimum = kMinimumStart;
    for (const QString& line : lines) {
        TimeMs v = 0;
        try {
            v = ParseTimeText(TimeTextOfLine(kind, line));
        } catch (const ConversionError& e) {
            if (s.unreadable++ == 0)
                s.firstError = e.message();
            continue;
        }
        s.total += v;
        s.minimum = std::min(s.minimum, v);
        s.maximum = std::max(s.maximum, v);
        ++s.count;
    }
    const int n = s.count == 0 ? 1 : s.count;
    if (s.count == 0)
        s.minimum = 0;
    s.average = s.total / n;
    s.speed = AverageSpeed(s.total, n, trackLength);
    return s;
}

void DrawKartSummary(Page& page, const KartSummary& summary, Hmm x, int columns) {
    const bool small = columns >= 5;
    const TextStyle red = Style(Qt::red, small ? kUnitQ : kUnitH, HeightKind::Cell);
    const Hmm valueX = x + Mm(8) + (small ? Mm(20) : Mm(40));
    const std::array<QString, 5> values = {
        FormatTimeText(summary.total), FormatTimeText(summary.minimum),
        FormatTimeText(summary.maximum), FormatTimeText(summary.average),
        SpeedText(summary.speed)};
    for (size_t i = 0; i < kSummaryLines.size(); ++i) {
        AddText(page, QString::fromUtf8(kSummaryLines[i].label), x + Mm(10.5), kSummaryLines[i].y,
                red);
        AddText(page, values[i], valueX, kSummaryLines[i].y, red);
    }
}

Sheet ComposeResultPages(const ResultSheetInput& input,
                         const std::function<void(int, int)>& progress) {
    return ResultComposer(input).compose(progress);
}

QString ResultSheetCaption(ResultKind kind) {
    return kind == ResultKind::Laps ? QStringLiteral("Náhled tisku  -  Výsledky motokár")
                                    : QStringLiteral("Náhled tisku  -  Výsledky mezičasů na dráze");
}

} // namespace vartemo
