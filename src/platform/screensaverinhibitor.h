#pragma once

#include <QDBusConnection>
#include <QObject>

namespace vartemo {

// Keeps the desktop's screen saver away while a ride is timed, through the
// session's org.freedesktop.ScreenSaver service. Calls never wait for the
// bus: with no bus or no such service nothing changes and nothing is said.
class ScreenSaverInhibitor : public QObject {
    Q_OBJECT
public:
    explicit ScreenSaverInhibitor(QDBusConnection bus = QDBusConnection::sessionBus(),
                                  QObject* parent = nullptr);
    // Releases a held inhibition.
    ~ScreenSaverInhibitor() override;

    // false: the screen must stay awake; true: it may sleep again.
    // Repeated calls with the same value change nothing.
    void setScreenSaverEnabled(bool enabled);

    // An inhibition is wanted (asked for and not yet released).
    bool inhibiting() const { return wanted_; }

private:
    void inhibit();
    void release();

    QDBusConnection bus_;
    bool wanted_ = false;
    bool requestPending_ = false;
    quint32 cookie_ = 0;
    bool holdsCookie_ = false;
};

} // namespace vartemo
