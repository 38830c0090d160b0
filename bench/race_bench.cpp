#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/racecontrol.h"
#include "engine/racecontrolpanel.h"
#include "engine/racesettings.h"
#include "engine/ridejournal.h"
#include "engine/raceboardview.h"
#include "engine/sensorhealth.h"
#include "engine/tform1.h"
#include "sensors/sensorhealthstrip.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

using namespace vartemo;

namespace {

double processCpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(u.ru_utime) + ms(u.ru_stime);
}

// One tick of the race clock in the middle of a ride: displays, progress,
// end detection over eight lap lists.
void BM_DisplayTick(benchmark::State& state) {
    RaceBoard board;
    ManualClock clock;
    FixedLapSettings lapSettings;
    LapComputation laps(board, clock, lapSettings);
    FixedRaceSettings settings;
    RaceControl control(board, laps, clock, settings, {});
    control.StartButton1Click();
    for (auto _ : state) {
        clock.advance(259);
        control.fire(RaceTimer::Display);
        if (!laps.raceRunning()) {
            state.PauseTiming();
            laps.startRace();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_DisplayTick);

// The whole main window timing a ride with no passings for 10 s of real
// time: the clock ticks, the repaints and, with the parallel port in use
// (argument 1), the 2 ms polls; a ride timed by code-sending sensors alone
// (argument 0) polls only when a passing waits. cpu_ms is the processor time
// the process used in those 10 s (user + system). journal 1: the ride is
// journaled (its writer thread waits for records and must cost nothing).
void BM_RunningRaceCpu(benchmark::State& state) {
    RaceBoard board;
    SteadyClock clock;
    FixedLapSettings lapSettings;
    LapComputation laps(board, clock, lapSettings);
    FixedRaceSettings settings;
    settings.parallelPort = state.range(0) != 0;
    RaceControl control(board, laps, clock, settings, {});
    QTemporaryDir dir;
    RideJournal journal(dir.filePath(QStringLiteral("jizdy")));
    if (state.range(1) != 0)
        control.setJournal(&journal);
    TForm1 window(board);
    new RaceControlPanel(window, control);
    // health 1: the sensor strip under the board with eleven network
    // sensors, and its 500 ms tick as the station runs it (the overdue
    // marks, the lamps, the tooltips every fourth tick).
    SensorHealth health;
    QTimer healthTick;
    if (state.range(2) != 0) {
        auto* strip = new SensorHealthStrip(window.centralWidget());
        window.insertBelowBoard(strip);
        for (int i = 1; i <= 11; ++i)
            health.setInUse(health.network(QStringLiteral("10.0.0.%1").arg(i)), true);
        OverdueRule rule;
        rule.taking.fill(true);
        QObject::connect(&healthTick, &QTimer::timeout, [&, strip, rule, ticks = 0]() mutable {
            rule.racing = laps.raceRunning();
            rule.raceStartUs = laps.raceStartUs();
            const TimeUs now = clock.nowUs();
            if (health.updateOverdue(now, rule))
                for (int k = 1; k <= kKartCount; ++k)
                    window.boardView()->setOverdue(k, health.overdue(k));
            strip->showHealth(health, now, health.takeChanged() || ++ticks % 4 == 0);
        });
        healthTick.start(500);
    }
    window.show();
    QApplication::processEvents();
    for (auto _ : state) {
        window.findChild<QPushButton*>(QStringLiteral("StartButton1"))->click();
        const double before = processCpuMs();
        QTimer::singleShot(10'000, Qt::PreciseTimer, qApp, &QCoreApplication::quit);
        QApplication::exec();
        const double used = processCpuMs() - before;
        state.counters["cpu_ms"] = used;
        state.counters["cpu_percent"] = used / 10'000.0 * 100.0;
        control.StartButton1Click();
    }
}
BENCHMARK(BM_RunningRaceCpu)->ArgNames({"lpt_poll", "journal", "health"})->Args({0, 0, 0})->Args({0, 1, 0})->Args({1, 0, 0})->Args({0, 0, 1})->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
