#include "backup/partscommit.h"

#include "backup/archivelimits.h"
#include "backup/archivestreams.h"
#include "backup/tbackupfile.h"
#include "core/textfile.h"

#include <QFile>
#include <cstdio>
#include <cstring>

namespace vartemo::partscommit {

QString NotePath(const QString& archivePath) {
    return archivePath + QStringLiteral(".~commit");
}

bool Begin(const QString& archivePath, int parts) {
    return writeFileAtomically(NotePath(archivePath), QByteArray::number(parts));
}

void End(const QString& archivePath) {
    QFile::remove(NotePath(archivePath));
}

void RemovePartsAfter(const QString& archivePath, int lastPart) {
    for (int part = lastPart + 1; part <= archive::kMaxPart; ++part) {
        const QString path = TBackupFile::PartPath(archivePath, part);
        const bool leftTemporary = QFile::remove(ArchiveWriter::TemporaryPathOf(path));
        QFile file(path);
        // Only what begins as a continued part does: a data block.
        char head[4] = {};
        const bool isPart = file.open(QIODevice::ReadOnly) && file.read(head, 4) == 4 &&
                            std::memcmp(head, archive::kBlockMarker, 4) == 0;
        file.close();
        if (isPart)
            file.remove();
        else if (!leftTemporary)
            return;
    }
}

void FinishInterrupted(const QString& archivePath) {
    QFile note(NotePath(archivePath));
    if (!note.open(QIODevice::ReadOnly))
        return;
    bool ok = false;
    const int parts = note.read(8).trimmed().toInt(&ok);
    note.close();
    if (!ok || parts < 1 || parts > archive::kMaxPart)
        return;
    for (int part = 1; part <= parts; ++part) {
        const QString path = part == 1 ? archivePath : TBackupFile::PartPath(archivePath, part);
        const QString temporary = ArchiveWriter::TemporaryPathOf(path);
        if (QFile::exists(temporary) &&
            std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0)
            return; // a medium that cannot be written: read as it is
    }
    RemovePartsAfter(archivePath, parts);
    End(archivePath);
}

} // namespace vartemo::partscommit
