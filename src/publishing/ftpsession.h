#pragma once

#include "publishing/ftpendpoint.h"

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

namespace vartemo {

// What a session tells its FTP client while a request runs.
struct FtpSessionHooks {
    // True: the running request ends at once.
    std::function<bool()> aborted;
    // The bytes of a PUT sent so far, at most every 100 ms.
    std::function<void(qint64 bytes)> progress;
};

// One control connection of a sending run, in the transfer library that
// sits in the FTP module. It lives on the FTP client's worker thread.
// Destroying it ends the connection (QUIT).
class FtpSession {
public:
    virtual ~FtpSession() = default;

    // Connects to server ("ftp://host:port": the server, or the gateway
    // under Proxy::FtpGateway) and logs in as the endpoint says. On failure
    // *error holds the server's refusal or the library's text; the session
    // is then of no further use.
    virtual bool open(const FtpEndpoint& endpoint, const QByteArray& server, QString* error) = 0;

    enum class PutResult { Sent, Refused, ConnectionLost };
    // STOR of file as folder/temporary, then RNFR temporary, RNTO remoteName.
    virtual PutResult put(QIODevice& file, qint64 size, const QString& folder, const QString& temporary,
                          const QString& remoteName, qint64* sent, QString* error) = 0;

    // The QUIT sent when the session is destroyed waits at most this long for its reply.
    virtual void limitQuitWait(long seconds) = 0;
};

// The FTP module and its entry function, of type MakeFtpSession.
inline constexpr char kFtpModule[] = "vartemo_ftp";
inline constexpr char kFtpModuleEntry[] = "vartemo_make_ftp_session";
using MakeFtpSession = FtpSession* (*)(FtpTimeouts timeouts, FtpSessionHooks hooks);

} // namespace vartemo
