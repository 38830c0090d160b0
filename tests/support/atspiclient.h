#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QRect>
#include <QThread>

#include <functional>
#include <optional>

// One object of a program's accessibility tree.
struct AtspiNode {
    QString service;
    QString path;
    bool operator==(const AtspiNode&) const = default;
};

// Reads a running program the way a screen reader does: over the
// accessibility bus (AT-SPI) that belongs to a session bus. The program
// needs QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 and that session bus.
class AtspiClient {
public:
    // The accessibility bus is started on demand by the session bus; on a
    // busy machine its first answers may fail, so the client asks again
    // until the deadline.
    explicit AtspiClient(const QString& sessionBusAddress, int deadlineMs = 30000) {
        QDeadlineTimer deadline(deadlineMs);
        do {
            if (connectOnce(sessionBusAddress))
                return;
            QThread::msleep(200);
        } while (!deadline.hasExpired());
    }
    ~AtspiClient() { disconnect(); }
    AtspiClient(const AtspiClient&) = delete;
    AtspiClient& operator=(const AtspiClient&) = delete;

    bool connected() const { return bus_ && bus_->isConnected(); }

    // The root of the application of that name, once it has registered.
    std::optional<AtspiNode> application(const QString& name, int deadlineMs) const {
        const AtspiNode registry{QStringLiteral("org.a11y.atspi.Registry"),
                                 QStringLiteral("/org/a11y/atspi/accessible/root")};
        QDeadlineTimer deadline(deadlineMs);
        do {
            for (const AtspiNode& app : children(registry))
                if (this->name(app) == name)
                    return app;
            QThread::msleep(100);
        } while (!deadline.hasExpired());
        return std::nullopt;
    }

    QList<AtspiNode> children(const AtspiNode& node) const {
        QList<AtspiNode> out;
        const QDBusMessage reply = call(node, QStringLiteral("org.a11y.atspi.Accessible"), QStringLiteral("GetChildren"));
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return out;
        const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
        list.beginArray();
        while (!list.atEnd()) {
            QString service;
            QDBusObjectPath path;
            list.beginStructure();
            list >> service >> path;
            list.endStructure();
            out.append({service, path.path()});
        }
        list.endArray();
        return out;
    }

    QString name(const AtspiNode& node) const {
        return property(node, QStringLiteral("org.a11y.atspi.Accessible"), QStringLiteral("Name")).toString();
    }
    QString role(const AtspiNode& node) const {
        const QDBusMessage reply = call(node, QStringLiteral("org.a11y.atspi.Accessible"), QStringLiteral("GetRoleName"));
        return reply.arguments().value(0).toString();
    }
    QStringList interfaces(const AtspiNode& node) const {
        const QDBusMessage reply = call(node, QStringLiteral("org.a11y.atspi.Accessible"), QStringLiteral("GetInterfaces"));
        return reply.arguments().value(0).toStringList();
    }
    // A check box's tick (AT-SPI's state "checked").
    bool checked(const AtspiNode& node) const {
        constexpr uint kChecked = 4;
        const QDBusMessage reply = call(node, QStringLiteral("org.a11y.atspi.Accessible"), QStringLiteral("GetState"));
        if (reply.arguments().isEmpty())
            return false;
        const QDBusArgument bits = reply.arguments().first().value<QDBusArgument>();
        QList<uint> words;
        bits >> words;
        return !words.isEmpty() && (words[0] >> kChecked) & 1u;
    }
    // A spin box's or slider's number.
    std::optional<double> value(const AtspiNode& node) const {
        const QVariant v = property(node, QStringLiteral("org.a11y.atspi.Value"), QStringLiteral("CurrentValue"));
        return v.isValid() ? std::optional<double>(v.toDouble()) : std::nullopt;
    }
    // An edit's text.
    QString text(const AtspiNode& node) const {
        const QDBusMessage reply =
            call(node, QStringLiteral("org.a11y.atspi.Text"), QStringLiteral("GetText"), {0, -1});
        return reply.arguments().value(0).toString();
    }
    // The node's first action (a button's press), without waiting for what it opens.
    void press(const AtspiNode& node) const {
        QDBusMessage message = QDBusMessage::createMethodCall(node.service, node.path,
                                                              QStringLiteral("org.a11y.atspi.Action"),
                                                              QStringLiteral("DoAction"));
        message << 0;
        bus_->send(message);
    }
    // Where the node is on the screen.
    QRect extents(const AtspiNode& node) const {
        const QDBusMessage reply =
            call(node, QStringLiteral("org.a11y.atspi.Component"), QStringLiteral("GetExtents"), {0u});
        if (reply.arguments().isEmpty())
            return {};
        const QDBusArgument box = reply.arguments().first().value<QDBusArgument>();
        int x = 0, y = 0, w = 0, h = 0;
        box.beginStructure();
        box >> x >> y >> w >> h;
        box.endStructure();
        return {x, y, w, h};
    }

    // Every node below root (root included) with its role and name, depth first.
    struct Named {
        AtspiNode node;
        QString role;
        QString name;
    };
    QList<Named> all(const AtspiNode& root) const {
        QList<Named> out{{root, role(root), name(root)}};
        for (const AtspiNode& child : children(root))
            out += all(child);
        return out;
    }

    // Depth first, the first node below root (root included) of this role
    // whose name matches. The cells of tables and lists are passed over: they
    // hold no controls, and walking hundreds of them one call at a time makes
    // a search on a busy machine outlast any deadline.
    std::optional<AtspiNode> find(const AtspiNode& root, const QString& roleName,
                                  const std::function<bool(const QString&)>& nameMatches) const {
        const QString rootRole = role(root);
        if (rootRole == roleName && nameMatches(name(root)))
            return root;
        if (kItemViews.contains(rootRole))
            return std::nullopt;
        for (const AtspiNode& child : children(root))
            if (auto found = find(child, roleName, nameMatches))
                return found;
        return std::nullopt;
    }
    // The first node with this role whose name matches, waiting until it appears.
    std::optional<AtspiNode> waitFor(const AtspiNode& root, const QString& roleName,
                                     const std::function<bool(const QString&)>& nameMatches, int deadlineMs) const {
        QDeadlineTimer deadline(deadlineMs);
        do {
            if (auto found = find(root, roleName, nameMatches))
                return found;
            QThread::msleep(100);
        } while (!deadline.hasExpired());
        return std::nullopt;
    }
    std::optional<AtspiNode> waitFor(const AtspiNode& root, const QString& roleName, const QString& nodeName,
                                     int deadlineMs) const {
        return waitFor(root, roleName, [&nodeName](const QString& n) { return n == nodeName; }, deadlineMs);
    }

private:
    bool connectOnce(const QString& sessionBusAddress) {
        disconnect();
        QDBusConnection session = QDBusConnection::connectToBus(sessionBusAddress, QStringLiteral("atspi-session"));
        QDBusInterface launcher(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                QStringLiteral("org.a11y.Bus"), session);
        const QDBusReply<QString> address = launcher.call(QStringLiteral("GetAddress"));
        if (!address.isValid() || address.value().isEmpty())
            return false;
        bus_ = QDBusConnection::connectToBus(address.value(), QStringLiteral("atspi-bus"));
        return bus_->isConnected();
    }
    void disconnect() {
        bus_.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("atspi-bus"));
        QDBusConnection::disconnectFromBus(QStringLiteral("atspi-session"));
    }

    QDBusMessage call(const AtspiNode& node, const QString& interface, const QString& method,
                      const QVariantList& arguments = {}) const {
        if (!connected())
            return {};
        QDBusMessage message = QDBusMessage::createMethodCall(node.service, node.path, interface, method);
        message.setArguments(arguments);
        return bus_->call(message, QDBus::Block, kCallTimeoutMs);
    }
    QVariant property(const AtspiNode& node, const QString& interface, const QString& name) const {
        const QDBusMessage reply = call(node, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                                        {interface, name});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        return reply.arguments().first().value<QDBusVariant>().variant();
    }

    static constexpr int kCallTimeoutMs = 10000;
    inline static const QStringList kItemViews{QStringLiteral("table"), QStringLiteral("tree table"),
                                               QStringLiteral("list"), QStringLiteral("tree")};
    std::optional<QDBusConnection> bus_;
};
