#include "app/singleinstance.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <future>

using namespace vartemo;

TEST(SingleInstance, TheSecondClaimRequestsTheFirstToRestore) {
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    ASSERT_TRUE(first.claim());
    QSignalSpy restore(&first, &SingleInstance::restoreRequested);
    SingleInstance second(dir.path());
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(restore.wait(5000));
    EXPECT_EQ(restore.count(), 1);
}

TEST(SingleInstance, OtherTalkOnTheSocketIsNoRequest) {
    QTemporaryDir dir;
    SingleInstance first(dir.path());
    ASSERT_TRUE(first.claim());
    QSignalSpy restore(&first, &SingleInstance::restoreRequested);
    QLocalSocket stranger;
    stranger.connectToServer(dir.filePath(SingleInstance::kName));
    ASSERT_TRUE(stranger.waitForConnected(5000));
    stranger.write(QByteArray(100000, 'x'));
    stranger.waitForBytesWritten(5000);
    EXPECT_FALSE(restore.wait(300));
}

TEST(SingleInstance, AReleasedLockIsFreeAgain) {
    QTemporaryDir dir;
    {
        SingleInstance first(dir.path());
        ASSERT_TRUE(first.claim());
    }
    SingleInstance next(dir.path());
    EXPECT_TRUE(next.claim());
}

namespace {

// Asks from another thread while this one serves, as a tool's process would.
bool AskWhileServing(const QString& folder) {
    auto answer = std::async(std::launch::async, [folder] { return SingleInstance::askRideBeingTimed(folder); });
    while (answer.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return answer.get();
}

} // namespace

TEST(SingleInstance, AToolLearnsWhetherTheStationTimesARide) {
    QTemporaryDir dir;
    EXPECT_FALSE(SingleInstance::askRideBeingTimed(dir.path(), 500)) << "no station runs";
    SingleInstance station(dir.path());
    ASSERT_TRUE(station.claim());
    QSignalSpy restore(&station, &SingleInstance::restoreRequested);
    EXPECT_FALSE(AskWhileServing(dir.path())) << "a station that was told nothing about rides";
    bool timing = true;
    station.setRideQuery([&timing] { return timing; });
    EXPECT_TRUE(AskWhileServing(dir.path()));
    timing = false;
    EXPECT_FALSE(AskWhileServing(dir.path()));
    EXPECT_EQ(restore.count(), 0) << "a question is no restore request";
}
