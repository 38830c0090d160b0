#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <memory>

namespace vartemo {

// One station per user: the first start holds the lock "Dokončení" and
// listens on the local socket "vartemokestral"; a second start finds the
// lock taken, sends the running one a restore request and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    static const QString kName; // "vartemokestral"
    static const QString kLockFileName; // in the folder; read by tools that must not touch a running station

    // folder holds the lock file and the socket: the user's runtime folder.
    explicit SingleInstance(QString folder, QObject* parent = nullptr);
    ~SingleInstance() override;

    static QString runtimeFolder();

    // True when this process is the first and now listens; false when
    // another one runs (it has been sent the restore request, as far as it
    // could be reached).
    bool claim();

signals:
    void restoreRequested();

private:
    bool sendRestoreRequest() const;
    void acceptConnection();

    QString folder_;
    QLockFile lock_;
    QLocalServer server_;
};

} // namespace vartemo
