// libFuzzer target: the FTP client of a sending run against a scripted
// server on a loopback port that answers with the input's replies: the
// input's lines (LF) are the replies in order, a CR inside a line breaks it
// into the lines of one multi-line reply. Each reply answers the next
// command; a server that stays silent for a moment sends the next one
// unasked, and after the last one it closes the connection. Passive-mode
// replies (227, 229) are pointed at the server's own data port, so the
// upload always reaches this server. The client connects, uploads a file
// and quits. Nothing may crash or hang; an upload reported as done must
// have reached the server whole under its temporary name and been renamed,
// and no message may carry the password.
#include "fuzzsupport.h"

#include "publishing/curlftpsession.h"
#include "publishing/ftpclient.h"

#include <QEventLoop>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

using namespace vartemo;

namespace {

const QString kPassword = QStringLiteral("Tajne.Heslo-42");
const QByteArray kUpload = QByteArrayLiteral("1\tJan Novák\t00:31:250\r\n2\tPetr\t00:32:000\r\n");

int ListenOnLoopback(quint16* port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    FUZZ_CHECK(fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && ::listen(fd, 8) == 0);
    socklen_t length = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
    *port = ntohs(a.sin_port);
    return fd;
}

void SendAll(int fd, const QByteArray& bytes) {
    for (qsizetype sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += n;
    }
}

// The scripted server: one session per run, on listening sockets kept for the whole run.
struct ScriptedServer {
    int control = -1, data = -1;
    quint16 controlPort = 0, dataPort = 0;
    QByteArrayList replies;
    QByteArrayList commands; // as received, without line ends
    QByteArray uploaded;

    ScriptedServer() {
        control = ListenOnLoopback(&controlPort);
        data = ListenOnLoopback(&dataPort);
    }

    QByteArray reply(qsizetype index) const {
        QByteArray r = replies[index];
        if (r.startsWith("229"))
            r = "229 Entering Extended Passive Mode (|||" + QByteArray::number(dataPort) + "|)";
        else if (r.startsWith("227"))
            r = "227 Entering Passive Mode (127,0,0,1," + QByteArray::number(dataPort >> 8) + ',' +
                QByteArray::number(dataPort & 0xFF) + ')';
        return r.replace('\r', "\r\n") + "\r\n";
    }

    void session() {
        commands.clear();
        uploaded.clear();
        pollfd first{control, POLLIN, 0};
        if (::poll(&first, 1, 5000) != 1)
            return;
        const int c = ::accept4(control, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0)
            return;
        int d = -1;
        qsizetype next = 0;
        QByteArray pending;
        bool open = true;
        auto answer = [&] {
            if (next < replies.size())
                SendAll(c, reply(next++));
            if (next >= replies.size()) {
                ::shutdown(c, SHUT_WR);
                open = false;
            }
        };
        answer(); // the greeting
        for (int idle = 0; idle < 100;) {
            pollfd p[3] = {{c, POLLIN, 0}, {data, POLLIN, 0}, {d, POLLIN, 0}};
            const int ready = ::poll(p, d >= 0 ? 3 : 2, 10);
            if (ready <= 0) {
                if (!open && d < 0)
                    break;
                if (open)
                    answer(); // silence: the next reply unasked
                ++idle;
                continue;
            }
            if (p[1].revents & POLLIN) {
                const int accepted = ::accept4(data, nullptr, nullptr, SOCK_CLOEXEC);
                if (d < 0)
                    d = accepted;
                else if (accepted >= 0)
                    ::close(accepted);
            }
            if (d >= 0 && (p[2].revents & (POLLIN | POLLHUP | POLLERR))) {
                char buffer[4096];
                const ssize_t n = ::recv(d, buffer, sizeof buffer, 0);
                if (n > 0)
                    uploaded.append(buffer, n);
                else {
                    ::close(d);
                    d = -1;
                }
            }
            if (p[0].revents & (POLLIN | POLLHUP | POLLERR)) {
                char buffer[4096];
                const ssize_t n = ::recv(c, buffer, sizeof buffer, 0);
                if (n <= 0)
                    break;
                pending.append(buffer, n);
                for (qsizetype end; (end = pending.indexOf("\r\n")) >= 0;) {
                    commands << pending.left(end);
                    pending.remove(0, end + 2);
                    if (open)
                        answer();
                }
            }
        }
        if (d >= 0)
            ::close(d);
        ::close(c);
    }

    bool received(const QByteArray& command) const {
        return commands.contains(command);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::EnsureApplication();
    static ScriptedServer* server = new ScriptedServer; // lives to the end of the run
    static const QString local = [] {
        const QString path = fuzz::ScratchPath(QStringLiteral("vysledky.txt"));
        fuzz::WriteFile(path, kUpload);
        return path;
    }();
    const QByteArray script = fuzz::Bytes(data, size);
    server->replies = script.split('\n');
    if (server->replies.size() > 64)
        return 0; // a session has far fewer commands

    std::thread serverThread([] { server->session(); });
    QList<FtpReply> done;
    {
        // The session linked in, instrumented with the rest (not the module).
        FtpClient client(FtpTimeouts{2, 2}, nullptr, [](FtpTimeouts timeouts, FtpSessionHooks hooks, QString*) {
            return MakeCurlFtpSession(timeouts, std::move(hooks));
        });
        QEventLoop loop;
        QObject::connect(&client, &FtpClient::requestDone, &loop, [&](const FtpReply& reply) {
            done << reply;
            if (done.size() == 2)
                loop.quit();
        });
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        FtpEndpoint endpoint;
        endpoint.host = QStringLiteral("127.0.0.1:%1").arg(server->controlPort);
        endpoint.user = QStringLiteral("vysledky");
        endpoint.password = kPassword;
        client.Connect(endpoint);
        client.Put(QStringLiteral("web"), local, QStringLiteral("vysledky.txt"));
        client.Quit();
        loop.exec();
    }
    serverThread.join();
    if (qEnvironmentVariableIsSet("VARTEMO_FUZZ_TRACE")) {
        for (const QByteArray& command : server->commands)
            qInfo("> %s", command.constData());
        for (const FtpReply& reply : done)
            qInfo("request %d ok %d bytes %lld: %s", int(reply.request), reply.ok, reply.bytes, qPrintable(reply.error));
    }

    FUZZ_CHECK(done.size() == 2); // neither request hangs
    const FtpReply& connect = done[0];
    const FtpReply& put = done[1];
    FUZZ_CHECK(connect.request == FtpRequest::Connect && put.request == FtpRequest::Put);
    FUZZ_CHECK(connect.ok || !put.ok);
    if (put.ok) {
        FUZZ_CHECK(server->uploaded == kUpload && put.bytes == kUpload.size());
        FUZZ_CHECK(server->received("STOR vysledky.txt.part"));
        FUZZ_CHECK(server->received("RNFR vysledky.txt.part") && server->received("RNTO vysledky.txt"));
    }
    if (!script.contains(kPassword.toUtf8()))
        FUZZ_CHECK(!connect.error.contains(kPassword) && !put.error.contains(kPassword));
    return 0;
}
