#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <functional>
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

    // What the station answers when a tool asks whether a ride is being
    // timed (a nightly backup waits for its end); unset, the answer is no.
    void setRideQuery(std::function<bool()> rideBeingTimed) { rideBeingTimed_ = std::move(rideBeingTimed); }

    // Asks the station listening in folder; false when none listens or it
    // gives no answer within timeoutMs (its main thread is then not timing).
    static bool askRideBeingTimed(const QString& folder, int timeoutMs = 3000);

signals:
    void restoreRequested();

private:
    bool sendRestoreRequest() const;
    void acceptConnection();

    QString folder_;
    QLockFile lock_;
    QLocalServer server_;
    std::function<bool()> rideBeingTimed_;
};

} // namespace vartemo
