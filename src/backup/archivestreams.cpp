#include "backup/archivestreams.h"

#include <QtEndian>

#include <cstdio>
#include <unistd.h>

namespace vartemo {

bool ArchiveReader::open(const QString& path) {
    file_.close();
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly))
        return false;
    size_ = file_.size();
    return true;
}

bool ArchiveReader::readInt32(qint32* value) {
    char bytes[4];
    if (!readBytes(bytes, 4))
        return false;
    *value = qFromLittleEndian<qint32>(bytes);
    return true;
}

bool ArchiveReader::readBytes(char* data, qint64 n) {
    return n >= 0 && file_.read(data, n) == n;
}

bool ArchiveReader::readBytes(QByteArray* data, qint64 n) {
    // Bounded by what the file still holds: a length never allocates more.
    if (n < 0 || n > size_ - file_.pos())
        return false;
    data->resize(n);
    return readBytes(data->data(), n);
}

bool ArchiveReader::skip(qint64 n) {
    const qint64 to = file_.pos() + n;
    return n >= 0 && to <= size_ && file_.seek(to);
}

ArchiveWriter::~ArchiveWriter() {
    discard();
}

QString ArchiveWriter::TemporaryPathOf(const QString& partPath) {
    return partPath + QStringLiteral(".~tmp");
}

bool ArchiveWriter::open(const QString& partPath) {
    discard();
    partPath_ = partPath;
    position_ = 0;
    file_.setFileName(TemporaryPathOf(partPath));
    pending_ = file_.open(QIODevice::WriteOnly | QIODevice::Truncate);
    return pending_;
}

bool ArchiveWriter::writeInt32(qint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    return writeBytes(bytes, 4);
}

bool ArchiveWriter::writeBytes(const char* data, qint64 n) {
    if (file_.write(data, n) != n)
        return false;
    position_ += n;
    return true;
}

bool ArchiveWriter::finish() {
    if (!pending_)
        return false;
    if (!file_.isOpen())
        return true;
    const bool flushed = file_.flush() && ::fsync(file_.handle()) == 0;
    file_.close();
    return flushed && file_.error() == QFileDevice::NoError;
}

bool ArchiveWriter::commit() {
    if (!finish())
        return false;
    pending_ = false;
    if (std::rename(QFile::encodeName(file_.fileName()).constData(),
                    QFile::encodeName(partPath_).constData()) != 0) {
        QFile::remove(file_.fileName());
        return false;
    }
    return true;
}

void ArchiveWriter::discard() {
    if (!pending_)
        return;
    pending_ = false;
    file_.close();
    QFile::remove(file_.fileName());
}

} // namespace vartemo
