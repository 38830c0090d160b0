#include "backup/backupselection.h"

#include <QDir>

namespace vartemo {

QStringList BackupMasks(const QString& programFolder, const BackupChoice& choice) {
    const QDir folder(programFolder);
    QStringList masks;
    if (choice.settings)
        masks << folder.filePath(QStringLiteral("vartemo.ini"));
    if (choice.kartStatus)
        masks << folder.filePath(QStringLiteral("stav.ini"));
    if (choice.bestTwenty)
        masks << folder.filePath(QStringLiteral("TopDeset.ini")) << folder.filePath(QStringLiteral("TopDeset1.ini"));
    if (choice.results)
        masks << folder.filePath(QStringLiteral("vysledky/*.*"));
    return masks;
}

} // namespace vartemo
