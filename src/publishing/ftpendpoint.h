#pragma once

#include <QString>

namespace vartemo {

// Where a sending run connects and how it logs in: the server, and the proxy
// it may go through.
struct FtpEndpoint {
    FtpEndpoint() = default;
    FtpEndpoint(const FtpEndpoint&) = default;
    FtpEndpoint& operator=(const FtpEndpoint&) = default;
    // The last holder of the passwords overwrites them.
    ~FtpEndpoint();

    enum class Proxy {
        None,       // straight to the server; proxy variables of the environment are ignored
        Http,       // the FTP session tunnelled through an HTTP proxy by CONNECT
        FtpGateway, // log in to the gateway as its user, then SITE host, USER, PASS
    };
    QString host; // "name" or "name:port" (21 without)
    QString user;
    QString password;
    Proxy proxy = Proxy::None;
    QString proxyHost;
    QString proxyPort;
    QString proxyUser;
    QString proxyPassword;
};

// "name:port", "[v6]:port" or a bare name: the name and the port (21 when
// none is given). A port that is not a number 1..65535 gives port 0.
struct HostAndPort {
    QString name;
    int port = 21;
};
HostAndPort SplitHostPort(const QString& text, int defaultPort = 21);

// How long a request may wait: for the connection, and for a reply or data
// moving once connected.
struct FtpTimeouts {
    int connectSeconds = 15;
    int responseSeconds = 90;
};

} // namespace vartemo
