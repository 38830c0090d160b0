#include "core/moduleloader.h"

#include <QApplication>
#include <gtest/gtest.h>

// Widget tests run with a QApplication on the offscreen platform.
int main(int argc, char** argv) {
    // The program's modules, from the build (a test may point elsewhere).
    vartemo::modules::SetSearchFolders({QStringLiteral(VARTEMO_MODULE_BUILD_DIR)});
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
