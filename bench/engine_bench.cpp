#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/ridejournal.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vartemo;

namespace {

// Eight karts with two codes each, a race under way on a clock the benchmark moves.
struct Race {
    RaceBoard board;
    ManualClock clock;
    FixedLapSettings settings;
    LapComputation laps{board, clock, settings};

    Race() {
        settings.minLapTime = 500;
        for (int k = 1; k <= kKartCount; ++k) {
            settings.firstCode[size_t(k - 1)] = QStringLiteral("C%1A").arg(k);
            settings.secondCode[size_t(k - 1)] = QStringLiteral("C%1B").arg(k);
        }
        laps.startRace();
    }
    // Keeps the lists from growing without end over millions of iterations.
    void trim(benchmark::State& state, int kart, BoardList list) {
        if (board.lines(kart, list).size() > 10000) {
            state.PauseTiming();
            board.ClearLists();
            state.ResumeTiming();
        }
    }
};

// One lap passing of the last kart in matching order: MatchCode, then the
// 2 ms poll tick that turns it into a lap line. journal 1: the ride is
// journaled (the record built and handed to the writer thread, which writes
// and syncs meanwhile): the difference is the journal's cost per passing on
// the main thread; syncs counts the writer's fdatasync calls.
void BM_LapPassing(benchmark::State& state) {
    Race race;
    QTemporaryDir dir;
    RideJournal journal(dir.filePath(QStringLiteral("jizdy")));
    if (state.range(0) != 0) {
        RideSettings ride;
        ride.startWall = QDateTime::currentDateTime();
        QString error;
        if (!journal.begin(ride, &error)) {
            state.SkipWithError(qPrintable(error));
            return;
        }
        race.laps.setJournal(&journal);
    }
    const QString code = QStringLiteral("C8B");
    for (auto _ : state) {
        race.clock.advance(1000);
        race.laps.MatchCode(code, QString());
        race.laps.PollAll();
        race.trim(state, 8, BoardList::Lap);
    }
    journal.close(QDateTime::currentDateTime());
    state.counters["syncs"] = double(journal.syncCount());
}
BENCHMARK(BM_LapPassing)->ArgName("journal")->Arg(0)->Arg(1);

// An idle poll tick: nothing pending, no parallel port.
void BM_IdlePoll(benchmark::State& state) {
    Race race;
    for (auto _ : state)
        race.laps.PollAll();
}
BENCHMARK(BM_IdlePoll);

// A trackside split: substring search over the eight karts.
void BM_SplitPassing(benchmark::State& state) {
    Race race;
    const QString code = QStringLiteral("05C8A");
    for (auto _ : state) {
        race.clock.advance(100);
        race.laps.MatchCode(code, QString());
        race.trim(state, 8, BoardList::Track);
    }
}
BENCHMARK(BM_SplitPassing);

} // namespace

BENCHMARK_MAIN();
