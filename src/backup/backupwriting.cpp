// Writing an archive: choosing the files, the header, the entries, the
// chunks and the parts. Nothing replaces the existing archive until the new
// one is complete, and the archive attributes are cleared only then.

#include "backup/archiveflags.h"
#include "backup/archivelimits.h"
#include "backup/archivestreams.h"
#include "backup/chunkcodec.h"
#include "backup/dosdate.h"
#include "backup/fileselection.h"
#include "backup/partscommit.h"
#include "backup/tbackupfile.h"
#include "core/textfile.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <limits>
#include <memory>
#include <sys/stat.h>
#include <zlib.h>

namespace vartemo {

namespace {

int ZlibLevel(TCompressionLevel level) {
    switch (level) {
    case TCompressionLevel::clFastest: return 1;
    case TCompressionLevel::clNone: return 0;
    case TCompressionLevel::clDefault: return Z_DEFAULT_COMPRESSION;
    case TCompressionLevel::clMax: return 9;
    }
    return Z_DEFAULT_COMPRESSION;
}

// The canonical form of a path whose file need not exist yet.
QString CanonicalOf(const QString& path) {
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : QDir(folder).filePath(info.fileName());
}

qint64 ReadFull(QIODevice& source, char* data, qint64 n) {
    qint64 got = 0;
    while (got < n) {
        const qint64 r = source.read(data + got, n - got);
        if (r < 0)
            return -1;
        if (r == 0)
            break;
        got += r;
    }
    return got;
}

} // namespace

class TBackupFile::Writing {
public:
    Writing(TBackupFile& owner, const QString& archivePath)
        : owner_(owner), archive_(CanonicalOf(archivePath)), deflater_(ZlibLevel(owner.CompressionLevel)),
          chunk_(kChunkBytes, '\0'), packed_(kChunkBytes, '\0') {
        const QFileInfo info(archive_);
        const QString name = info.fileName();
        const qsizetype dot = name.lastIndexOf(u'.');
        partPattern_ = QRegularExpression(QRegularExpression::anchoredPattern(
            QRegularExpression::escape(info.dir().filePath(dot > 0 ? name.left(dot) : name)) +
            QStringLiteral("\\.[0-9]{3}(\\.~tmp)?")));
    }

    bool run(const QStringList& masks);

private:
    struct Item {
        QString path;
        QByteArray name;
    };

    bool isArchiveFile(const QString& canonical) const;
    bool choose(const QStringList& masks);
    bool writeEntry(const QByteArray& name, quint32 date, QIODevice& source, const QString& shownName);
    // Writes one data block; true when bytes of the source remain for the next part.
    bool writeBlock(QIODevice& source, const QString& shownName, bool* remaining);
    bool switchPart();
    // Every part renamed over its older self, then the parts of an older,
    // longer archive of the same name removed.
    bool commitParts();
    bool fail(int code) { return owner_.fail(code); }

    TBackupFile& owner_;
    const QString archive_;
    QRegularExpression partPattern_;
    ChunkDeflater deflater_;
    std::unique_ptr<ArchiveWriter> out_ = std::make_unique<ArchiveWriter>();
    // Complete parts that wait for the last one (parts written in one place).
    std::vector<std::unique_ptr<ArchiveWriter>> finished_;
    int part_ = 1;
    std::vector<Item> items_;
    QStringList identityLines_;
    std::vector<ArchiveFlags::Stamp> archived_;
    QByteArray chunk_;
    QByteArray packed_;
};

bool TBackupFile::Writing::isArchiveFile(const QString& canonical) const {
    return canonical == archive_ || canonical == ArchiveWriter::TemporaryPathOf(archive_) ||
           (owner_.MaxSize > 0 && partPattern_.match(canonical).hasMatch());
}

bool TBackupFile::Writing::choose(const QStringList& masks) {
    const ArchiveFlags flags(owner_.ArchiveFlagFile);
    const bool incremental = owner_.BackupMode == TBackupMode::bmIncremental;
    const QStringList paths = SelectFiles(masks, [this](const QString& c) { return isArchiveFile(c); });
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (!info.exists())
            continue;
        const ArchiveFlags::Stamp stamp{path, info.lastModified().toMSecsSinceEpoch(), info.size()};
        if (incremental && !flags.isSet(stamp))
            continue;
        // A name the code page cannot hold would come back as another file.
        const QByteArray name = textfile::encode(path);
        if (textfile::decode(name) != path || name.size() > archive::kMaxNameBytes)
            return fail(CannotReadFile);
        items_.push_back({path, name});
        owner_.total_ += stamp.size;
        // One pass: a "%2" in the path stays what it is.
        identityLines_ << QStringLiteral("%1\t%2=%3")
                              .arg(path, dosdate::ToText(dosdate::FromMsecsSinceEpoch(stamp.mtimeMs)),
                                   QString::number(stamp.size));
    }
    return true;
}

