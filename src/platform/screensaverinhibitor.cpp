#include "platform/screensaverinhibitor.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace vartemo {

namespace {
const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString kInterface = QStringLiteral("org.freedesktop.ScreenSaver");

QDBusMessage call(const QString& method) {
    return QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
}
} // namespace

ScreenSaverInhibitor::ScreenSaverInhibitor(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {}

ScreenSaverInhibitor::~ScreenSaverInhibitor() {
    wanted_ = false;
    release();
}

void ScreenSaverInhibitor::setScreenSaverEnabled(bool enabled) {
    if (wanted_ == !enabled)
        return;
    wanted_ = !enabled;
    if (wanted_)
        inhibit();
    else
        release();
}

void ScreenSaverInhibitor::inhibit() {
    // The cookie of an earlier request is still on its way: its answer
    // decides whether it is kept.
    if (requestPending_ || holdsCookie_ || !bus_.isConnected())
        return;
    QDBusMessage message = call(QStringLiteral("Inhibit"));
    message << QStringLiteral("vartemo") << QStringLiteral("Probíhá jízda");
    requestPending_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        requestPending_ = false;
        const QDBusPendingReply<quint32> reply = *w;
        if (reply.isError())
            return;
        cookie_ = reply.value();
        holdsCookie_ = true;
        // The ride may have ended while the answer was on its way.
        if (!wanted_)
            release();
    });
}

void ScreenSaverInhibitor::release() {
    if (!holdsCookie_)
        return;
    holdsCookie_ = false;
    QDBusMessage message = call(QStringLiteral("UnInhibit"));
    message << cookie_;
    bus_.send(message);
}

} // namespace vartemo

#include "moc_screensaverinhibitor.cpp"
