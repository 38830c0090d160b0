#include "core/czechformats.h"
#include "core/textfile.h"
#include "logbook/logbook.h"
#include "logbook/logentries.h"
#include "logbookseason.h"

#include <QDeadlineTimer>
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

// From starting the program to its main window up (the program log block is
// written in the event loop's first pass with the window shown), offscreen.
void BM_StartToMainWindow(benchmark::State& state) {
    for (auto _ : state) {
        QTemporaryDir runtime, home;
        QProcess station;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        station.setProcessEnvironment(env);
        const QString log = home.filePath(QStringLiteral("vartemo.log"));

        QElapsedTimer timer;
        timer.start();
        station.start(QStringLiteral(VARTEMO_EXECUTABLE), {QStringLiteral("--home"), home.path()});
        QDeadlineTimer deadline(60000);
        bool shown = false;
        while (!shown && !deadline.hasExpired()) {
            QFile f(log);
            shown = f.open(QIODevice::ReadOnly) && f.readAll().contains("[ End ");
            if (!shown)
                QThread::usleep(500);
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        ::kill(pid_t(station.processId()), SIGTERM);
        station.waitForFinished(10000);
        if (!shown)
            state.SkipWithError("main window not shown");
    }
}
BENCHMARK(BM_StartToMainWindow)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace
