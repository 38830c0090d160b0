#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"

#include <benchmark/benchmark.h>

using namespace vartemo;

namespace {

FixedLapSettings eightKarts() {
    FixedLapSettings s;
    s.minLapTime = 500;
    for (int k = 1; k <= kKartCount; ++k) {
        s.firstCode[size_t(k - 1)] = QStringLiteral("C%1A").arg(k);
        s.secondCode[size_t(k - 1)] = QStringLiteral("C%1B").arg(k);
    }
    return s;
}

// One lap passing of the last kart in matching order: MatchCode, then the
// 2 ms poll tick that turns it into a lap line.
void BM_LapPassing(benchmark::State& state) {
    RaceBoard board;
    ManualClock clock;
    const FixedLapSettings settings = eightKarts();
    LapComputation laps(board, clock, settings);
    laps.startRace();
    const QString code = QStringLiteral("C8B");
    for (auto _ : state) {
        clock.advance(1000);
        laps.MatchCode(code, QString());
        laps.PollAll();
        if (board.lapCount(8) > 10000) {
            state.PauseTiming();
            board.ClearLists();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_LapPassing);

// An idle poll tick: nothing pending, no parallel port.
void BM_IdlePoll(benchmark::State& state) {
    RaceBoard board;
    ManualClock clock;
    const FixedLapSettings settings = eightKarts();
    LapComputation laps(board, clock, settings);
    laps.startRace();
    for (auto _ : state)
        laps.PollAll();
}
BENCHMARK(BM_IdlePoll);

// A trackside split: substring search over the eight karts.
void BM_SplitPassing(benchmark::State& state) {
    RaceBoard board;
    ManualClock clock;
    const FixedLapSettings settings = eightKarts();
    LapComputation laps(board, clock, settings);
    laps.startRace();
    const QString code = QStringLiteral("05C8A");
    for (auto _ : state) {
        clock.advance(100);
        laps.MatchCode(code, QString());
        if (board.lines(8, BoardList::Track).size() > 10000) {
            state.PauseTiming();
            board.ClearLists();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_SplitPassing);

} // namespace

BENCHMARK_MAIN();