bool TBackupFile::Writing::run(const QStringList& masks) {
    if (owner_.hooks_.progress)
        owner_.hooks_.progress(QString(), 0);
    if (!choose(masks))
        return false;
    QByteArray identities;
    if (owner_.SaveFileID) {
        identities = textfile::encode(textfile::joinLines(identityLines_));
        owner_.total_ += identities.size();
    }
    if (!out_->open(archive_))
        return fail(CannotWriteArchive);
    const QByteArray title = textfile::encode(owner_.BackupTitle).left(archive::kMaxNameBytes);
    const qint64 headerTotal = qMin<qint64>(owner_.total_, std::numeric_limits<qint32>::max());
    if (!out_->writeInt32(qint32(title.size())) || !out_->writeBytes(title) || !out_->writeInt32(qint32(headerTotal)) ||
        !out_->writeInt32(qint32(items_.size())))
        return fail(CannotWriteArchive);

    if (owner_.SaveFileID) {
        QBuffer list(&identities);
        list.open(QIODevice::ReadOnly);
        const quint32 now = dosdate::FromDateTime(QDateTime::currentDateTime());
        if (!writeEntry(kIdentityListName, now, list, QString::fromLatin1(kIdentityListName)))
            return false;
    }
    for (const Item& item : items_) {
        QFile file(item.path);
        // Gone since the selection: left out, as if it had not been chosen.
        if (!file.exists())
            continue;
        struct stat st {};
        if (!file.open(QIODevice::ReadOnly) || ::fstat(file.handle(), &st) != 0)
            return fail(CannotReadFile);
        const qint64 mtimeMs = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
        if (!writeEntry(item.name, dosdate::FromMsecsSinceEpoch(mtimeMs), file, item.path))
            return false;
        archived_.push_back({item.path, mtimeMs, qint64(st.st_size)});
    }
    if (!out_->writeInt32(0) || !commitParts())
        return fail(CannotWriteArchive);
    // Only a complete archive clears the attributes of what it holds.
    if (owner_.SetArchiveFlag)
        ArchiveFlags(owner_.ArchiveFlagFile).clear(archived_);
    return true;
}

bool TBackupFile::Writing::writeEntry(const QByteArray& name, quint32 date, QIODevice& source,
                                      const QString& shownName) {
    if (!out_->writeInt32(qint32(name.size())) || !out_->writeBytes(name) || !out_->writeInt32(qint32(date)))
        return fail(CannotWriteArchive);
    for (;;) {
        bool remaining = false;
        if (!writeBlock(source, shownName, &remaining))
            return false;
        if (!remaining)
            return true;
        if (!switchPart())
            return false;
    }
}

bool TBackupFile::Writing::writeBlock(QIODevice& source, const QString& shownName, bool* remaining) {
    if (!out_->writeBytes(archive::kBlockMarker, 4))
        return fail(CannotWriteArchive);
    owner_.archiveBytes_ += 4;
    // Every part holds at least one chunk, however small its size.
    const qint64 limit = owner_.MaxSize > 0 ? qMax<qint64>(owner_.MaxSize - archive::kPartReserve, 1) : 0;
    bool atEnd = source.atEnd();
    while (!atEnd && (limit == 0 || out_->position() < limit)) {
        const qint64 n = ReadFull(source, chunk_.data(), kChunkBytes);
        if (n < 0)
            return fail(CannotReadFile);
        atEnd = n < kChunkBytes || source.atEnd();
        if (n == 0)
            break;
        int packedBytes = 0;
        switch (deflater_.compress(chunk_.constData(), int(n), packed_.data(), &packedBytes)) {
        case ChunkDeflater::Result::Compressed:
            if (!out_->writeInt32(packedBytes) || !out_->writeBytes(packed_.constData(), packedBytes))
                return fail(CannotWriteArchive);
            owner_.archiveBytes_ += packedBytes + 4;
            break;
        case ChunkDeflater::Result::TooLarge:
            if (!out_->writeInt32(qint32(-n)) || !out_->writeBytes(chunk_.constData(), n))
                return fail(CannotWriteArchive);
            owner_.archiveBytes_ += n + 4;
            break;
        case ChunkDeflater::Result::Error:
            return fail(CompressionError);
        }
        owner_.processed_ += n;
        owner_.reportProgress(shownName, owner_.processed_);
        if (!owner_.continue_)
            return false;
    }
    if (!out_->writeInt32(0))
        return fail(CannotWriteArchive);
    *remaining = !atEnd;
    return true;
}

bool TBackupFile::Writing::switchPart() {
    if (++part_ > archive::kMaxPart)
        return fail(CannotWriteArchive);
    const QByteArray name = archive::kPartSwitch + QByteArray::number(part_).rightJustified(3, '0');
    if (!out_->writeInt32(qint32(name.size())) || !out_->writeBytes(name))
        return fail(CannotWriteArchive);
    const QString next = PartPath(archive_, part_);
    if (owner_.hooks_.needDiskToWrite) {
        // A removable medium: the full disk is complete before it comes out.
        if (!out_->commit())
            return fail(CannotWriteArchive);
        if (!owner_.hooks_.needDiskToWrite(part_, next)) {
            owner_.continue_ = false;
            return false;
        }
    } else {
        if (!out_->finish())
            return fail(CannotWriteArchive);
        finished_.push_back(std::move(out_));
    }
    out_ = std::make_unique<ArchiveWriter>();
    if (!out_->open(next))
        return fail(CannotWriteArchive);
    return true;
}

bool TBackupFile::Writing::commitParts() {
    if (owner_.hooks_.needDiskToWrite)
        return out_->commit(); // the disks before it are committed and out
    // Several parts: the note first, so that a crash between two renames is
    // finished by whoever opens the archive next.
    const bool several = !finished_.empty();
    if (!out_->finish() || (several && !partscommit::Begin(archive_, part_)))
        return false;
    for (const auto& part : finished_)
        if (!part->commit())
            return false;
    if (!out_->commit())
        return false;
    partscommit::RemovePartsAfter(archive_, part_);
    if (several)
        partscommit::End(archive_);
    return true;
}

bool TBackupFile::BackupFiles(const QStringList& masks, const QString& archivePath) {
    if (busy_)
        return false;
    busy_ = true;
    error_ = NoError;
    continue_ = true;
    total_ = 0;
    processed_ = 0;
    archiveBytes_ = 0;
    partscommit::FinishInterrupted(archivePath); // before its temporaries are written anew
    const bool ok = Writing(*this, archivePath).run(masks) && continue_ && error_ == NoError;
    finish();
    return ok;
}

} // namespace vartemo
