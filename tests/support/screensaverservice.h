#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>

// A stand-in for the desktop's screen-saver service, recording what it is
// asked: "Inhibit <application>" and "UnInhibit <cookie>"; cookies count from 1.
class ScreenSaverService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QStringList calls;
    quint32 cookie = 0;

    // Offers the service on the bus of the given connection.
    bool offerOn(QDBusConnection connection) {
        return connection.registerService(QStringLiteral("org.freedesktop.ScreenSaver"))
               && connection.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), this,
                                            QDBusConnection::ExportAllSlots);
    }

public slots:
    quint32 Inhibit(const QString& application, const QString& /*reason*/) {
        calls << QStringLiteral("Inhibit %1").arg(application);
        return ++cookie;
    }
    void UnInhibit(quint32 c) { calls << QStringLiteral("UnInhibit %1").arg(c); }
};
