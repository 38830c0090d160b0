#include <QCoreApplication>
#include <benchmark/benchmark.h>

// Benchmarks of core code get a QCoreApplication so that timers, sockets and
// processes work.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
