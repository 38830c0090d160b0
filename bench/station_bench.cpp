#include "app/aboutwiring.h"
#include "app/besttwentywiring.h"
#include "app/fleetwiring.h"
#include "app/logbookwiring.h"
#include "app/printingwindows.h"
#include "app/settingsdialogwiring.h"
#include "app/station.h"
#include "app/statisticswiring.h"
#include "analysis/statisticsdialog.h"
#include "backup/tzalohujfrm.h"
#include "config/tnastavdlg.h"
#include "fleet/tstav_karfrm.h"
#include "logbook/tdenikfrm.h"
#include "printing/besttwentypreviewdialog.h"
#include "printing/diplomadialog.h"
#include "printing/resultpreviewdialog.h"
#include "records/ttopten10frm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <ctime>
#include <functional>

using namespace vartemo;

namespace {

// The windows that are not on the screen at start, each as its command
// opens it (shown without the modal loop, which would wait for the operator).
struct Window {
    const char* name;
    std::function<QWidget*(Station&)> open;
};

const Window kWindows[] = {
    {"statistics", [](Station& s) -> QWidget* { return s.statistics().lapDialog(); }},
    {"statistics splits", [](Station& s) -> QWidget* { return s.statistics().splitDialog(); }},
    {"best twenty", [](Station& s) -> QWidget* { return s.bestTwenty().window(); }},
    {"fleet", [](Station& s) -> QWidget* { return &s.fleet().statusWindow(); }},
    {"log book", [](Station& s) -> QWidget* { return &s.logBookWindow().window(); }},
    {"settings",
     [](Station& s) -> QWidget* {
         s.settingsDialog().showDialog();
         return &s.settingsDialog().dialog();
     }},
    {"backup", [](Station& s) -> QWidget* { return &s.backupWindow(); }},
    {"preview laps", [](Station& s) -> QWidget* { return s.printing().lapSheet(); }},
    {"preview splits", [](Station& s) -> QWidget* { return s.printing().splitSheet(); }},
    {"preview best twenty", [](Station& s) -> QWidget* { return s.printing().bestTwentySheet(); }},
    {"preview diploma", [](Station& s) -> QWidget* { return s.printing().diploma(); }},
};

double ProcessCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// From the command to the window up (made, laid out, shown and painted),
// in a station that has just started in a fresh program folder. The time is
// the wall clock's; cpu_ms is the processor time of the same span, which a
// machine busy with other work does not stretch.
void BM_FirstOpening(benchmark::State& state) {
    const Window& window = kWindows[state.range(0)];
    state.SetLabel(window.name);
    double cpuMs = 0;
    for (auto _ : state) {
        QTemporaryDir home;
        Station station{ProgramFolder(home.path())};
        station.show();
        QApplication::processEvents();

        QElapsedTimer timer;
        timer.start();
        const double cpuBefore = ProcessCpuMs();
        QWidget* w = window.open(station);
        w->show();
        QApplication::processEvents();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        cpuMs += ProcessCpuMs() - cpuBefore;
        w->close();
    }
    state.counters["cpu_ms"] = benchmark::Counter(cpuMs / double(state.iterations()));
}
BENCHMARK(BM_FirstOpening)
    ->DenseRange(0, int(std::size(kWindows)) - 1)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

} // namespace
