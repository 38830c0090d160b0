#include "spectators/liveresultsserver.h"

#include "platform/threadpriority.h"

#include <QFile>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vartemo {

namespace {

// How long one wait of the loop lasts at most: the stop is seen this soon.
constexpr unsigned kLoopWaitMs = 100;
// A priority level below normal (nice 5).
constexpr int kBelowNormal = -1;

QByteArray readResource(const char* path) {
    QFile f(QString::fromLatin1(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void addCommonHeaders(MHD_Response* r, const char* contentType) {
    MHD_add_response_header(r, "Cache-Control", "no-store");
    MHD_add_response_header(r, "X-Content-Type-Options", "nosniff");
    MHD_add_response_header(r, "Content-Security-Policy", "default-src 'self'");
    if (contentType)
        MHD_add_response_header(r, "Content-Type", contentType);
}

MHD_Result queue(MHD_Connection* c, unsigned status, MHD_Response* r) {
    const MHD_Result result = MHD_queue_response(c, status, r);
    MHD_destroy_response(r);
    return result;
}

MHD_Result queueStatic(MHD_Connection* c, unsigned status, const QByteArray& body, const char* contentType,
                       const char* allow = nullptr) {
    MHD_Response* r = MHD_create_response_from_buffer(size_t(body.size()), const_cast<char*>(body.constData()),
                                                      MHD_RESPMEM_PERSISTENT);
    if (!r)
        return MHD_NO;
    addCommonHeaders(r, contentType);
    if (allow)
        MHD_add_response_header(r, "Allow", allow);
    return queue(c, status, r);
}

const QByteArray kNotFound = QByteArrayLiteral("Not found\n");
const QByteArray kNotAllowed = QByteArrayLiteral("Method not allowed\n");
const QByteArray kTooLarge = QByteArrayLiteral("A request has no body here\n");
const QByteArray kNoContent;
const char* const kText = "text/plain; charset=utf-8";

void freeSnapshot(void* cls) {
    delete static_cast<std::shared_ptr<const LiveSnapshot>*>(cls);
}

bool hasBody(MHD_Connection* c) {
    const char* length = MHD_lookup_connection_value(c, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
    if (length && std::strcmp(length, "0") != 0)
        return true;
    return MHD_lookup_connection_value(c, MHD_HEADER_KIND, MHD_HTTP_HEADER_TRANSFER_ENCODING) != nullptr;
}

} // namespace

LiveResultsPage LiveResultsPage::FromResources() {
    return {readResource(":/spectators/page/index.html"), readResource(":/spectators/page/app.js")};
}

// The answer to one request, on the server's thread.
struct LiveResultsRequest {
    static MHD_Result handle(void* cls, MHD_Connection* c, const char* url, const char* method,
                             const char* /*version*/, const char* /*uploadData*/, size_t* uploadSize,
                             void** requestState) {
        const auto& server = *static_cast<const LiveResultsServer*>(cls);
        // Refused at once: the connection closes, nothing of a body is read.
        if (std::strcmp(method, MHD_HTTP_METHOD_GET) != 0)
            return queueStatic(c, MHD_HTTP_METHOD_NOT_ALLOWED, kNotAllowed, kText, "GET");
        if (*uploadSize != 0 || hasBody(c))
            return queueStatic(c, MHD_HTTP_CONTENT_TOO_LARGE, kTooLarge, kText);
        // A GET is answered once the whole request is in, so that the
        // connection stays open for the next one.
        static int headersSeen;
        if (*requestState == nullptr) {
            *requestState = &headersSeen;
            return MHD_YES;
        }
        if (std::strcmp(url, "/") == 0)
            return queueStatic(c, MHD_HTTP_OK, server.page_.html, "text/html; charset=utf-8");
        if (std::strcmp(url, "/app.js") == 0)
            return queueStatic(c, MHD_HTTP_OK, server.page_.js, "text/javascript; charset=utf-8");
        if (std::strcmp(url, "/live.json") == 0)
            return liveJson(server, c);
        return queueStatic(c, MHD_HTTP_NOT_FOUND, kNotFound, kText);
    }

    static MHD_Result liveJson(const LiveResultsServer& server, MHD_Connection* c) {
        auto snapshot = server.snapshots_.current();
        if (!snapshot)
            return queueStatic(c, MHD_HTTP_SERVICE_UNAVAILABLE, kNoContent, kText);
        const char* match = MHD_lookup_connection_value(c, MHD_HEADER_KIND, MHD_HTTP_HEADER_IF_NONE_MATCH);
        if (match && snapshot->etag == match) {
            MHD_Response* r = MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT);
            if (!r)
                return MHD_NO;
            addCommonHeaders(r, nullptr);
            MHD_add_response_header(r, MHD_HTTP_HEADER_ETAG, snapshot->etag.constData());
            return queue(c, MHD_HTTP_NOT_MODIFIED, r);
        }
        // The response keeps the snapshot alive until it is sent.
        auto* held = new std::shared_ptr<const LiveSnapshot>(std::move(snapshot));
        MHD_Response* r = MHD_create_response_from_buffer_with_free_callback_cls(
            size_t((*held)->json.size()), const_cast<char*>((*held)->json.constData()), &freeSnapshot, held);
        if (!r) {
            delete held;
            return MHD_NO;
        }
        addCommonHeaders(r, "application/json; charset=utf-8");
        MHD_add_response_header(r, MHD_HTTP_HEADER_ETAG, (*held)->etag.constData());
        return queue(c, MHD_HTTP_OK, r);
    }
};

LiveResultsServer::LiveResultsServer(const LiveSnapshotSlot& snapshots, LiveResultsPage page)
    : snapshots_(snapshots), page_(std::move(page)) {}

LiveResultsServer::~LiveResultsServer() {
    stop();
}

bool LiveResultsServer::start(const QString& address, quint16 port, QString* error) {
    stop();
    auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (!address.trimmed().isEmpty() &&
        inet_pton(AF_INET, address.trimmed().toLatin1().constData(), &addr.sin_addr) != 1)
        return fail(QStringLiteral("„%1“ není adresa IPv4").arg(address.trimmed()));

    // The socket is made here, so that a port that cannot be had gives its reason.
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 64) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return fail(reason);
    }
    sockaddr_in bound{};
    socklen_t boundLength = sizeof bound;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &boundLength);

    daemon_ = MHD_start_daemon(
        MHD_USE_EPOLL, 0, nullptr, nullptr, &LiveResultsRequest::handle, this,
        MHD_OPTION_LISTEN_SOCKET, MHD_socket(fd),
        MHD_OPTION_CONNECTION_LIMIT, kMaxConnections,
        MHD_OPTION_PER_IP_CONNECTION_LIMIT, kMaxPerAddress,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemory,
        MHD_OPTION_CONNECTION_TIMEOUT, kIdleSeconds,
        MHD_OPTION_END);
    if (!daemon_) {
        ::close(fd);
        return fail(QStringLiteral("HTTP server did not start"));
    }
    port_ = ntohs(bound.sin_port);
    stopping_ = false;
    loop_ = std::thread([this] {
        ApplyThreadPriority(kBelowNormal);
        while (!stopping_.load(std::memory_order_relaxed))
            MHD_run_wait(daemon_, kLoopWaitMs);
    });
    return true;
}

void LiveResultsServer::stop() {
    if (!daemon_)
        return;
    stopping_ = true;
    if (loop_.joinable())
        loop_.join();
    MHD_stop_daemon(daemon_);
    daemon_ = nullptr;
    port_ = 0;
}

} // namespace vartemo
