#include "spectators/liveresultsserver.h"
#include "support/modulefolders.h"
#include "support/rawhttpclient.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <mutex>
#include <vector>

using namespace vartemo;

namespace {

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
    EXPECT_EQ(header(first, "Content-Security-Policy"), QByteArray(LiveResultsServer::kContentSecurityPolicy));
    EXPECT_EQ(header(first, "Referrer-Policy"), QByteArray("no-referrer"));
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
        // No path leads out of the three: no folder, no file behind them.
        {"a step up", get("/../vartemo.ini"), 404},
        {"an encoded step up", get("/%2e%2e/%2E%2E/etc/passwd"), 404},
        {"an encoded slash", get("/..%2fvartemo.ini"), 404},
        {"a doubled slash", get("//app.js"), 404},
        {"the script as a folder", get("/app.js/"), 404},
        {"the page's own name", get("/index.html"), 404},
        {"the program's resources", get("/:/spectators/page/index.html"), 404},
        {"the resource folder", get("/spectators/page/"), 404},
        {"an absolute URL", get("http://127.0.0.1/etc/passwd"), 404},
        {"the script, encoded", get("/%61pp.js"), 200},
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
        // Every answer of the page's own (the library answers 414 and 431
        // with a fixed text of its own).
        if (c.status != 414 && c.status != 431) {
            EXPECT_EQ(header(answer, "X-Content-Type-Options"), QByteArray("nosniff")) << c.what;
            EXPECT_EQ(header(answer, "Content-Security-Policy"), QByteArray(LiveResultsServer::kContentSecurityPolicy))
                << c.what;
            EXPECT_FALSE(header(answer, "Content-Type").isEmpty()) << c.what;
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

// The HTTP library is in a module loaded at the first start: missing, the
// start fails with the reason; there at a later start, the page is served.
TEST(LiveResultsServer, AMissingModuleFailsTheStartWithItsReasonUntilItIsThere) {
    LiveSnapshotSlot slot;
    LiveResultsServer server(slot, {QByteArrayLiteral("<html>page</html>"), QByteArrayLiteral("// app")});
    QString error;
    {
        QTemporaryDir noModules;
        test::ModuleFolders missing({noModules.path()});
        EXPECT_FALSE(server.start(QStringLiteral("127.0.0.1"), 0, &error));
        EXPECT_TRUE(error.startsWith(QStringLiteral("modul serveru stránky nelze použít: Modul vartemo_liveresults.so "
                                                    "nebyl nalezen (hledáno v %1)").arg(noModules.path())))
            << error.toStdString();
        EXPECT_FALSE(server.running());
        EXPECT_EQ(server.port(), 0);
        server.stop();
    }
    ASSERT_TRUE(server.start(QStringLiteral("127.0.0.1"), 0, &error)) << error.toStdString();
    Client c(server.port());
    c.send(get("/"));
    EXPECT_EQ(body(c.answer()), QByteArray("<html>page</html>"));
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
