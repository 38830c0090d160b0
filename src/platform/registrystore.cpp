#include "platform/registrystore.h"

namespace vartemo {

QString MemoryRegistryStore::key(const QString& keyPath, const QString& name) {
    return (keyPath + u'|' + name).toLower();
}

std::optional<QString> MemoryRegistryStore::readString(const QString& keyPath,
                                                       const QString& name) const {
    const auto it = strings_.constFind(key(keyPath, name));
    return it == strings_.cend() ? std::nullopt : std::optional<QString>(*it);
}

bool MemoryRegistryStore::writeString(const QString& keyPath, const QString& name,
                                      const QString& value) {
    binaries_.remove(key(keyPath, name));
    strings_.insert(key(keyPath, name), value);
    return true;
}

std::optional<QByteArray> MemoryRegistryStore::readBinary(const QString& keyPath,
                                                          const QString& name) const {
    const auto it = binaries_.constFind(key(keyPath, name));
    return it == binaries_.cend() ? std::nullopt : std::optional<QByteArray>(*it);
}

bool MemoryRegistryStore::writeBinary(const QString& keyPath, const QString& name,
                                      const QByteArray& value) {
    strings_.remove(key(keyPath, name));
    binaries_.insert(key(keyPath, name), value);
    return true;
}

bool MemoryRegistryStore::deleteValue(const QString& keyPath, const QString& name) {
    return strings_.remove(key(keyPath, name)) + binaries_.remove(key(keyPath, name)) > 0;
}

} // namespace vartemo
