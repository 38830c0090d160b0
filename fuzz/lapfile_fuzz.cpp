// libFuzzer target: any bytes as a saved lap-time or split file, read as the
// statistics read a loaded list (lap and split charts, the sensor filter,
// paging, thinning, axis ticks and readout) and as the results editor reads
// and rewrites it. Nothing may crash, and the editor writes back exactly the
// lines it was given.
#include "fuzzsupport.h"

#include "analysis/chartlabels.h"
#include "analysis/chartpaging.h"
#include "analysis/kartseries.h"
#include "analysis/pointthinning.h"
#include "analysis/resultsfileeditor.h"
#include "analysis/sensorfilter.h"
#include "analysis/splitline.h"
#include "core/textfile.h"
#include "engine/lapfiles.h"
#include "engine/raceboard.h"

#include <algorithm>
#include <cmath>

using namespace vartemo;

namespace {

void Chart(const QStringList& lines, ChartKind kind, const SensorFilter* filter) {
    const KartPoints series = BuildKartPoints(lines, kind, filter);
    FUZZ_CHECK(series.points.size() <= lines.size() + 1);
    if (!series.charted())
        return;
    double minY = series.points.front().y(), maxY = minY;
    for (const QPointF& p : series.points) {
        minY = std::min(minY, p.y());
        maxY = std::max(maxY, p.y());
    }
    const double lastX = series.points.back().x();
    FUZZ_CHECK(chartlabels::TimeTicks(minY, maxY, 12).size() <= 12);
    FUZZ_CHECK(chartlabels::LapTicks(0, lastX, 20).size() <= 21);
    (void)chartlabels::ReadoutText(maxY, lastX / 2);
    const QList<QPointF> thin = ThinToColumns(series.points, 64);
    FUZZ_CHECK(thin.size() <= series.points.size());
    FUZZ_CHECK(thin.front() == series.points.front() && thin.back() == series.points.back());
    (void)ThinToColumns(series.points, 64, ColumnKeep::Highest);
    ChartPaging paging;
    paging.setPointsPerPage(int(lines.size() % 7) + 2);
    paging.setPointCount(int(series.points.size()));
    for (int i = 0; i < paging.pageCount() && i < 50; ++i)
        paging.next();
    FUZZ_CHECK(paging.firstX() <= paging.lastX());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const QString path = fuzz::ScratchPath(QStringLiteral("Kara_fuzz.caskola"));
    fuzz::WriteFile(path, bytes);

    // The statistics: the file loaded into a kart's lists, charted from there.
    QString error;
    const auto lines = lapfiles::Load(path, &error);
    FUZZ_CHECK(lines.has_value());
    RaceBoard board;
    board.setLines(1, BoardList::Lap, *lines);
    board.setLines(1, BoardList::Track, *lines);
    Chart(board.lines(1, BoardList::Lap), ChartKind::Laps, nullptr);
    SensorFilter filter;
    for (int i = 0; i < kSensorCount; ++i) {
        filter.ids[size_t(i)] = QString::number(i + 1);
        filter.checked[size_t(i)] = i % 2 == 0;
    }
    Chart(board.lines(1, BoardList::Track), ChartKind::Splits, &filter);
    Chart(board.lines(1, BoardList::Track), ChartKind::Splits, nullptr);
    for (const QString& line : *lines) {
        const SplitLine split = SplitLine::Parse(line);
        (void)split.isWholeLap();
        (void)filter.shows(split.label);
    }

    // The results editor: loaded, one line corrected, saved over the file.
    ResultsFileEditor editor;
    (void)editor.select(path);
    FUZZ_CHECK(editor.loadedPath() == path);
    FUZZ_CHECK(editor.lines() == *lines);
    QStringList expected = editor.lines();
    if (!expected.isEmpty()) {
        editor.replaceLine(0, QStringLiteral("01:02:003"));
        expected[0] = QStringLiteral("01:02:003");
    }
    FUZZ_CHECK(editor.saveChanges().isEmpty());
    const auto again = lapfiles::Load(path);
    FUZZ_CHECK(again.has_value() && *again == expected);
    return 0;
}
