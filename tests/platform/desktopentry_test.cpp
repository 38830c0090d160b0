#include "platform/autostartentry.h"
#include "platform/desktopentry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace vartemo;

TEST(DesktopEntryStartKeys, EveryArgumentQuotedAndEscaped) {
    struct Case {
        const char* program;
        const char* home;
        const char* keys;
    };
    const Case cases[] = {
        {"/usr/bin/vartemo", "/home/a/vartemo",
         "Exec=\"/usr/bin/vartemo\" --home \"/home/a/vartemo\"\nPath=/home/a/vartemo\n"},
        // Blanks and Czech letters stay as they are inside the quotes.
        {"/opt/my dir/vartemo", "/home/a/Dráha 1",
         "Exec=\"/opt/my dir/vartemo\" --home \"/home/a/Dráha 1\"\nPath=/home/a/Dráha 1\n"},
        // '"', '`' and '$' are escaped inside the quotes, and that backslash
        // once more as a string value; '%' is doubled.
        {"/opt/v", "/t/\"q\" `c` $HOME 100%",
         "Exec=\"/opt/v\" --home \"/t/\\\\\"q\\\\\" \\\\`c\\\\` \\\\$HOME 100%%\"\nPath=/t/\"q\" `c` $HOME 100%\n"},
        // A backslash is escaped for the quotes, and both for the string value.
        {"/opt/v", "/t/a\\b", "Exec=\"/opt/v\" --home \"/t/a\\\\\\\\b\"\nPath=/t/a\\\\b\n"},
        // A line break or a tab cannot break the entry's line.
        {"/opt/v", "/t/x\ny\tz", "Exec=\"/opt/v\" --home \"/t/x\\ny\\tz\"\nPath=/t/x\\ny\\tz\n"},
        {"/opt/v", "/t/semi;colon'q",
         "Exec=\"/opt/v\" --home \"/t/semi;colon'q\"\nPath=/t/semi;colon'q\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DesktopEntryStartKeys(QString::fromUtf8(c.program), QString::fromUtf8(c.home)),
                  QString::fromUtf8(c.keys))
            << c.home;
}

// The desktop's own launcher reads the entry: the program gets exactly the
// folder it was given, and starts in it.
TEST(DesktopEntryStartKeys, TheDesktopStartsTheProgramOnItsFolder) {
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("bin dir/$vartemo `x`"));
    const QString home = dir.filePath(QStringLiteral("data \"1\" 100% a\\b;'c'"));
    const QString record = dir.filePath(QStringLiteral("record"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(program).path()));
    ASSERT_TRUE(QDir().mkpath(home));
    QFile script(program);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" \"$2\" \"$(pwd)\" > '%1'\n")
                     .arg(record)
                     .toLocal8Bit());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    AutostartEntry entry(dir.filePath(QStringLiteral("autostart")));
    ASSERT_TRUE(entry.set(true, program, home));
    QProcess gio;
    gio.start(QStringLiteral("gio"), {QStringLiteral("launch"), entry.launcherPath()});
    ASSERT_TRUE(gio.waitForFinished(10000));
    ASSERT_EQ(gio.exitCode(), 0) << gio.readAllStandardError().constData();
    for (int i = 0; i < 500 && !QFile::exists(record); ++i)
        QThread::msleep(10);
    QThread::msleep(50);
    QFile out(record);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLocal8Bit(out.readAll()),
              QStringLiteral("2\n--home\n") + home + u'\n' + home + u'\n');
}

TEST(AutostartEntry, LauncherKeepsTheProgramFolder) {
    QTemporaryDir dir;
    AutostartEntry entry(dir.filePath(QStringLiteral("autostart")));
    EXPECT_FALSE(entry.isSet());
    EXPECT_TRUE(entry.set(false, "/opt/vartemo", "/h")) << "switching off what is off succeeds";
    ASSERT_TRUE(entry.set(true, "/opt/my dir/vartemo", "/home/a/track data"));
    EXPECT_TRUE(entry.isSet());
    QFile f(dir.filePath(QStringLiteral("autostart/vartemo_kestral.desktop")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray content = f.readAll();
    EXPECT_TRUE(content.startsWith("[Desktop Entry]\nType=Application\n"));
    EXPECT_TRUE(content.contains("\nExec=\"/opt/my dir/vartemo\" --home \"/home/a/track data\"\n"));
    EXPECT_TRUE(content.contains("\nPath=/home/a/track data\n"));
    EXPECT_TRUE(entry.set(false, "/opt/my dir/vartemo", "/home/a/track data"));
    EXPECT_FALSE(entry.isSet());
}
