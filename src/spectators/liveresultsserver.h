#pragma once

#include "spectators/livesnapshot.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>
#include <set>
#include <string>
#include <unordered_map>
#include <thread>

struct MHD_Daemon;

namespace vartemo {

// The files of the spectators' page, read once and served from memory.
struct LiveResultsPage {
    QByteArray html; // "/"
    QByteArray js;   // "/app.js"
    // The page as the program carries it (its resources).
    static LiveResultsPage FromResources();
};

// The read-only HTTP server of the live results page. Its loop runs in a
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

    LiveResultsServer(const LiveSnapshotSlot& snapshots, LiveResultsPage page);
    ~LiveResultsServer();
    LiveResultsServer(const LiveResultsServer&) = delete;
    LiveResultsServer& operator=(const LiveResultsServer&) = delete;

    // Listens on address (an IPv4 address; empty: every one) and port (0:
    // any free one). False with the system's reason when it cannot.
    bool start(const QString& address, quint16 port, QString* error);
    // Ends the loop and closes every connection.
    void stop();
    bool running() const { return daemon_ != nullptr; }
    // Set before start().
    void setNotice(Notice notice) { notice_ = std::move(notice); }
    quint16 port() const { return port_; }

private:
    // The notice of a kind of refusal, the first time only (server's thread).
    void tell(const std::string& kind, const QString& text);

    const LiveSnapshotSlot& snapshots_;
    const LiveResultsPage page_;
    MHD_Daemon* daemon_ = nullptr;
    std::thread loop_;
    std::atomic<bool> stopping_{false};
    quint16 port_ = 0;
    Notice notice_;
    // Touched on the server's thread only.
    std::unordered_map<quint32, unsigned> perAddress_;
    std::set<std::string> told_;

    friend struct LiveResultsRequest;
};

} // namespace vartemo
