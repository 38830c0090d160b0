#pragma once

// A plain TCP client of an HTTP server on loopback, optionally from another
// loopback address, and the parts of an answer.

#include <QByteArray>
#include <QByteArrayList>
#include <QElapsedTimer>
#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

// A plain TCP client, optionally from a given loopback address.
class Client {
public:
    Client(quint16 port, const char* from = nullptr) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (from) {
            sockaddr_in local{};
            local.sin_family = AF_INET;
            inet_pton(AF_INET, from, &local.sin_addr);
            ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local);
        }
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&to), sizeof to) == 0;
    }
    ~Client() { ::close(fd_); }
    Client(const Client&) = delete;

    bool connected() const { return connected_; }
    // A send into a server that stopped reading gives up after this.
    void setSendTimeout(int ms) {
        const timeval t{ms / 1000, (ms % 1000) * 1000};
        ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &t, sizeof t);
    }
    void send(const QByteArray& bytes) {
        for (qsizetype sent = 0; sent < bytes.size();) {
            const ssize_t n = ::send(fd_, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
            if (n <= 0)
                return;
            sent += n;
        }
    }
    // Reads one answer: its head and the body of its Content-Length.
    QByteArray answer(int timeoutMs = 2000) {
        QByteArray in;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            const qsizetype head = in.indexOf("\r\n\r\n");
            if (head >= 0) {
                const qsizetype at = in.toLower().indexOf("content-length:");
                const qsizetype length = at < 0 ? 0 : in.mid(at + 15, in.indexOf("\r\n", at) - at - 15).trimmed().toLongLong();
                if (in.size() >= head + 4 + length)
                    return in;
            }
            if (!wait(50))
                continue;
            char buf[4096];
            const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            in.append(buf, n);
        }
        return in;
    }
    // True when the server closed the connection within the time.
    bool closedWithin(int ms) {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms) {
            if (!wait(20))
                continue;
            char c;
            const ssize_t n = ::recv(fd_, &c, 1, MSG_DONTWAIT);
            if (n == 0 || (n < 0 && errno != EAGAIN))
                return true;
        }
        return false;
    }

private:
    bool wait(int ms) {
        pollfd p{fd_, POLLIN, 0};
        return ::poll(&p, 1, ms) > 0;
    }
    int fd_ = -1;
    bool connected_ = false;
};

inline QByteArray get(const char* path, const QByteArray& extra = {}) {
    return QByteArray("GET ") + path + " HTTP/1.1\r\nHost: x\r\n" + extra + "\r\n";
}

inline int status(const QByteArray& answer) {
    return answer.mid(9, 3).toInt();
}

inline QByteArray header(const QByteArray& answer, const QByteArray& name) {
    for (const QByteArray& line : answer.left(answer.indexOf("\r\n\r\n")).split('\n'))
        if (line.toLower().startsWith(name.toLower() + ':'))
            return line.mid(name.size() + 1).trimmed();
    return {};
}

inline QByteArray body(const QByteArray& answer) {
    return answer.mid(answer.indexOf("\r\n\r\n") + 4);
}
