#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A session bus of the test's own: a dbus-daemon started for the test and
// ended with it, so desktop calls are seen without touching the user's bus.
// The services it starts get a runtime folder of their own: the
// accessibility bus puts its socket at a fixed name there, and two tests
// sharing the user's folder would take each other's bus away when one ends.
class PrivateSessionBus {
public:
    PrivateSessionBus() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        daemon_.setProcessEnvironment(env);
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (daemon_.waitForStarted(5000) && daemon_.waitForReadyRead(5000))
            address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateSessionBus() {
        for (const QString& name : names_)
            QDBusConnection::disconnectFromBus(name);
        daemon_.kill();
        daemon_.waitForFinished(2000);
    }
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    QString address() const { return address_; }
    // A connection to this bus under a name of the test's choosing.
    QDBusConnection connect(const QString& name) {
        names_ << name;
        return QDBusConnection::connectToBus(address_, name);
    }

private:
    QTemporaryDir runtime_;
    QProcess daemon_;
    QString address_;
    QStringList names_;
};
