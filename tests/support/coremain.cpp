#include <QCoreApplication>
#include <gtest/gtest.h>

// Core tests get a QCoreApplication so that signals, timers and sockets work.
int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
