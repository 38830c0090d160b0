#pragma once

#include "platform/registrystore.h"

#include <QMutex>

namespace vartemo {

// The per-user registry on Linux: "registry.ini" in
// $XDG_CONFIG_HOME/vartemo_kestral/, one section per key path:
//
//   [Software\vartemo_kestral\ir\nastaveni1]
//   ComName=sz:"COM1"
//   CommandOrder=hex:01,00,00,00
//
// Starting with the system is the autostart launcher's (AutostartEntry).
// Every write goes to the file at once, atomically.
class FileRegistryStore final : public RegistryStore {
public:
    // The current user's: $XDG_CONFIG_HOME/vartemo_kestral/registry.ini.
    FileRegistryStore();
    explicit FileRegistryStore(QString registryFile);

    std::optional<QString> readString(const QString& keyPath, const QString& name) const override;
    bool writeString(const QString& keyPath, const QString& name, const QString& value) override;
    std::optional<QByteArray> readBinary(const QString& keyPath, const QString& name) const override;
    bool writeBinary(const QString& keyPath, const QString& name, const QByteArray& value) override;
    bool deleteValue(const QString& keyPath, const QString& name) override;

    const QString& registryFile() const { return registryFile_; }

private:
    std::optional<QString> rawValue(const QString& keyPath, const QString& name) const;
    bool writeRaw(const QString& keyPath, const QString& name, const QString& raw);

    QString registryFile_;
    mutable QMutex mutex_;
};

} // namespace vartemo
