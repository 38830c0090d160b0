#include "core/programfolder.h"

#include <QDir>
#include <QStandardPaths>

namespace vartemo {

ProgramFolder::ProgramFolder(QString root) : root_(QDir(root).absolutePath()) {}

QString ProgramFolder::resolve(const QString& homeOption) {
    if (!homeOption.isEmpty())
        return homeOption;
    const QString env = qEnvironmentVariable("VARTEMO_HOME");
    if (!env.isEmpty())
        return env;
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/vartemo");
}

QString ProgramFolder::path(const QString& relative) const {
    return QDir(root_).filePath(relative);
}

bool ProgramFolder::ensure(QString* error) const {
    QDir dir;
    for (const QString& folder : {root_, resultsFolder()}) {
        if (!dir.mkpath(folder)) {
            if (error)
                *error = QStringLiteral("Nelze vytvořit složku %1").arg(folder);
            return false;
        }
    }
    return true;
}

} // namespace vartemo
