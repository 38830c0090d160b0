// libFuzzer target: any bytes as a backup archive must give the header or
// an error, verify or fail, and restore completely or leave the folder
// empty, without crashing, reading out of bounds or allocating without limit.
#include "backup/tbackupfile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vartemo;
    static QTemporaryDir work;
    const QString archive = work.filePath(QStringLiteral("fuzz.bck"));
    {
        QFile f(archive);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            __builtin_trap();
        f.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    // No further parts: a switch stops the operation.
    TBackupFile backup(TBackupFile::Hooks{.needDiskToRead = [](int, const QString&) { return false; }});
    QStringList identities;
    backup.GetArchiveInfo(archive, &identities);
    backup.VerifyArchive(archive);

    QDir target(work.filePath(QStringLiteral("target")));
    target.removeRecursively();
    backup.RestoreFullPath = size % 2 == 0;
    const bool restored = backup.RestoreArchive(archive, target.path());
    // All or nothing: a failed restore leaves no file behind.
    QDirIterator it(target.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    if (it.hasNext() && !restored)
        __builtin_trap();
    return 0;
}
