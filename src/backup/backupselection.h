#pragma once

#include <QString>
#include <QStringList>

namespace vartemo {

// What the station backs up, by the four choices of the backup window: the
// configuration, the kart status, the two best-twenty tables and every file
// of the results folder (not its subfolders), as masks in the program folder.
struct BackupChoice {
    bool settings = true;
    bool kartStatus = true;
    bool bestTwenty = true;
    bool results = true;
};

QStringList BackupMasks(const QString& programFolder, const BackupChoice& choice = {});

} // namespace vartemo
