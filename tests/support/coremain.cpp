#include "core/moduleloader.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

// Core tests get a QCoreApplication so that signals, timers and sockets work.
int main(int argc, char** argv) {
    // The program's modules, from the build (a test may point elsewhere).
    vartemo::modules::SetSearchFolders({QStringLiteral(VARTEMO_MODULE_BUILD_DIR)});
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
