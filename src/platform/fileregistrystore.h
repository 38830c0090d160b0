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
// The current user's Run key is the desktop's autostart folder instead: a
// value "name" there is the launcher "name.desktop" whose Exec line is the
// value, so "start with the system" works the way the desktop expects.
// Every write goes to the file at once, atomically.
class FileRegistryStore final : public RegistryStore {
public:
    // The current user's: $XDG_CONFIG_HOME/vartemo_kestral/registry.ini and
    // $XDG_CONFIG_HOME/autostart.
    FileRegistryStore();
    FileRegistryStore(QString registryFile, QString autostartFolder);

    static const QString kRunKey; // "Software\Microsoft\Windows\CurrentVersion\Run"

    std::optional<QString> readString(const QString& keyPath, const QString& name) const override;
    bool writeString(const QString& keyPath, const QString& name, const QString& value) override;
    std::optional<QByteArray> readBinary(const QString& keyPath, const QString& name) const override;
    bool writeBinary(const QString& keyPath, const QString& name, const QByteArray& value) override;
    bool deleteValue(const QString& keyPath, const QString& name) override;

    const QString& registryFile() const { return registryFile_; }

private:
    std::optional<QString> rawValue(const QString& keyPath, const QString& name) const;
    bool writeRaw(const QString& keyPath, const QString& name, const QString& raw);
    QString launcherPath(const QString& name) const;

    QString registryFile_;
    QString autostartFolder_;
    mutable QMutex mutex_;
};

} // namespace vartemo
