#pragma once

#include "publishing/ftpendpoint.h"
#include "publishing/ftpsession.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace vartemo {

enum class FtpRequest { Connect, Put, Quit };
enum class FtpState { Ready, Connecting, Connected };

// What came of one request.
struct FtpReply {
    FtpRequest request = FtpRequest::Connect;
    bool ok = false;
    // On failure: the server's last refusing reply ("530 Login incorrect."),
    // else the transfer library's own text. Never holds a password.
    QString error;
    qint64 bytes = 0; // bytes sent by a PUT
};

// The FTP client of a sending run: requests queue up and run in order on a
// thread of its own, on one session and so one control connection for the
// whole session (libcurl's, in the FTP module loaded at the first Connect); progress, completions and state changes come back
// as signals on the thread that owns the client.
//
// A PUT goes up under a temporary name in its folder and is renamed to its
// name (RNFR/RNTO) only after the server confirmed the transfer with 226, so
// the published file is either the old one or the new one whole.
class FtpClient : public QObject {
    Q_OBJECT
public:
    // Makes the session of a Connect on the worker thread; null with the
    // reason in *error when it cannot.
    using SessionFactory =
        std::function<std::unique_ptr<FtpSession>(FtpTimeouts timeouts, FtpSessionHooks hooks, QString* error)>;

    // sessions: by default the FTP module's.
    explicit FtpClient(FtpTimeouts timeouts = {}, QObject* parent = nullptr, SessionFactory sessions = {});
    ~FtpClient() override;

    // Opens the control connection and logs in (a gateway's login and SITE
    // included). A session open already is ended first.
    void Connect(const FtpEndpoint& endpoint);
    // TYPE I, CWD to the folder (relative to the login folder; empty: the
    // login folder itself), STOR of the local file, rename to remoteName.
    void Put(const QString& folder, const QString& localFile, const QString& remoteName);
    // Ends the session (QUIT).
    void Quit();
    // Ends the running request at once and drops the queued ones; the
    // session is closed without waiting for the server.
    void Abort();

    bool connected() const { return connected_; }
    // The temporary name a file goes up under before its rename.
    static QString TemporaryName(const QString& remoteName);

signals:
    void progress(qint64 bytes);
    void requestDone(vartemo::FtpReply reply);
    void stateChanged(vartemo::FtpState state);
    void sessionClosed();

private:
    void post(std::function<void()> work);
    void run();
    void connectNow(const FtpEndpoint& endpoint);
    void putNow(const QString& folder, const QString& localFile, const QString& remoteName);
    void quitNow(bool tellServer);
    void report(FtpReply reply);
    void setState(FtpState state);
    FtpSessionHooks hooks();

    FtpTimeouts timeouts_;
    SessionFactory sessions_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> queue_;
    bool stopping_ = false;
    std::atomic<bool> abort_{false};
    std::atomic<bool> connected_{false};
    // Only the worker touches the session.
    std::unique_ptr<FtpSession> session_;
    std::thread worker_;
};

} // namespace vartemo

Q_DECLARE_METATYPE(vartemo::FtpReply)
Q_DECLARE_METATYPE(vartemo::FtpState)
