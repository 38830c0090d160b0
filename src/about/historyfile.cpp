#include "about/historyfile.h"

#include "core/textfile.h"

#include <QDir>
#include <QFile>

namespace vartemo {

QString ReadHistory(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return textfile::splitLines(textfile::decode(file.read(kMaxHistoryBytes))).join(u'\n');
}

bool EnsureHistoryFile(const QString& programFolder, QString* error) {
    const QString path = QDir(programFolder).filePath(QStringLiteral("Historie.txt"));
    if (QFile::exists(path))
        return true;
    QFile shipped(QStringLiteral(":/about/Historie.txt"));
    if (!shipped.open(QIODevice::ReadOnly)) {
        if (error)
            *error = shipped.errorString();
        return false;
    }
    return textfile::writeLines(path, textfile::splitLines(QString::fromUtf8(shipped.readAll())), error);
}

} // namespace vartemo
