#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QBuffer;
class QIODevice;

namespace vartemo {

class ArchiveReader;
class ChunkInflater;
class RestoredFiles;

enum class TBackupMode { bmAll, bmIncremental };
enum class TCompressionLevel { clFastest, clNone, clDefault, clMax };
enum class TRestoreMode { rmAll, rmNoOverwrite, rmNewer, rmExisting, rmExistingNewer };

// The backup archive's writer and reader: packs files into one compressed
// archive (optionally in parts for a removable medium) and restores them.
// Its owner sets the properties, then calls an operation; messages, the
// next-disk prompt and the progress go through hooks, so a window shows them
// and a command-line tool prints them.
class TBackupFile {
public:
    struct Hooks {
        // An error message at the end of an operation.
        std::function<void(const QString& message)> showError = {};
        // "Please insert disk N" before part N of an archive is read from
        // partPath: true to go on, false to stop. Without this hook the
        // parts are read from beside the first one, without asking.
        std::function<bool(int disk, const QString& partPath)> needDiskToRead = {};
        // "Please insert disk N" before part N of an archive is written, the
        // parts before it complete: true to create it at partPath, false to
        // stop. Without this hook the parts are created beside the first
        // one, and they replace an older archive's parts together, once the
        // whole archive is complete.
        std::function<bool(int disk, const QString& partPath)> needDiskToWrite = {};
        // After every chunk; a window processes its events here, which is
        // where StopOperation can come in.
        std::function<void(const QString& fileName, int percent)> progress = {};
    };

    enum Error {
        NoError = 0,
        CannotReadFile = 1,
        CannotReadArchive = 3,
        CannotWriteArchive = 4,
        InvalidArchive = 5,
        CompressionError = 6,
        CannotCreateIdFile = 7,
    };
    static QString ErrorText(int code);

    // Part size for a removable medium.
    static constexpr qint64 kRemovablePartSize = 1400000;
    static constexpr const char* kIdentityListName = "FILE:LIST";

    TBackupFile();
    explicit TBackupFile(Hooks hooks);
    ~TBackupFile();
    TBackupFile(const TBackupFile&) = delete;
    TBackupFile& operator=(const TBackupFile&) = delete;

    static QString Version() { return QStringLiteral("5.00"); }

    QString BackupTitle;
    TBackupMode BackupMode = TBackupMode::bmAll;
    TCompressionLevel CompressionLevel = TCompressionLevel::clDefault;
    qint64 MaxSize = 0;
    bool SetArchiveFlag = true;
    bool SaveFileID = true;
    TRestoreMode RestoreMode = TRestoreMode::rmAll;
    bool RestoreFullPath = false;
    // Where the archive attributes are recorded (the program folder's
    // ArchiveFlags::kFileName); empty: every file counts as changed.
    QString ArchiveFlagFile;

    void setBackupMode(TBackupMode mode);

    bool BackupFiles(const QStringList& masks, const QString& archivePath);
    // targetFolder empty: every file to its stored path.
    bool RestoreArchive(const QString& archivePath, const QString& targetFolder);
    // Decodes every block of every part and writes nothing.
    bool VerifyArchive(const QString& archivePath);
    // The title (empty when the archive is missing or unreadable); fills
    // identities with the identity list's lines when the archive has one.
    // ErrorCode() tells a damaged archive from one with an empty title.
    QString GetArchiveInfo(const QString& archivePath, QStringList* identities);
    // Of the header read by GetArchiveInfo.
    qint64 TotalSize() const { return headerTotal_; }
    int FileCount() const { return headerCount_; }

    // 100 - archive bytes * 100 / total after BackupFiles; 0 for a total of 0.
    int CompressionRatio() const;
    bool IsBusy() const { return busy_; }
    void StopOperation() { continue_ = false; }
    int ErrorCode() const { return error_; }
    int RestoredCount() const { return restored_; }

    // The file name of part number (2, 3, ...) of an archive.
    static QString PartPath(const QString& archivePath, int part);

private:
    class Writing;
    enum class Purpose { Restore, Verify };
    enum class BlockUse { Write, Discard, Skip };

    bool run(const QString& archivePath, const QString& targetFolder, Purpose purpose);
    bool readEntries(ArchiveReader& in, const QString& archivePath, const QString& targetFolder, Purpose purpose,
                     RestoredFiles& files);
    // Goes on in part number disk, the next one.
    bool switchPart(ArchiveReader& in, const QString& archivePath, const QByteArray& name, int disk, BlockUse use,
                    RestoredFiles& files);
    // Decodes (or skips) one data block into out; progress under shownName
    // unless empty; more than maxBytes of content (when >= 0) is damage.
    bool readBlock(ArchiveReader& in, BlockUse use, QIODevice* out, const QString& shownName,
                   qint64 maxBytes = -1);
    // The rest of an identity list that crosses into the next parts, when
    // they lie beside the first.
    bool readListContinuation(ArchiveReader& in, const QString& archivePath, QBuffer* list);
    static bool readHeader(ArchiveReader& in, QString* title, qint32* total, qint32* count);
    bool decideToWrite(const QString& target, quint32 archivedDate) const;
    // Records the first error, stops the operation; always false.
    bool fail(int code);
    void finish();
    void reportProgress(const QString& name, qint64 done);

    Hooks hooks_;
    std::unique_ptr<ChunkInflater> inflater_;
    QByteArray inBuffer_;
    QByteArray outBuffer_;
    bool busy_ = false;
    bool continue_ = false;
    int error_ = NoError;
    int restored_ = 0;
    qint64 total_ = 0;
    qint64 processed_ = 0;
    qint64 archiveBytes_ = 0;
    qint64 headerTotal_ = 0;
    int headerCount_ = 0;
};

} // namespace vartemo
