#include "platform/desktoplauncher.h"

#include "core/textfile.h"
#include "platform/desktopentry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace vartemo {

const QString DesktopLauncher::kFileName = QStringLiteral("Vartemo v. 2.3 Kestrál.desktop");
const QString DesktopLauncher::kTitle = QStringLiteral("Vartemo v. 2.3 Kestrál");

QString DesktopLauncher::DesktopFolder() {
    QProcess xdg;
    xdg.start(QStringLiteral("xdg-user-dir"), {QStringLiteral("DESKTOP")});
    if (xdg.waitForFinished(3000) && xdg.exitStatus() == QProcess::NormalExit && xdg.exitCode() == 0) {
        const QString folder = QString::fromLocal8Bit(xdg.readAllStandardOutput()).trimmed();
        if (!folder.isEmpty())
            return folder;
    }
    return QDir(QDir::homePath()).filePath(QStringLiteral("Desktop"));
}

QString DesktopLauncher::path() const {
    return QDir(folder_).filePath(kFileName);
}

bool DesktopLauncher::write(const QString& programPath, const QString& homeFolder, QString* error) const {
    if (!QDir().mkpath(folder_)) {
        if (error)
            *error = QStringLiteral("Složku %1 nelze vytvořit").arg(QDir::toNativeSeparators(folder_));
        return false;
    }
    const QString entry = QStringLiteral("[Desktop Entry]\nType=Application\nName=") + kTitle +
                          QStringLiteral("\nComment=") + kTitle + u'\n' +
                          DesktopEntryStartKeys(programPath, homeFolder) + QStringLiteral("Terminal=false\n");
    if (!writeFileAtomically(path(), entry.toUtf8(), error))
        return false;
    // Desktops start only launchers that may be executed.
    QFile::setPermissions(path(), QFile::permissions(path()) | QFile::ExeOwner);
    return true;
}

} // namespace vartemo
