#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace vartemo {

// The archive's integers are 32-bit signed little-endian; every read gets
// all of its bytes or fails, so a cut archive ends in an error, never in a
// loop or a short value.
class ArchiveReader {
public:
    bool open(const QString& path);
    void close() { file_.close(); }

    bool readInt32(qint32* value);
    bool readBytes(char* data, qint64 n);
    bool readBytes(QByteArray* data, qint64 n);
    // Moves past n bytes that must be there.
    bool skip(qint64 n);

private:
    QFile file_;
    qint64 size_ = 0;
};

// One part file of an archive being written: the bytes go to a temporary
// file beside the part, which replaces the part only when it is complete,
// so a failed or stopped backup leaves the last good archive as it was.
class ArchiveWriter {
public:
    ~ArchiveWriter();

    static QString TemporaryPathOf(const QString& partPath);

    bool open(const QString& partPath);
    bool writeInt32(qint32 value);
    bool writeBytes(const char* data, qint64 n);
    bool writeBytes(const QByteArray& data) { return writeBytes(data.constData(), data.size()); }
    // Bytes written into this part so far.
    qint64 position() const { return position_; }
    // Flushed to the disk and closed; the temporary file waits for commit.
    bool finish();
    // Finished, then renamed over the part.
    bool commit();
    // Drops the temporary file; the part stays as it was.
    void discard();

private:
    QFile file_;
    QString partPath_;
    qint64 position_ = 0;
    bool pending_ = false; // the temporary file exists and is not renamed yet
};

} // namespace vartemo
