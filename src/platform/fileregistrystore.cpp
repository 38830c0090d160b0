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

bool isRunKey(const QString& path) {
    return path.compare(FileRegistryStore::kRunKey, Qt::CaseInsensitive) == 0;
}

bool isLauncherName(const QString& name) {
    return isValidName(name) && !name.contains(u'/') && name != u"." && name != u"..";
}

} // namespace

const QString FileRegistryStore::kRunKey =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");

FileRegistryStore::FileRegistryStore(QString registryFile, QString autostartFolder)
    : registryFile_(std::move(registryFile)), autostartFolder_(std::move(autostartFolder)) {}

namespace {
QDir userConfigFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}
} // namespace

FileRegistryStore::FileRegistryStore()
    : FileRegistryStore(userConfigFolder().filePath(QStringLiteral("vartemo_kestral/registry.ini")),
                        userConfigFolder().filePath(QStringLiteral("autostart"))) {}

QString FileRegistryStore::launcherPath(const QString& name) const {
    return QDir(autostartFolder_).filePath(name + QStringLiteral(".desktop"));
}

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
    if (isRunKey(normalisedPath(keyPath))) {
        if (!isLauncherName(name))
            return std::nullopt;
        QFile file(launcherPath(name));
        if (!file.open(QIODevice::ReadOnly))
            return std::nullopt;
        // Launchers are UTF-8 text by the desktop's rules.
        const QStringList lines = textfile::splitLines(QString::fromUtf8(file.read(64 * 1024)));
        for (const QString& line : lines)
            if (line.startsWith(QLatin1String("Exec=")))
                return line.mid(5);
        return std::nullopt;
    }
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
    if (isRunKey(normalisedPath(keyPath))) {
        if (!isLauncherName(name) || !QDir().mkpath(autostartFolder_))
            return false;
        const QString launcher = QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\n"
                                                "Exec=%2\nX-GNOME-Autostart-enabled=true\n")
                                     .arg(name, value);
        return writeFileAtomically(launcherPath(name), launcher.toUtf8());
    }
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
    if (isRunKey(normalisedPath(keyPath)))
        return false; // the autostart folder holds launchers only
    return writeRaw(keyPath, name, kBinaryPrefix + QString::fromLatin1(value.toHex(',')));
}

bool FileRegistryStore::deleteValue(const QString& keyPath, const QString& name) {
    const QString path = normalisedPath(keyPath);
    if (isRunKey(path))
        return isLauncherName(name) && QFile::remove(launcherPath(name));
    if (!isValidPath(path) || !isValidName(name))
        return false;
    QMutexLocker lock(&mutex_);
    IniFile ini = IniFile::fromFile(registryFile_);
    return ini.deleteKey(path, name) && ini.save(registryFile_);
}

} // namespace vartemo
