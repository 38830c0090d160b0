#include "spectators/liveresultsserver.h"

#include <QByteArrayList>
#include <QElapsedTimer>
#include <arpa/inet.h>
#include <cerrno>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <mutex>
#include <vector>

using namespace vartemo;

namespace {

// A plain TCP client, optionally from a given loopback address.
class Client {
public:
    Client(quint16 port, const char* from = nullptr) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (from) {
            sockaddr_in local{};
            local.sin_family = AF_INET;
            inet_pton(AF_INET, from, &local.sin_addr);
            ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local);
        }
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    }
    ~Client() { ::close(fd_); }
    Client(const Client&) = delete;

    bool connected() const { return connected_; }
    void send(const QByteArray& bytes) {
        for (qsizetype sent = 0; sent < bytes.size();) {
            const ssize_t n = ::send(fd_, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += n;
        }
    }
    // Reads one answer: its head and the body of its Content-Length.
    QByteArray answer(int timeoutMs = 2000) {
        QByteArray in;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            const qsizetype head = in.indexOf("\r\n\r\n");
            if (head >= 0) {
                const qsizetype at = in.toLower().indexOf("content-length:");
                const qsizetype length = at < 0 ? 0 : in.mid(at + 15, in.indexOf("\r\n", at) - at - 15).trimmed().toLongLong();
                if (in.size() >= head + 4 + length)
                    return in;
            }
            if (!wait(50))
                continue;
            char buf[4096];
            const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            in.append(buf, n);
        }
        return in;
    }
    // True when the server closed the connection within the time.
    bool closedWithin(int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            if (!wait(20))
                continue;
            char c;
            const ssize_t n = ::recv(fd_, &c, 1, MSG_DONTWAIT);
            if (n == 0 || (n < 0 && errno != EAGAIN))
                return true;
        }
        return false;
    }

private:
    bool wait(int ms) {
        pollfd p{fd_, POLLIN, 0};
        return ::poll(&p, 1, ms) > 0;
    }
    int fd_ = -1;
    bool connected_ = false;
};

QByteArray get(const char* path, const QByteArray& extra = {}) {
    return QByteArray("GET ") + path + " HTTP/1.1\r\nHost: x\r\n" + extra + "\r\n";
}

int status(const QByteArray& answer) {
    return answer.mid(9, 3).toInt();
}

QByteArray header(const QByteArray& answer, const QByteArray& name) {
    for (const QByteArray& line : answer.left(answer.indexOf("\r\n\r\n")).split('\n'))
        if (line.toLower().startsWith(name.toLower() + ':'))
            return line.mid(name.size() + 1).trimmed();
    return {};
}

QByteArray body(const QByteArray& answer) {
    return answer.mid(answer.indexOf("\r\n\r\n") + 4);
}

struct ServerTest : ::testing::Test {
    LiveSnapshotSlot slot;
    LiveResultsServer server{slot, {QByteArrayLiteral("<html>page</html>"), QByteArrayLiteral("// app")}};

    ServerTest() {
        publish(57, R"({"schema":1,"seq":57})");
        QString error;
        EXPECT_TRUE(server.start(QStringLiteral("127.0.0.1"), 0, &error)) << error.toStdString();
    }
    void publish(quint64 seq, const char* json) {
        slot.publish(std::make_shared<const LiveSnapshot>(
            LiveSnapshot{seq, QByteArray(json), '"' + QByteArray::number(seq) + '"'}));
    }
};

} // namespace

TEST_F(ServerTest, GetThenNotModifiedOnItsTag) {
    Client c(server.port());
    c.send(get("/live.json"));
    const QByteArray first = c.answer();
    EXPECT_EQ(status(first), 200);
    EXPECT_EQ(body(first), QByteArray(R"({"schema":1,"seq":57})"));
    EXPECT_EQ(header(first, "ETag"), QByteArray("\"57\""));
    EXPECT_EQ(header(first, "Cache-Control"), QByteArray("no-store"));
    EXPECT_EQ(header(first, "X-Content-Type-Options"), QByteArray("nosniff"));
    EXPECT_EQ(header(first, "Content-Security-Policy"), QByteArray("default-src 'self'"));
    EXPECT_TRUE(header(first, "Content-Type").startsWith("application/json"));

    c.send(get("/live.json", "If-None-Match: \"57\"\r\n")); // same connection, kept alive
    const QByteArray again = c.answer();
    EXPECT_EQ(status(again), 304);
    EXPECT_TRUE(body(again).isEmpty());

    publish(58, R"({"schema":1,"seq":58})");
    c.send(get("/live.json", "If-None-Match: \"57\"\r\n"));
    EXPECT_EQ(status(c.answer()), 200) << "a newer snapshot is sent whole";
}

TEST_F(ServerTest, PathsMethodsAndSizes) {
    const struct {
        const char* what;
        QByteArray request;
        int status;
    } cases[] = {
        {"the page", get("/"), 200},
        {"its script", get("/app.js"), 200},
        {"anything else", get("/etc/passwd"), 404},
        {"a query is no other file", get("/live.json?x=1"), 200},
        {"POST", "POST /live.json HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\n\r\nabc", 405},
        {"HEAD", "HEAD / HTTP/1.1\r\nHost: x\r\n\r\n", 405},
        {"a GET with a body", "GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello", 413},
        {"a 20 KiB header", get("/", "X-Big: " + QByteArray(20 * 1024, 'a') + "\r\n"), 431},
        {"a 20 KiB path", get(("/" + QByteArray(20 * 1024, 'a')).constData()), 414},
    };
    for (const auto& c : cases) {
        Client client(server.port());
        client.send(c.request);
        const QByteArray answer = client.answer();
        EXPECT_EQ(status(answer), c.status) << c.what << "\n" << answer.left(200).toStdString();
        if (c.status == 405) {
            EXPECT_EQ(header(answer, "Allow"), QByteArray("GET")) << c.what;
        }
    }
    Client page(server.port());
    page.send(get("/"));
    const QByteArray answer = page.answer();
    EXPECT_EQ(body(answer), QByteArray("<html>page</html>"));
    EXPECT_TRUE(header(answer, "Content-Type").startsWith("text/html"));
}

TEST_F(ServerTest, OneAddressHoldsEightWhileAnotherIsServed) {
    std::vector<std::unique_ptr<Client>> crowd;
    for (int i = 0; i < 70; ++i)
        crowd.push_back(std::make_unique<Client>(server.port(), "127.0.0.1"));
    Client other(server.port(), "127.0.0.2");
    other.send(get("/live.json"));
    EXPECT_EQ(status(other.answer()), 200);
    int open = 0;
    for (auto& c : crowd)
        open += c->closedWithin(30) ? 0 : 1;
    EXPECT_EQ(open, 8);
}

TEST_F(ServerTest, StopsWithinASecondWithSixtyFourClientsAttached) {
    std::vector<std::unique_ptr<Client>> clients;
    for (int a = 2; a < 10; ++a) {
        const QByteArray from = "127.0.0." + QByteArray::number(a);
        for (int i = 0; i < 8; ++i) {
            clients.push_back(std::make_unique<Client>(server.port(), from.constData()));
            clients.back()->send(get("/live.json"));
        }
    }
    int served = 0;
    for (auto& c : clients)
        served += status(c->answer()) == 200 ? 1 : 0;
    ASSERT_EQ(served, 64);
    const quint16 port = server.port();
    QElapsedTimer t;
    t.start();
    server.stop();
    EXPECT_LT(t.elapsed(), 1000);
    EXPECT_TRUE(clients.front()->closedWithin(500));
    EXPECT_FALSE(Client(port).connected()) << "nothing listens any more";
}

TEST(LiveResultsServer, APortInUseGivesItsReason) {
    LiveSnapshotSlot slot;
    LiveResultsServer first(slot, {});
    QString error;
    ASSERT_TRUE(first.start(QStringLiteral("127.0.0.1"), 0, &error));
    LiveResultsServer second(slot, {});
    EXPECT_FALSE(second.start(QStringLiteral("127.0.0.1"), first.port(), &error));
    EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(EADDRINUSE)));
    EXPECT_FALSE(second.start(QStringLiteral("stanice"), 0, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("stanice")));
    EXPECT_FALSE(second.running());
}

TEST(LiveResultsServer, EachKindOfRefusalIsToldOnce) {
    LiveSnapshotSlot slot;
    LiveResultsServer server(slot, {QByteArrayLiteral("<html>page</html>"), QByteArrayLiteral("// app")});
    std::mutex lock;
    QStringList told;
    server.setNotice([&](const QString& text) {
        std::lock_guard<std::mutex> hold(lock);
        told << text;
    });
    QString error;
    ASSERT_TRUE(server.start(QStringLiteral("127.0.0.1"), 0, &error)) << error.toStdString();
    auto abuse = [&] {
        std::vector<std::unique_ptr<Client>> crowd;
        for (int i = 0; i < 12; ++i)
            crowd.push_back(std::make_unique<Client>(server.port(), "127.0.0.3"));
        for (const QByteArray& request :
             {QByteArray("POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 3\r\n\r\nabc"),
              QByteArray("GET / HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello"),
              get("/", "X-Big: " + QByteArray(20 * 1024, 'a') + "\r\n")}) {
            Client client(server.port(), "127.0.0.4");
            client.send(request);
            EXPECT_GE(status(client.answer()), 400);
        }
        for (auto& c : crowd)
            c->closedWithin(30);
    };
    auto toldNow = [&] {
        std::lock_guard<std::mutex> hold(lock);
        return told;
    };
    abuse();
    const QStringList first = toldNow();
    EXPECT_EQ(first.filter(QStringLiteral("adresa 127.0.0.3 chce víc než 8 spojení")).size(), 1) << first.join(u'\n').toStdString();
    EXPECT_EQ(first.filter(QStringLiteral("požadavek POST od 127.0.0.4")).size(), 1);
    EXPECT_EQ(first.filter(QStringLiteral("GET s tělem od 127.0.0.4")).size(), 1);
    EXPECT_EQ(first.filter(QStringLiteral("431")).size(), 1) << "the header too large, told by the server library";
    EXPECT_EQ(first.size(), 4) << first.join(u'\n').toStdString();
    abuse();
    EXPECT_EQ(toldNow(), first) << "told once, however often it comes";
}
