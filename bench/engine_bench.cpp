#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/ridejournal.h"
#include "engine/sensorhealth.h"

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

// The sensor health's bookkeeping of one lap passing by itself, as a UDP
// passing does it: the sender's slot found among a full table of addresses
// (the worst case: the last one), its passing counted, the kart's lap.
void BM_HealthPerPassing(benchmark::State& state) {
    SensorHealth health;
    for (int i = 1; i < SensorHealth::kMaxNetworkSources; ++i)
        health.network(QStringLiteral("192.168.0.%1").arg(i));
    const QString sender = QStringLiteral("192.168.0.15");
    TimeUs t = 1'000'000;
    for (auto _ : state) {
        t += 20'000'000;
        const int slot = health.network(sender);
        health.passing(slot, t);
        health.kartLap(8, t);
        benchmark::DoNotOptimize(slot);
    }
}
BENCHMARK(BM_HealthPerPassing);

// A whole lap passing with and without the health model told (health 1):
// the difference is what the bookkeeping adds to the timing path.
void BM_LapPassingHealth(benchmark::State& state) {
    Race race;
    SensorHealth health;
    if (state.range(0) != 0)
        race.laps.setHealth(&health);
    const QString code = QStringLiteral("C8B");
    for (auto _ : state) {
        race.clock.advance(1000);
        const CodeMatch match = race.laps.MatchCode(code, QString());
        if (state.range(0) != 0 && match != CodeMatch::NoKart)
            health.passing(SensorHealth::serial(), race.clock.nowUs());
        race.laps.PollAll();
        race.trim(state, 8, BoardList::Lap);
    }
}
BENCHMARK(BM_LapPassingHealth)->ArgName("health")->Arg(0)->Arg(1);

// The 500 ms tick's model work during a ride without passings: the overdue
// marks of eight karts and the lamps of every source.
void BM_HealthTickModel(benchmark::State& state) {
    SensorHealth health;
    for (int i = 1; i <= 11; ++i)
        health.setInUse(health.network(QStringLiteral("10.0.0.%1").arg(i)), true);
    OverdueRule rule;
    rule.racing = true;
    rule.minLapUs = 2'000'000;
    rule.taking.fill(true);
    TimeUs now = 0;
    for (auto _ : state) {
        now += 500'000;
        benchmark::DoNotOptimize(health.updateOverdue(now, rule));
        for (int slot = 0; slot < SensorHealth::kSourceCount; ++slot)
            benchmark::DoNotOptimize(health.lamp(slot, now));
    }
}
BENCHMARK(BM_HealthTickModel);

} // namespace

BENCHMARK_MAIN();
