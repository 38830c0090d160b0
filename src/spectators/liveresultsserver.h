#pragma once

#include "spectators/livesnapshot.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

namespace vartemo {

// The files of the spectators' page, read once and served from memory.
struct LiveResultsPage {
    QByteArray html; // "/"
    QByteArray js;   // "/app.js"
    // The page as the program carries it (its resources).
    static LiveResultsPage FromResources();
};

class LiveResultsHttp;

// The read-only HTTP server of the live results page. The HTTP library sits
// in the page's server module, loaded at the first start (a station that
// does not serve the page never loads it). Its loop runs in a
// thread of its own below normal priority; a request takes the current
// snapshot from the slot and is answered from memory, touching nothing else
// of the station. GET only, small requests, a bounded number of clients:
// - at most kMaxConnections connections, kMaxPerAddress of them from one
//   address (more are closed at once);
// - a request line and headers within kConnectionMemory (a longer path gets
//   414, longer headers 431, and the connection closes);
// - no body: another method gets 405, a GET with a body 413, and the
//   connection closes without reading it;
// - a connection idle for kIdleSeconds is closed.
// Each kind of refusal is told once per run through the notice.
class LiveResultsServer {
public:
    static constexpr unsigned kMaxConnections = 64;
    static constexpr unsigned kMaxPerAddress = 8;
    static constexpr size_t kConnectionMemory = 16 * 1024;
    static constexpr unsigned kIdleSeconds = 10;

    // What a phone's browser lets the page do: its own script and its own
    // results, nothing inline, no plug-ins, frames, forms or other servers.
    static constexpr const char* kContentSecurityPolicy =
        "default-src 'none'; script-src 'self'; connect-src 'self'; style-src 'self'; img-src 'self'; "
        "base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

    // Called on the server's thread, once per kind of refusal.
    using Notice = std::function<void(const QString& text)>;

    // Makes the HTTP side at the first start; null with the reason in *error.
    using HttpFactory = std::function<std::unique_ptr<LiveResultsHttp>(
        const LiveSnapshotSlot& snapshots, const LiveResultsPage& page, Notice notice, QString* error)>;

    // http: by default the module's.
    LiveResultsServer(const LiveSnapshotSlot& snapshots, LiveResultsPage page, HttpFactory http = {});
    ~LiveResultsServer();
    LiveResultsServer(const LiveResultsServer&) = delete;
    LiveResultsServer& operator=(const LiveResultsServer&) = delete;

    // Listens on address (an IPv4 address; empty: every one) and port (0:
    // any free one). False with the system's reason when it cannot, or
    // the module's when that cannot be loaded.
    bool start(const QString& address, quint16 port, QString* error);
    // Ends the loop and closes every connection.
    void stop();
    bool running() const;
    // Set before start().
    void setNotice(Notice notice) { notice_ = std::move(notice); }
    quint16 port() const;

private:
    const LiveSnapshotSlot& snapshots_;
    const LiveResultsPage page_;
    const HttpFactory makeHttp_;
    Notice notice_;
    std::unique_ptr<LiveResultsHttp> http_;
};

} // namespace vartemo
