#pragma once

// Abuse of a running station from outside, each on a thread of its own: a
// flood of datagrams that are no passing, and clients of the live results
// page that hold connections, dawdle, or send too much; and a phone that
// keeps asking the page for the results and times each answer.

#include "support/rawhttpclient.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>

#include <atomic>
#include <ctime>
#include <memory>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace hostile {

inline sockaddr_in Loopback(const char* address, quint16 port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    inet_pton(AF_INET, address, &a.sin_addr);
    return a;
}

// Sleeps until `next` (monotonic) and moves it on by stepNs.
inline void SleepStep(timespec& next, long stepNs) {
    next.tv_nsec += stepNs;
    while (next.tv_nsec >= 1'000'000'000) {
        next.tv_nsec -= 1'000'000'000;
        ++next.tv_sec;
    }
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
}

// Work on a thread of its own until stop() (or the end of the object).
class Background {
public:
    virtual ~Background() = default;
    void stop() {
        stopping_ = true;
        if (thread_.joinable())
            thread_.join();
    }

protected:
    template <typename Work>
    void begin(Work work) {
        thread_ = std::thread(std::move(work));
    }
    bool stopping() const { return stopping_; }

private:
    std::thread thread_;
    std::atomic<bool> stopping_{false};
};

// Random bytes of random, mostly wrong lengths (empty, a few bytes, longer
// than any code, the largest datagram), at perSecond to port from each of
// the addresses in turn. A kart code "K0n" never appears in them: that
// would be a split by the sensors' own rules, not junk.
class UdpFlood : public Background {
public:
    UdpFlood(quint16 port, const std::vector<const char*>& from, int perSecond) : to_(Loopback("127.0.0.1", port)) {
        for (const char* address : from) {
            const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            const sockaddr_in local = Loopback(address, 0);
            ::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local);
            sockets_.push_back(fd);
        }
        begin([this, perSecond] { run(perSecond); });
    }
    ~UdpFlood() override {
        stop();
        for (int fd : sockets_)
            ::close(fd);
    }
    long sent() const { return sent_; }
    long wrongLength() const { return wrongLength_; }

private:
    static QByteArray Payload(std::mt19937& random) {
        const int kind = int(random() % 100);
        const int length = kind < 10 ? 0 : kind < 20 ? int(1 + random() % 3) : kind < 70 ? int(4 + random() % 252)
                         : kind < 99 ? int(256 + random() % 1800) : 65507;
        QByteArray bytes(length, '\0');
        for (char& c : bytes)
            c = char(random());
        for (qsizetype at = bytes.indexOf("K0"); at >= 0; at = bytes.indexOf("K0", at + 1))
            bytes[at] = 'k';
        return bytes;
    }
    void run(int perSecond) {
        std::mt19937 random(20261211);
        timespec next{};
        clock_gettime(CLOCK_MONOTONIC, &next);
        const int perMs = perSecond / 1000;
        size_t from = 0;
        while (!stopping()) {
            for (int i = 0; i < perMs; ++i) {
                const QByteArray payload = Payload(random);
                const int fd = sockets_[from++ % sockets_.size()];
                if (::sendto(fd, payload.constData(), size_t(payload.size()), 0, reinterpret_cast<const sockaddr*>(&to_),
                             sizeof to_) >= 0) {
                    ++sent_;
                    wrongLength_ += payload.isEmpty() || payload.size() > 255;
                }
            }
            SleepStep(next, 1'000'000);
        }
    }

    sockaddr_in to_;
    std::vector<int> sockets_;
    std::atomic<long> sent_{0};
    std::atomic<long> wrongLength_{0};
};

// 500 idle connections from five addresses, eight slow-header clients, and
// every second a 1 MB header, a 10 MB POST body and a GET with a 10 MB body,
// each from an address of its own.
class HttpAbuse : public Background {
public:
    explicit HttpAbuse(quint16 port) : port_(port) {
        begin([this] { run(); });
    }
    ~HttpAbuse() override { stop(); }
    // The status of every answer to the oversized requests.
    QList<int> statuses() const {
        std::lock_guard<std::mutex> hold(lock_);
        return statuses_;
    }
    int idleOpened() const { return idleOpened_; }

private:
    void answered(int status) {
        std::lock_guard<std::mutex> hold(lock_);
        statuses_ << status;
    }
    void oversized() {
        const QByteArray huge(10 * 1024 * 1024, 'b');
        const struct {
            const char* from;
            QByteArray request;
        } requests[] = {
            {"127.0.0.26", "GET / HTTP/1.1\r\nHost: x\r\nX-Big: " + QByteArray(1024 * 1024, 'a') + "\r\n\r\n"},
            {"127.0.0.27", "POST /live.json HTTP/1.1\r\nHost: x\r\nContent-Length: 10485760\r\n\r\n" + huge},
            {"127.0.0.28", "GET /live.json HTTP/1.1\r\nHost: x\r\nContent-Length: 10485760\r\n\r\n" + huge},
        };
        for (const auto& r : requests) {
            Client client(port_, r.from);
            client.setSendTimeout(2000);
            client.send(r.request);
            answered(status(client.answer(2000)));
        }
    }
    void run() {
        std::vector<std::unique_ptr<Client>> idle;
        for (int i = 0; i < 500; ++i) {
            const QByteArray from = "127.0.0." + QByteArray::number(20 + i % 5);
            idle.push_back(std::make_unique<Client>(port_, from.constData()));
            idleOpened_ += idle.back()->connected();
        }
        std::vector<std::unique_ptr<Client>> slow;
        for (int i = 0; i < 8; ++i) {
            slow.push_back(std::make_unique<Client>(port_, "127.0.0.25"));
            slow.back()->send("GET /live.json HTTP/1.1\r\nHost: x\r\nX-Slow: ");
        }
        QElapsedTimer sinceOversized;
        sinceOversized.start();
        oversized();
        while (!stopping()) {
            for (auto& client : slow)
                client->send("s");
            if (sinceOversized.elapsed() >= 1000) {
                oversized();
                sinceOversized.restart();
            }
            for (int i = 0; i < 5 && !stopping(); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }

    quint16 port_;
    std::atomic<int> idleOpened_{0};
    mutable std::mutex lock_;
    QList<int> statuses_;
};

// A phone in the stands: every 100 ms a connection of its own from
// 127.0.0.2 asks for /live.json; each answer timed from the connect.
class PageWatch : public Background {
public:
    explicit PageWatch(quint16 port) : port_(port) {
        begin([this] { run(); });
    }
    ~PageWatch() override { stop(); }
    int asked() const { return asked_; }
    int answered() const { return answered_; }
    double worstMs() const { return worstUs_ / 1000.0; }

private:
    void run() {
        timespec next{};
        clock_gettime(CLOCK_MONOTONIC, &next);
        while (!stopping()) {
            QElapsedTimer t;
            t.start();
            Client phone(port_, "127.0.0.2");
            phone.send(get("/live.json", "Connection: close\r\n"));
            const QByteArray answer = phone.answer(2000);
            const long us = long(t.nsecsElapsed() / 1000);
            ++asked_;
            if (status(answer) == 200) {
                ++answered_;
                worstUs_ = std::max<long>(worstUs_, us);
            } else {
                worstUs_ = std::max<long>(worstUs_, 2'000'000);
            }
            SleepStep(next, 100'000'000);
        }
    }

    quint16 port_;
    std::atomic<int> asked_{0};
    std::atomic<int> answered_{0};
    std::atomic<long> worstUs_{0};
};

} // namespace hostile
