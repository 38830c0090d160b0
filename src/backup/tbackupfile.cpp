// Restoring, verifying and reading the header of an archive; the common
// state of the component. Writing an archive is in backupwriting.cpp.

#include "backup/tbackupfile.h"

#include "backup/archivestreams.h"
#include "backup/archivelimits.h"
#include "backup/chunkcodec.h"
#include "backup/dosdate.h"
#include "backup/partscommit.h"
#include "backup/restoredfiles.h"
#include "core/textfile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

namespace vartemo {

namespace {

// The part a part switch entry ("NEXT:DISK002") names; 0 when its digits are damaged.
int SwitchedPart(const QByteArray& name) {
    const QByteArray digits = name.mid(qsizetype(std::strlen(archive::kPartSwitch)));
    if (digits.size() != 3 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    return digits.toInt();
}

} // namespace

QString TBackupFile::ErrorText(int code) {
    switch (code) {
    case CannotReadFile: return QStringLiteral("Cannot read file");
    case CannotReadArchive: return QStringLiteral("Cannot read archive");
    case CannotWriteArchive: return QStringLiteral("Cannot write to archive");
    case InvalidArchive: return QStringLiteral("Invalid archive type");
    case CompressionError: return QStringLiteral("Compression error");
    case CannotCreateIdFile: return QStringLiteral("Cannot create temporary file to save the file IDs");
    default: return {};
    }
}

TBackupFile::TBackupFile() : TBackupFile(Hooks{}) {}

TBackupFile::TBackupFile(Hooks hooks)
    : hooks_(std::move(hooks)), inflater_(std::make_unique<ChunkInflater>()), inBuffer_(kChunkBytes, '\0'),
      outBuffer_(kChunkBytes, '\0') {}

TBackupFile::~TBackupFile() = default;

void TBackupFile::setBackupMode(TBackupMode mode) {
    BackupMode = mode;
    if (mode == TBackupMode::bmIncremental)
        SetArchiveFlag = true;
}

int TBackupFile::CompressionRatio() const {
    if (total_ <= 0)
        return 0;
    return int(100 - archiveBytes_ * 100 / total_);
}

QString TBackupFile::PartPath(const QString& archivePath, int part) {
    const QFileInfo info(archivePath);
    const QString digits = QStringLiteral("%1").arg(part % 1000, 3, 10, QLatin1Char('0'));
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot > 0 ? name.left(dot) : name;
    return info.dir().filePath(base + u'.' + digits);
}

bool TBackupFile::fail(int code) {
    if (error_ == NoError)
        error_ = code;
    continue_ = false;
    return false;
}

void TBackupFile::finish() {
    if (hooks_.progress)
        hooks_.progress(QString(), 100);
    busy_ = false;
    if (error_ != NoError && hooks_.showError)
        hooks_.showError(ErrorText(error_));
}

void TBackupFile::reportProgress(const QString& name, qint64 done) {
    if (!hooks_.progress)
        return;
    const qint64 percent = total_ > 0 ? qMin<qint64>(done * 100 / total_, 100) : 0;
    hooks_.progress(name, int(percent));
}

bool TBackupFile::RestoreArchive(const QString& archivePath, const QString& targetFolder) {
    return run(archivePath, targetFolder, Purpose::Restore);
}

bool TBackupFile::VerifyArchive(const QString& archivePath) {
    return run(archivePath, QString(), Purpose::Verify);
}

bool TBackupFile::readHeader(ArchiveReader& in, QString* title, qint32* total, qint32* count) {
    qint32 titleLength = 0;
    QByteArray titleBytes;
    if (!in.readInt32(&titleLength) || titleLength < 0 || titleLength > archive::kMaxNameBytes ||
        !in.readBytes(&titleBytes, titleLength) || !in.readInt32(total) || !in.readInt32(count))
        return false;
    *title = textfile::decode(titleBytes);
    return true;
}

bool TBackupFile::run(const QString& archivePath, const QString& targetFolder, Purpose purpose) {
    if (busy_)
        return false;
    partscommit::FinishInterrupted(archivePath);
    error_ = NoError;
    restored_ = 0;
    processed_ = 0;
    continue_ = true;
    if (!QFileInfo::exists(archivePath))
        return false;
    busy_ = true;
    ArchiveReader in;
    RestoredFiles files(targetFolder.isEmpty() ? QStringLiteral("/") : targetFolder);
    QString title;
    qint32 total = 0;
    qint32 count = 0;
    bool read = false;
    if (!in.open(archivePath) || !readHeader(in, &title, &total, &count)) {
        fail(CannotReadArchive);
    } else {
        total_ = qMax(total, 0);
        read = readEntries(in, archivePath, targetFolder, purpose, files);
    }
    in.close();
    bool ok = read && continue_ && error_ == NoError;
    if (ok && purpose == Purpose::Restore) {
        const int count = files.count();
        QString failed;
        if (files.commit(&failed))
            restored_ = count;
        else
            ok = fail(CannotReadFile);
    } else {
        files.rollback();
    }
    finish();
    return ok;
}

bool TBackupFile::readEntries(ArchiveReader& in, const QString& archivePath, const QString& targetFolder,
                              Purpose purpose, RestoredFiles& files) {
    // What happens to the content of the entry in progress when a part
    // switch continues it.
    BlockUse inProgress = BlockUse::Skip;
    int part = 1;
    for (;;) {
        if (!continue_)
            return false;
        qint32 length = 0;
        if (!in.readInt32(&length))
            return fail(InvalidArchive);
        if (length < 0)
            continue; // passed over; every read still needs its bytes
        if (length == 0)
            return true;
        QByteArray name;
        if (length > archive::kMaxNameBytes || !in.readBytes(&name, length))
            return fail(InvalidArchive);
        if (name.startsWith(archive::kPartSwitch)) {
            if (!switchPart(in, archivePath, name, ++part, inProgress, files))
                return false;
            continue;
        }
        qint32 date = 0;
        if (!in.readInt32(&date))
            return fail(InvalidArchive);
        if (name == kIdentityListName) {
            inProgress = purpose == Purpose::Verify ? BlockUse::Discard : BlockUse::Skip;
            if (!readBlock(in, inProgress, nullptr, QString()))
                return false;
            continue;
        }
        if (!IsSafeStoredName(name))
            return fail(InvalidArchive);
        const QString stored = textfile::decode(name);
        if (purpose == Purpose::Verify) {
            inProgress = BlockUse::Discard;
            if (!readBlock(in, inProgress, nullptr, stored))
                return false;
            continue;
        }
        const QFileInfo storedInfo(stored);
        QString relativeFolder; // below the target folder
        if (targetFolder.isEmpty() || RestoreFullPath)
            relativeFolder = storedInfo.path().mid(1);
        const QString root = targetFolder.isEmpty() ? QStringLiteral("/") : targetFolder;
        const QString target = QDir::cleanPath(root + u'/' + relativeFolder + u'/' + storedInfo.fileName());
        if (!decideToWrite(target, quint32(date))) {
            inProgress = BlockUse::Skip;
            if (!readBlock(in, inProgress, nullptr, QString()))
                return false;
            continue;
        }
        QString realFolder;
        if (!files.makeFolder(relativeFolder, &realFolder))
            return fail(CannotReadFile);
        const QString realTarget = QDir(realFolder).filePath(storedInfo.fileName());
        if (!files.start(realFolder, realTarget, quint32(date)))
            return fail(CannotReadFile);
        inProgress = BlockUse::Write;
        const bool ok = readBlock(in, inProgress, files.current(), realTarget);
        files.closeCurrent();
        if (!ok)
            return false;
    }
}

bool TBackupFile::switchPart(ArchiveReader& in, const QString& archivePath, const QByteArray& name, int disk,
                             BlockUse use, RestoredFiles& files) {
    // Parts follow each other: a switch back or past one is damage (and
    // a switch to the same part would never end).
    if (SwitchedPart(name) != disk)
        return fail(InvalidArchive);
    in.close();
    const QString partPath = PartPath(archivePath, disk);
    // Without a prompt the parts lie beside the first one.
    const auto ask = [&] {
        return hooks_.needDiskToRead ? hooks_.needDiskToRead(disk, partPath) : QFileInfo::exists(partPath);
    };
    bool go = ask();
    while (go && continue_ && !QFileInfo::exists(partPath))
        go = ask();
    if (!hooks_.needDiskToRead && !go)
        return fail(CannotReadArchive); // nobody to insert the missing part
    if (!go || !continue_) {
        continue_ = false;
        return false;
    }
    if (!in.open(partPath))
        return fail(CannotReadArchive);
    if (use != BlockUse::Write)
        return readBlock(in, use, nullptr, QString());
    if (!files.reopenCurrent())
        return fail(CannotReadFile);
    const bool ok = readBlock(in, use, files.current(), files.current()->fileName());
    files.closeCurrent();
    return ok;
}

bool TBackupFile::readBlock(ArchiveReader& in, BlockUse use, QIODevice* out, const QString& shownName,
                            qint64 maxBytes) {
    char marker[4];
    if (!in.readBytes(marker, 4) || std::memcmp(marker, archive::kBlockMarker, 4) != 0)
        return fail(InvalidArchive);
    qint64 blockBytes = 0;
    for (;;) {
        qint32 length = 0;
        if (!in.readInt32(&length))
            return fail(InvalidArchive);
        if (length == 0)
            return true;
        if (length < -kChunkBytes || length > kChunkBytes)
            return fail(InvalidArchive);
        const int n = length < 0 ? -length : length;
        if (use == BlockUse::Skip) {
            if (!in.skip(n))
                return fail(InvalidArchive);
            continue;
        }
        if (!in.readBytes(inBuffer_.data(), n))
            return fail(InvalidArchive);
        const char* content = inBuffer_.constData();
        int contentBytes = n;
        if (length > 0) {
            if (!inflater_->inflate(inBuffer_.constData(), n, outBuffer_.data(), &contentBytes))
                return fail(CompressionError);
            content = outBuffer_.constData();
        }
        blockBytes += contentBytes;
        if (maxBytes >= 0 && blockBytes > maxBytes)
            return fail(InvalidArchive);
        if (out && out->write(content, contentBytes) != contentBytes)
            return fail(CannotReadFile);
        processed_ += contentBytes;
        if (!shownName.isEmpty())
            reportProgress(shownName, processed_);
        if (!continue_)
            return false;
    }
}

bool TBackupFile::decideToWrite(const QString& target, quint32 archivedDate) const {
    struct stat st {};
    const bool exists = ::lstat(QFile::encodeName(target).constData(), &st) == 0;
    const quint32 existingDate =
        exists ? dosdate::FromMsecsSinceEpoch(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000) : 0;
    switch (RestoreMode) {
    case TRestoreMode::rmAll: return true;
    case TRestoreMode::rmNoOverwrite: return !exists;
    case TRestoreMode::rmNewer: return !exists || existingDate < archivedDate;
    case TRestoreMode::rmExisting: return exists;
    case TRestoreMode::rmExistingNewer: return exists && existingDate < archivedDate;
    }
    return false;
}

QString TBackupFile::GetArchiveInfo(const QString& archivePath, QStringList* identities) {
    headerTotal_ = 0;
    headerCount_ = 0;
    if (identities)
        identities->clear();
    if (busy_)
        return {};
    partscommit::FinishInterrupted(archivePath);
    if (!QFileInfo::exists(archivePath))
        return {};
    error_ = NoError;
    continue_ = true;
    const auto report = [this](int code) {
        error_ = code;
        if (hooks_.showError)
            hooks_.showError(ErrorText(code));
        return QString();
    };
    ArchiveReader in;
    if (!in.open(archivePath))
        return report(CannotReadArchive);
    QString title;
    qint32 total = 0;
    qint32 count = 0;
    if (!readHeader(in, &title, &total, &count))
        return report(InvalidArchive);
    headerTotal_ = total;
    headerCount_ = count;
    if (!identities)
        return title;
    qint32 length = 0;
    if (!in.readInt32(&length))
        return report(InvalidArchive);
    QByteArray name;
    if (length <= 0 || length > archive::kMaxNameBytes || !in.readBytes(&name, length) || name != kIdentityListName)
        return title;
    qint32 date = 0;
    QBuffer list;
    list.open(QIODevice::WriteOnly);
    if (!in.readInt32(&date) || !readBlock(in, BlockUse::Discard, &list, QString(), archive::kMaxIdentityBytes) ||
        !readListContinuation(in, archivePath, &list)) {
        report(error_ == NoError ? InvalidArchive : error_);
        return title;
    }
    *identities = textfile::splitLines(textfile::decode(list.data()));
    return title;
}

bool TBackupFile::readListContinuation(ArchiveReader& in, const QString& archivePath, QBuffer* list) {
    for (int part = 2;; ++part) {
        qint32 length = 0;
        QByteArray name;
        if (!in.readInt32(&length) || length <= 0 || length > archive::kMaxNameBytes ||
            !in.readBytes(&name, length) || !name.startsWith(archive::kPartSwitch))
            return true; // the list ended in this part
        // Only a part that lies beside this one: the content view asks for no disk.
        const QString partPath = PartPath(archivePath, part);
        if (SwitchedPart(name) != part || !QFileInfo::exists(partPath))
            return true;
        if (!in.open(partPath))
            return fail(CannotReadArchive);
        if (!readBlock(in, BlockUse::Discard, list, QString(), archive::kMaxIdentityBytes - list->size()))
            return false;
    }
}

} // namespace vartemo
