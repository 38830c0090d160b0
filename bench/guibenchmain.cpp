#include "core/moduleloader.h"

#include <QApplication>
#include <benchmark/benchmark.h>

// Benchmarks of windows get a QApplication; without a display they run offscreen.
int main(int argc, char** argv) {
    // The program's modules, from the build.
    vartemo::modules::SetSearchFolders({QStringLiteral(VARTEMO_MODULE_BUILD_DIR)});
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
