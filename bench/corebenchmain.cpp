#include "core/moduleloader.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

// Benchmarks of core code get a QCoreApplication so that timers, sockets and
// processes work.
int main(int argc, char** argv) {
    // The program's modules, from the build.
    vartemo::modules::SetSearchFolders({QStringLiteral(VARTEMO_MODULE_BUILD_DIR)});
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
