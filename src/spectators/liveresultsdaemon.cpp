#include "spectators/liveresultshttp.h"

#include "platform/threadpriority.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <microhttpd.h>
#include <set>
#include <string>
#include <thread>
#include <unordered_map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vartemo {

namespace {

// How long one wait of the loop lasts at most: the stop is seen this soon.
constexpr unsigned kLoopWaitMs = 100;
// A priority level below normal (nice 5).
constexpr int kBelowNormal = -1;

void addCommonHeaders(MHD_Response* r, const char* contentType) {
    MHD_add_response_header(r, "Cache-Control", "no-store");
    MHD_add_response_header(r, "X-Content-Type-Options", "nosniff");
    MHD_add_response_header(r, "Content-Security-Policy", LiveResultsServer::kContentSecurityPolicy);
    MHD_add_response_header(r, "Referrer-Policy", "no-referrer");
    MHD_add_response_header(r, "X-Frame-Options", "DENY");
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

// What the server knows of one connection.
struct ConnectionState {
    quint32 address = 0; // IPv4, host order; 0: another kind
    std::chrono::steady_clock::time_point since;
    bool requested = false; // a request came in whole
};

quint32 AddressOf(const sockaddr* addr) {
    if (!addr || addr->sa_family != AF_INET)
        return 0;
    return ntohl(reinterpret_cast<const sockaddr_in*>(addr)->sin_addr.s_addr);
}

QString AddressText(quint32 address) {
    const in_addr a{htonl(address)};
    char text[INET_ADDRSTRLEN] = {};
    return QString::fromLatin1(inet_ntop(AF_INET, &a, text, sizeof text));
}

QString ClientText(MHD_Connection* c) {
    const MHD_ConnectionInfo* info = MHD_get_connection_info(c, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    return AddressText(info ? AddressOf(info->client_addr) : 0);
}

} // namespace

// The server library's daemon on a socket of its own; see LiveResultsServer
// for what it answers and what it refuses.
class LiveResultsDaemon final : public LiveResultsHttp {
public:
    LiveResultsDaemon(const LiveSnapshotSlot& snapshots, LiveResultsPage page, LiveResultsServer::Notice notice)
        : snapshots_(snapshots), page_(std::move(page)), notice_(std::move(notice)) {}
    ~LiveResultsDaemon() override { stop(); }

    bool start(const QString& address, quint16 port, QString* error) override;
    void stop() override;
    bool running() const override { return daemon_ != nullptr; }
    quint16 port() const override { return port_; }

private:
    // The notice of a kind of refusal, the first time only (server's thread).
    void tell(const std::string& kind, const QString& text);

    const LiveSnapshotSlot& snapshots_;
    const LiveResultsPage page_;
    const LiveResultsServer::Notice notice_;
    MHD_Daemon* daemon_ = nullptr;
    std::thread loop_;
    std::atomic<bool> stopping_{false};
    quint16 port_ = 0;
    // Touched on the server's thread only.
    std::unordered_map<quint32, unsigned> perAddress_;
    std::set<std::string> told_;

    friend struct LiveResultsRequest;
};

// The answer to one request, on the server's thread.
struct LiveResultsRequest {
    static MHD_Result handle(void* cls, MHD_Connection* c, const char* url, const char* method,
                             const char* /*version*/, const char* /*uploadData*/, size_t* uploadSize,
                             void** requestState) {
        auto& server = *static_cast<LiveResultsDaemon*>(cls);
        if (const MHD_ConnectionInfo* info = MHD_get_connection_info(c, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
            info && info->socket_context)
            static_cast<ConnectionState*>(info->socket_context)->requested = true;
        // Refused at once: the connection closes, nothing of a body is read.
        if (std::strcmp(method, MHD_HTTP_METHOD_GET) != 0) {
            server.tell("method", QStringLiteral("Webové výsledky: požadavek %1 od %2 odmítnut, stránka bere jen GET; "
                                                 "další takové se nezapisují")
                                      .arg(QString::fromLatin1(method).left(16), ClientText(c)));
            return queueStatic(c, MHD_HTTP_METHOD_NOT_ALLOWED, kNotAllowed, kText, "GET");
        }
        if (*uploadSize != 0 || hasBody(c)) {
            server.tell("body", QStringLiteral("Webové výsledky: požadavek GET s tělem od %1 odmítnut bez čtení těla; "
                                               "další takové se nezapisují")
                                    .arg(ClientText(c)));
            return queueStatic(c, MHD_HTTP_CONTENT_TOO_LARGE, kTooLarge, kText);
        }
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

    // Before a connection is taken: more than kMaxPerAddress from one
    // address are closed at once.
    static MHD_Result accept(void* cls, const sockaddr* addr, socklen_t /*length*/) {
        auto& server = *static_cast<LiveResultsDaemon*>(cls);
        const quint32 address = AddressOf(addr);
        const auto held = server.perAddress_.find(address);
        if (held == server.perAddress_.end() || held->second < LiveResultsServer::kMaxPerAddress)
            return MHD_YES;
        server.tell("address", QStringLiteral("Webové výsledky: adresa %1 chce víc než %2 spojení najednou, "
                                              "další jsou zavírána; dále se nezapisuje")
                                   .arg(AddressText(address)).arg(LiveResultsServer::kMaxPerAddress));
        return MHD_NO;
    }

    static void connection(void* cls, MHD_Connection* c, void** socketContext,
                           MHD_ConnectionNotificationCode code) {
        auto& server = *static_cast<LiveResultsDaemon*>(cls);
        const auto now = std::chrono::steady_clock::now();
        if (code == MHD_CONNECTION_NOTIFY_STARTED) {
            const MHD_ConnectionInfo* info = MHD_get_connection_info(c, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
            auto* state = new ConnectionState{info ? AddressOf(info->client_addr) : 0, now, false};
            ++server.perAddress_[state->address];
            *socketContext = state;
            return;
        }
        std::unique_ptr<ConnectionState> state(static_cast<ConnectionState*>(*socketContext));
        *socketContext = nullptr;
        if (!state)
            return;
        if (const auto held = server.perAddress_.find(state->address);
            held != server.perAddress_.end() && --held->second == 0)
            server.perAddress_.erase(held);
        if (!state->requested && now - state->since >= std::chrono::seconds(LiveResultsServer::kIdleSeconds))
            server.tell("idle", QStringLiteral("Webové výsledky: spojení z %1 neposlalo celý požadavek a po %2 s "
                                               "nečinnosti bylo zavřeno; další taková se nezapisují")
                                    .arg(AddressText(state->address)).arg(LiveResultsServer::kIdleSeconds));
    }

    // The server library's own reports (a header too large, a client gone
    // in the middle): each text once.
    static void log(void* cls, const char* format, va_list arguments) {
        auto& server = *static_cast<LiveResultsDaemon*>(cls);
        if (server.told_.count(format))
            return;
        char text[512];
        std::vsnprintf(text, sizeof text, format, arguments);
        server.tell(format, QStringLiteral("Webové výsledky: %1; dále se nezapisuje")
                                .arg(QString::fromLocal8Bit(text).simplified()));
    }

    static MHD_Result liveJson(const LiveResultsDaemon& server, MHD_Connection* c) {
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

bool LiveResultsDaemon::start(const QString& address, quint16 port, QString* error) {
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

    perAddress_.clear();
    daemon_ = MHD_start_daemon(
        MHD_USE_EPOLL | MHD_USE_ERROR_LOG, 0, &LiveResultsRequest::accept, this, &LiveResultsRequest::handle, this,
        MHD_OPTION_EXTERNAL_LOGGER, &LiveResultsRequest::log, this, // first, so that every report comes here
        MHD_OPTION_LISTEN_SOCKET, MHD_socket(fd),
        MHD_OPTION_CONNECTION_LIMIT, LiveResultsServer::kMaxConnections,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, LiveResultsServer::kConnectionMemory,
        MHD_OPTION_CONNECTION_TIMEOUT, LiveResultsServer::kIdleSeconds,
        MHD_OPTION_NOTIFY_CONNECTION, &LiveResultsRequest::connection, this,
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

void LiveResultsDaemon::tell(const std::string& kind, const QString& text) {
    if (told_.insert(kind).second && notice_)
        notice_(text);
}

void LiveResultsDaemon::stop() {
    if (!daemon_)
        return;
    stopping_ = true;
    if (loop_.joinable())
        loop_.join();
    MHD_stop_daemon(daemon_);
    daemon_ = nullptr;
    port_ = 0;
}

std::unique_ptr<LiveResultsHttp> MakeLiveResultsDaemon(const LiveSnapshotSlot& snapshots,
                                                       const LiveResultsPage& page,
                                                       LiveResultsServer::Notice notice) {
    return std::make_unique<LiveResultsDaemon>(snapshots, page, std::move(notice));
}

} // namespace vartemo
