#include "platform/autostartentry.h"

#include "core/textfile.h"
#include "platform/desktopentry.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace vartemo {

const QString AutostartEntry::kLauncherName = QStringLiteral("vartemo_kestral.desktop");

AutostartEntry::AutostartEntry()
    : AutostartEntry(QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                         .filePath(QStringLiteral("autostart"))) {}

QString AutostartEntry::launcherPath() const {
    return QDir(folder_).filePath(kLauncherName);
}

bool AutostartEntry::set(bool on, const QString& programPath, const QString& homeFolder) {
    if (!on)
        return QFile::remove(launcherPath()) || !isSet();
    if (!QDir().mkpath(folder_))
        return false;
    const QString launcher = QStringLiteral("[Desktop Entry]\nType=Application\nName=Vartemo Kestral\n") +
                             DesktopEntryStartKeys(programPath, homeFolder) +
                             QStringLiteral("X-GNOME-Autostart-enabled=true\n");
    return writeFileAtomically(launcherPath(), launcher.toUtf8());
}

bool AutostartEntry::isSet() const {
    return QFile::exists(launcherPath());
}

} // namespace vartemo
