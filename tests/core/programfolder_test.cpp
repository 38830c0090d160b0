#include "core/programfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;

TEST(ProgramFolder, OptionThenEnvironmentThenXdg) {
    qputenv("VARTEMO_HOME", "/from/env");
    qputenv("XDG_DATA_HOME", "/xdg");
    EXPECT_EQ(ProgramFolder::resolve(QStringLiteral("/opt")), QStringLiteral("/opt"));
    EXPECT_EQ(ProgramFolder::resolve({}), QStringLiteral("/from/env"));
    qunsetenv("VARTEMO_HOME");
    EXPECT_EQ(ProgramFolder::resolve({}), QStringLiteral("/xdg/vartemo"));
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(ProgramFolder::resolve({}), QDir::homePath() + QStringLiteral("/.local/share/vartemo"));
}

TEST(ProgramFolder, FirstStartCreatesFoldersAndKeepsFiles) {
    QTemporaryDir tmp;
    const ProgramFolder folder(tmp.filePath(QStringLiteral("a/b")));
    ASSERT_TRUE(folder.ensure());
    EXPECT_TRUE(QDir(folder.resultsFolder()).exists());

    QFile kept(folder.path(QStringLiteral("vysledky/x.caskola")));
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.write("keep");
    kept.close();
    ASSERT_TRUE(folder.ensure());
    EXPECT_EQ(QFileInfo(kept).size(), 4);
}

TEST(ProgramFolder, UnwritablePlaceIsReported) {
    QTemporaryDir tmp;
    QFile blocker(tmp.filePath(QStringLiteral("file")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const ProgramFolder folder(tmp.filePath(QStringLiteral("file/sub")));
    QString error;
    EXPECT_FALSE(folder.ensure(&error));
    EXPECT_TRUE(error.contains(QStringLiteral("file/sub")));
}
