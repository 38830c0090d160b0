#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>

namespace vartemo {

// The per-user registry: values under key paths such as
// "Software\vartemo_kestral\ir\nastaveni1". Text values (REG_SZ) and binary
// values (REG_BINARY). Key paths and value names compare case-insensitively.
class RegistryStore {
public:
    virtual ~RegistryStore() = default;

    virtual std::optional<QString> readString(const QString& keyPath, const QString& name) const = 0;
    virtual bool writeString(const QString& keyPath, const QString& name, const QString& value) = 0;
    virtual std::optional<QByteArray> readBinary(const QString& keyPath, const QString& name) const = 0;
    virtual bool writeBinary(const QString& keyPath, const QString& name, const QByteArray& value) = 0;
    virtual bool deleteValue(const QString& keyPath, const QString& name) = 0;
};

// Held in memory only: for tests.
class MemoryRegistryStore final : public RegistryStore {
public:
    std::optional<QString> readString(const QString& keyPath, const QString& name) const override;
    bool writeString(const QString& keyPath, const QString& name, const QString& value) override;
    std::optional<QByteArray> readBinary(const QString& keyPath, const QString& name) const override;
    bool writeBinary(const QString& keyPath, const QString& name, const QByteArray& value) override;
    bool deleteValue(const QString& keyPath, const QString& name) override;

private:
    static QString key(const QString& keyPath, const QString& name);
    QHash<QString, QString> strings_;
    QHash<QString, QByteArray> binaries_;
};

} // namespace vartemo
