// An archive written by the station's backup while the backing-up process
// is SIGKILLed at random moments: each kill leaves the archive of the last
// finished backup or of the one in progress, every part of it, read back
// whole. In one file, and in parts written beside each other.

#include "archivetestkit.h"
#include "backup/tbackupfile.h"
#include "support/killcampaign.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;
using namespace archivetest;

namespace {

// Generation n backs up two files whose sizes change with n, so that an
// archive in parts of 20000 bytes has two to four of them.
QByteArray Source(long n, int file) {
    return Noise(qsizetype(9000 + (n * 7919 + file * 104729) % 30000), quint32(n * 2 + file));
}

QString SourceFolder(const QString& archive) {
    return QFileInfo(archive).absolutePath() + QStringLiteral("/../zdroj");
}

killcampaign::Writer BackUp(qint64 partSize) {
    return [partSize](const QString& archive, long n) {
        const QString folder = SourceFolder(archive);
        for (int file = 0; file < 2; ++file)
            WriteFile(QStringLiteral("%1/soubor%2").arg(folder).arg(file), Source(n, file));
        TBackupFile backup;
        backup.MaxSize = partSize;
        backup.BackupFiles({folder + QStringLiteral("/*.*")}, archive);
    };
}

// The archive restores exactly the files of generation n.
bool Holds(const QString& archive, long n) {
    QTemporaryDir into;
    TBackupFile reader;
    if (!reader.RestoreArchive(archive, into.path()))
        return false;
    const QDir restored(into.path());
    if (restored.entryList(QDir::Files).size() != 2)
        return false;
    for (int file = 0; file < 2; ++file)
        if (ReadFile(restored.filePath(QStringLiteral("soubor%1").arg(file))) != Source(n, file))
            return false;
    return true;
}

} // namespace

TEST(KillCampaign, ArchiveInOneFile) {
    killcampaign::ExpectWholeAfterEveryKill(QStringLiteral("zaloha.bck"), BackUp(0), Holds);
}

TEST(KillCampaign, ArchiveInPartsBesideEachOther) {
    killcampaign::ExpectWholeAfterEveryKill(QStringLiteral("zaloha.bck"), BackUp(20000), Holds);
}
