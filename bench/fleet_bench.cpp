#include "fleet/kartfleet.h"
#include "fleet/kartstatusfile.h"
#include "logbook/logbook.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vartemo;

namespace {

// A folder on the disk the station writes to (beside the build, not /tmp).
QTemporaryDir diskFolder() {
    return QTemporaryDir(QDir::currentPath() + QStringLiteral("/fleet-bench-XXXXXX"));
}

// Eight karts with all four tasks due every 30 minutes, 10 hours driven.
KartStatusRecords busyFleet() {
    KartStatusRecords karts{};
    for (KartStatus& k : karts) {
        k.driven = QStringLiteral("10:0");
        k.consumption = 60;
        k.tank = 20;
        k.refuelNotice = true;
        for (int t = 0; t < kKartTasks; ++t)
            k.tasks[size_t(t)] = {true, 0, 30, QStringLiteral("Výměna oleje a kontrola řetězu %1").arg(t + 1), 1};
    }
    return karts;
}

void BM_SaveKartStatus(benchmark::State& state) {
    QTemporaryDir dir = diskFolder();
    const QString path = dir.filePath(QStringLiteral("stav.ini"));
    const KartStatusRecords karts = busyFleet();
    SaveKartStatus(path, karts);
    for (auto _ : state)
        if (!SaveKartStatus(path, karts))
            state.SkipWithError("stav.ini not written");
}
BENCHMARK(BM_SaveKartStatus)->Unit(benchmark::kMillisecond);

// The STOP's fleet step: minutes added, figures, refuel check, the save.
void BM_StopFleetStep(benchmark::State& state) {
    QTemporaryDir dir = diskFolder();
    const QString path = dir.filePath(QStringLiteral("stav.ini"));
    SaveKartStatus(path, busyFleet());
    KartFleet fleet(path, {});
    fleet.LoadKartStatus();
    for (auto _ : state)
        benchmark::DoNotOptimize(fleet.AddRideMinutes({10, 10, 10, 10, 10, 10, 10, 10}));
}
BENCHMARK(BM_StopFleetStep)->Unit(benchmark::kMillisecond);

// 32 due tasks: 32 lines into a real log book file.
void BM_CheckTasks32Due(benchmark::State& state) {
    QTemporaryDir dir = diskFolder();
    const QString path = dir.filePath(QStringLiteral("stav.ini"));
    SaveKartStatus(path, busyFleet());
    LogBook book(dir.filePath(QStringLiteral("vartemo.den")));
    book.LoadLogBook();
    const qsizetype before = book.entries().size();
    KartFleet fleet(path, {.addLogEntry = [&book](const QString& line) { book.AddLogEntry(line); },
                           .currentOperator = [] { return QStringLiteral("Admin"); }});
    fleet.LoadKartStatus();
    for (auto _ : state) {
        fleet.CheckTasks();
        state.PauseTiming();
        fleet.AcknowledgeNotices();
        state.ResumeTiming();
    }
    if ((book.entries().size() - before) != 32 * qsizetype(state.iterations()))
        state.SkipWithError("not 32 log lines per check");
}
BENCHMARK(BM_CheckTasks32Due)->Unit(benchmark::kMillisecond);

} // namespace
