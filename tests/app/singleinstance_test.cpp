#include "app/singleinstance.h"

#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
