#include "platform/autostartentry.h"
#include "platform/desktoplauncher.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// Both launchers start the station on the folder it runs on, whatever the
// folder's name holds.
TEST(Launchers, DesktopAndAutostartStartTheStationOnItsFolder) {
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("trať \"B\" 50%"));
    const QString program = QStringLiteral("/opt/vartemo/bin/vartemo");

    const DesktopLauncher desktop(dir.filePath(QStringLiteral("Plocha")));
    ASSERT_TRUE(desktop.write(program, home));
    EXPECT_TRUE(desktop.path().endsWith(QStringLiteral("/Plocha/Vartemo v. 2.3 Kestrál.desktop")));
    const QByteArray expectedKeys = "Exec=\"/opt/vartemo/bin/vartemo\" --home \"" + dir.path().toUtf8() +
                                    "/trať \\\\\"B\\\\\" 50%%\"\nPath=" + home.toUtf8() + "\n";
    EXPECT_EQ(readBytes(desktop.path()),
              "[Desktop Entry]\nType=Application\nName=Vartemo v. 2.3 Kestrál\n"
              "Comment=Vartemo v. 2.3 Kestrál\n" + expectedKeys + "Terminal=false\n");
    EXPECT_TRUE(QFile::permissions(desktop.path()) & QFile::ExeOwner);
    ASSERT_TRUE(desktop.write(program, home)) << "a second click replaces the launcher";

    AutostartEntry autostart(dir.filePath(QStringLiteral("autostart")));
    ASSERT_TRUE(autostart.set(true, program, home));
    EXPECT_TRUE(readBytes(autostart.launcherPath()).contains(expectedKeys));
}

TEST(Launchers, ADesktopFolderThatCannotBeMadeIsAnError) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("soubor")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QString error;
    EXPECT_FALSE(DesktopLauncher(dir.filePath(QStringLiteral("soubor/Plocha"))).write("/x", "/y", &error));
    EXPECT_FALSE(error.isEmpty());
}
