#include "core/czechformats.h"
#include "core/textfile.h"
#include "logbook/logbook.h"
#include "logbook/logentries.h"
#include "logbookseason.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>

#include <csignal>

using namespace vartemo;

namespace {

QByteArray logBookOf(int lineCount) {
    return textfile::encode(textfile::joinLines(SeasonLogLines(lineCount)));
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort();
}

void BM_LoadLogBook(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vartemo.den"));
    const QByteArray bytes = logBookOf(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        writeBytes(path, bytes); // LoadLogBook appended this run's entry last time
        LogBook book(path);
        state.ResumeTiming();
        if (!book.LoadLogBook())
            state.SkipWithError("log book not read");
        benchmark::DoNotOptimize(book.entries().size());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_LoadLogBook)->Arg(100000)->Unit(benchmark::kMillisecond);

// The processor time a process has had so far, all its threads.
double ProcessorMs(qint64 pid) {
    double ns = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (stat.open(QIODevice::ReadOnly))
            ns += stat.readAll().split(' ').value(0).toDouble();
    }
    return ns / 1e6;
}

struct StartFigures {
    double seconds = -1; // from the start to the window; negative: it did not come
    double processorMs = 0;
};

// Starts the program in home and waits for its main window up (the program
// log block is written in the event loop's first pass with the window shown),
// offscreen; ends it again.
StartFigures StartToMainWindow(const QString& home) {
    QTemporaryDir runtime;
    QProcess station;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    station.setProcessEnvironment(env);
    const QString log = QDir(home).filePath(QStringLiteral("vartemo.log"));
    const qint64 blocksBefore = [&] {
        QFile f(log);
        return f.open(QIODevice::ReadOnly) ? qint64(f.readAll().count("[ End ")) : 0;
    }();

    QElapsedTimer timer;
    timer.start();
    station.start(QStringLiteral(VARTEMO_EXECUTABLE), {QStringLiteral("--home"), home});
    QDeadlineTimer deadline(60000);
    bool shown = false;
    while (!shown && !deadline.hasExpired()) {
        QFile f(log);
        shown = f.open(QIODevice::ReadOnly) && f.readAll().count("[ End ") > blocksBefore;
        if (!shown)
            QThread::usleep(500);
    }
    StartFigures figures;
    figures.seconds = shown ? double(timer.nsecsElapsed()) / 1e9 : -1;
    figures.processorMs = ProcessorMs(station.processId());
    ::kill(pid_t(station.processId()), SIGTERM);
    station.waitForFinished(10000);
    return figures;
}

// From starting the program to its main window up. Arg 0: a first start
// (a new program folder, which gets its sounds and logo written); arg 1:
// the operator's restart in the folder of an earlier run. cpu_ms: the
// program's processor time until then, its work without the splash's pause
// and without what other work on the machine adds to the wall clock.
void BM_StartToMainWindow(benchmark::State& state) {
    const bool restart = state.range(0) == 1;
    state.SetLabel(restart ? "restart" : "first start");
    QTemporaryDir used;
    if (restart && StartToMainWindow(used.path()).seconds < 0)
        state.SkipWithError("main window not shown");
    double processorMs = 0;
    for (auto _ : state) {
        QTemporaryDir fresh;
        const StartFigures figures = StartToMainWindow(restart ? used.path() : fresh.path());
        if (figures.seconds < 0) {
            state.SkipWithError("main window not shown");
            break;
        }
        state.SetIterationTime(figures.seconds);
        processorMs += figures.processorMs;
    }
    state.counters["cpu_ms"] = benchmark::Counter(processorMs / double(state.iterations()));
}
BENCHMARK(BM_StartToMainWindow)->Arg(0)->Arg(1)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace
