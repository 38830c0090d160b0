// What the first use of each module adds: loading it, with the libraries it
// brings, into a process that links what the station links. A module loads
// once per process, so every iteration is a fresh process of this program
// that loads one module and reports how long that took.

#include "core/moduleloader.h"
#include "publishing/ftpsession.h"
#include "sound/mediabackend.h"
#include "spectators/liveresultshttp.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace {

// The child: loads the module and prints the nanoseconds it took.
int LoadOnce(const char* module, const char* entry) {
    vartemo::modules::SetSearchFolders({QStringLiteral(VARTEMO_MODULE_BUILD_DIR)});
    QElapsedTimer timer;
    timer.start();
    QString error;
    const auto function = vartemo::modules::Entry(QString::fromLatin1(module), entry, &error);
    const qint64 ns = timer.nsecsElapsed();
    if (!function) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("%lld\n", static_cast<long long>(ns));
    return 0;
}

void BM_ModuleFirstLoad(benchmark::State& state, const char* module, const char* entry) {
    for (auto _ : state) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--load-once"), QString::fromLatin1(module), QString::fromLatin1(entry)});
        bool ok = false;
        const qint64 ns = child.waitForFinished(30000) && child.exitCode() == 0
                              ? child.readAllStandardOutput().trimmed().toLongLong(&ok)
                              : 0;
        if (!ok) {
            state.SkipWithError(child.readAllStandardError().constData());
            break;
        }
        state.SetIterationTime(double(ns) / 1e9);
    }
}
BENCHMARK_CAPTURE(BM_ModuleFirstLoad, ftp, vartemo::kFtpModule, vartemo::kFtpModuleEntry)
    ->UseManualTime()->Iterations(10)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ModuleFirstLoad, live_page, vartemo::kLiveResultsModule, vartemo::kLiveResultsModuleEntry)
    ->UseManualTime()->Iterations(10)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ModuleFirstLoad, sound, vartemo::kSoundModule, vartemo::kSoundModuleEntry)
    ->UseManualTime()->Iterations(10)->Repetitions(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--load-once") == 0)
        return LoadOnce(argv[2], argv[3]);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
