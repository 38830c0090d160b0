#include "platform/fileregistrystore.h"

#include "config/inifile.h"
#include "core/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QStandardPaths>

namespace vartemo {

namespace {

const QString kTextPrefix = QStringLiteral("sz:");
const QString kBinaryPrefix = QStringLiteral("hex:");

// "\Software\x\" and "Software\x" are the same key.
QString normalisedPath(const QString& keyPath) {
    QString path = keyPath.trimmed();
    while (path.startsWith(u'\\'))
        path.remove(0, 1);
    while (path.endsWith(u'\\'))
        path.chop(1);
    return path;
}

bool isValidPath(const QString& path) {
    return !path.isEmpty() && !path.contains(u']') && !path.contains(u'\n') &&
           !path.contains(u'\r');
}

bool isValidName(const QString& name) {
    const QString t = name.trimmed();
    return !t.isEmpty() && t == name && !t.contains(u'=') && !t.startsWith(u'[') &&
           !t.startsWith(u';') && !t.contains(u'\n') && !t.contains(u'\r');
}

} // namespace

FileRegistryStore::FileRegistryStore(QString registryFile) : registryFile_(std::move(registryFile)) {}

namespace {
QDir userConfigFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}
} // namespace

FileRegistryStore::FileRegistryStore()
    : FileRegistryStore(userConfigFolder().filePath(QStringLiteral("vartemo_kestral/registry.ini"))) {}

std::optional<QString> FileRegistryStore::rawValue(const QString& keyPath,
                                                   const QString& name) const {
    const QString path = normalisedPath(keyPath);
    if (!isValidPath(path) || !isValidName(name))
        return std::nullopt;
    QMutexLocker lock(&mutex_);
    return IniFile::fromFile(registryFile_).value(path, name);
}

bool FileRegistryStore::writeRaw(const QString& keyPath, const QString& name, const QString& raw) {
    const QString path = normalisedPath(keyPath);
    if (!isValidPath(path) || !isValidName(name))
        return false;
    QMutexLocker lock(&mutex_);
    QDir().mkpath(QFileInfo(registryFile_).absolutePath());
    IniFile ini = IniFile::fromFile(registryFile_);
    ini.writeString(path, name, raw);
    return ini.save(registryFile_);
}

std::optional<QString> FileRegistryStore::readString(const QString& keyPath,
                                                     const QString& name) const {
    const auto raw = rawValue(keyPath, name);
    if (!raw || !raw->startsWith(kTextPrefix))
        return std::nullopt;
    QString text = raw->mid(kTextPrefix.size());
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        text = text.mid(1, text.size() - 2);
    return text;
}

bool FileRegistryStore::writeString(const QString& keyPath, const QString& name,
                                    const QString& value) {
    if (value.contains(u'\n') || value.contains(u'\r'))
        return false; // one value is one line
    return writeRaw(keyPath, name, kTextPrefix + u'"' + value + u'"');
}

std::optional<QByteArray> FileRegistryStore::readBinary(const QString& keyPath,
                                                        const QString& name) const {
    const auto raw = rawValue(keyPath, name);
    if (!raw || !raw->startsWith(kBinaryPrefix))
        return std::nullopt;
    const QString hex = raw->mid(kBinaryPrefix.size());
    QByteArray bytes;
    if (hex.isEmpty())
        return bytes;
    for (const QString& part : hex.split(u',')) {
        bool ok = false;
        const uint byte = part.trimmed().toUInt(&ok, 16);
        if (!ok || byte > 0xFF || part.trimmed().size() > 2)
            return std::nullopt; // damaged: as if the value were missing
        bytes.append(static_cast<char>(byte));
    }
    return bytes;
}

bool FileRegistryStore::writeBinary(const QString& keyPath, const QString& name,
                                    const QByteArray& value) {
    return writeRaw(keyPath, name, kBinaryPrefix + QString::fromLatin1(value.toHex(',')));
}

bool FileRegistryStore::deleteValue(const QString& keyPath, const QString& name) {
    const QString path = normalisedPath(keyPath);
    if (!isValidPath(path) || !isValidName(name))
        return false;
    QMutexLocker lock(&mutex_);
    IniFile ini = IniFile::fromFile(registryFile_);
    return ini.deleteKey(path, name) && ini.save(registryFile_);
}

} // namespace vartemo
