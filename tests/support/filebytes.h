#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace vartemo::testing {

// A file's bytes as they are on disk; empty when it cannot be read.
inline QByteArray ReadFileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Replaces the file with exactly these bytes; false when it cannot be written.
inline bool WriteFileBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace vartemo::testing
