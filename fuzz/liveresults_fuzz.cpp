// libFuzzer target: any bytes as a request to the live results page: the
// station's server runs in-process on a loopback port, each input is sent
// on a fresh connection (method, path, query, headers, body as the bytes
// say), the writing side is closed and the answers are read. Nothing may
// crash; an answer of 200 carries one of the page's own three documents and
// nothing else (no other file, no listing), every answer carries the
// content type and no-sniffing headers, and the server keeps answering a
// normal client.
#include "fuzzsupport.h"

#include "spectators/liveresultshttp.h"
#include "spectators/liveresultsserver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace vartemo;

namespace {

const QByteArray kHtml = QByteArrayLiteral("<!doctype html><title>Vartemo</title>page");
const QByteArray kJs = QByteArrayLiteral("'use strict';script");
const QByteArray kJson = QByteArrayLiteral("{\"jizda\":1}");

struct Server {
    LiveSnapshotSlot slot;
    // The server linked in, instrumented with the rest (not the module).
    LiveResultsServer server{slot, LiveResultsPage{kHtml, kJs},
                             [](const LiveSnapshotSlot& snapshots, const LiveResultsPage& page,
                                LiveResultsServer::Notice notice, QString*) {
                                 return MakeLiveResultsDaemon(snapshots, page, std::move(notice));
                             }};
    Server() {
        slot.publish(std::make_shared<const LiveSnapshot>(LiveSnapshot{7, kJson, QByteArrayLiteral("\"7\"")}));
        QString error;
        FUZZ_CHECK(server.start(QStringLiteral("127.0.0.1"), 0, &error));
    }
};

Server& TheServer() {
    static Server* server = new Server; // lives to the end of the run
    return *server;
}

// Sends the request from 127.0.0.<from> and returns every byte of the answers.
QByteArray Exchange(const QByteArray& request, int from, bool closeWriting, int timeoutMs) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    FUZZ_CHECK(fd >= 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(0x7F000000u | quint32(from));
    ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
    // No TIME_WAIT left behind: a long run would use up the loopback's ports.
    const linger reset{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(TheServer().server.port());
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QByteArray in;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0) {
        for (qsizetype sent = 0; sent < request.size();) {
            const ssize_t n = ::send(fd, request.constData() + sent, size_t(request.size() - sent), MSG_NOSIGNAL);
            if (n <= 0)
                break;
            sent += n;
        }
        if (closeWriting)
            ::shutdown(fd, SHUT_WR);
        char buffer[8192];
        pollfd p{fd, POLLIN, 0};
        while (::poll(&p, 1, timeoutMs) == 1) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            in.append(buffer, n);
        }
    }
    ::close(fd);
    return in;
}

// Each answer in the bytes: its head must be sound, a 200 must carry a page
// document. The HTTP library's own refusals of malformed requests (400, 413,
// 414, 431, 505) end the connection and are not the station's answers: the
// reading stops there (the library may send a refusal's head twice).
void CheckAnswers(const QByteArray& bytes) {
    qsizetype at = 0;
    while (at < bytes.size()) {
        FUZZ_CHECK(bytes.mid(at, 9) == "HTTP/1.1 " || bytes.mid(at, 9) == "HTTP/1.0 ");
        const qsizetype headEnd = bytes.indexOf("\r\n\r\n", at);
        if (headEnd < 0)
            return; // cut off by the closing
        const QByteArray head = bytes.mid(at, headEnd - at).toLower() + "\r\n";
        const int status = bytes.mid(at + 9, 3).toInt();
        const bool station = head.contains("\r\nx-content-type-options: nosniff");
        if (!station) {
            FUZZ_CHECK(status == 400 || status == 413 || status == 414 || status == 431 || status == 505);
            return;
        }
        qsizetype length = 0;
        const qsizetype cl = head.indexOf("\r\ncontent-length:");
        if (cl >= 0)
            length = head.mid(cl + 17, head.indexOf("\r\n", cl + 2) - (cl + 17)).trimmed().toLongLong();
        const QByteArray body = bytes.mid(headEnd + 4, length);
        if (status == 200) {
            FUZZ_CHECK(body == kHtml || body == kJs || body == kJson);
            FUZZ_CHECK(head.contains("\r\ncontent-type:"));
        }
        at = headEnd + 4 + length;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int runs = 0;
    ++runs;
    const QByteArray answers = Exchange(fuzz::Bytes(data, size), 2 + runs % 200, true, 1000);
    if (qEnvironmentVariableIsSet("VARTEMO_FUZZ_TRACE"))
        qInfo("%s", answers.toPercentEncoding(" /:<>=.,").constData());
    CheckAnswers(answers);
    if (runs % 256 == 0) {
        const QByteArray normal = Exchange("GET /live.json HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", 1, true, 2000);
        FUZZ_CHECK(normal.startsWith("HTTP/1.1 200 ") && normal.endsWith(kJson));
    }
    return 0;
}
