#include "engine/raceboard.h"
#include "engine/timetext.h"
#include "records/toptables.h"
#include "records/ttopten10frm.h"
#include "records/tupravdlg.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vartemo;

namespace {

// The end of a ride of eight karts with 300 laps each: reload both files,
// find every kart's best lap, insert, sort, write both tables atomically.
// The tables start as placeholders each time, so that every kart enters.
void BM_TopTenDesetAndCommit(benchmark::State& state) {
    QTemporaryDir dir;
    TopTables tables(dir.path());
    RaceBoard board;
    QRandomGenerator random(7);
    for (int k = 1; k <= kKartCount; ++k) {
        QStringList laps;
        for (int i = 0; i < 300; ++i)
            laps << FormatTimeText(30'000 + random.bounded(20'000));
        board.setLines(k, BoardList::Lap, laps);
        board.setWoman(k, k % 2 == 0);
    }
    for (auto _ : state) {
        state.PauseTiming();
        tables.Reset();
        state.ResumeTiming();
        benchmark::DoNotOptimize(tables.TopTenDeset(board));
    }
}
BENCHMARK(BM_TopTenDesetAndCommit)->Unit(benchmark::kMillisecond);

// The men's table as shown in the window, written as a progressive JPEG.
void BM_SaveListAsJpeg(benchmark::State& state) {
    QTemporaryDir dir;
    TopTables tables(dir.path());
    tables.Load();
    TUpravDlg edit;
    TTopTen10Frm window(tables, edit);
    window.show();
    QApplication::processEvents();
    const QString file = dir.filePath("Top20_Muzi.jpg");
    for (auto _ : state) {
        if (!window.SaveListAsJpeg(TopTable::Men, file, static_cast<int>(state.range(0))))
            state.SkipWithError("picture not written");
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(file).size());
}
BENCHMARK(BM_SaveListAsJpeg)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);

} // namespace
