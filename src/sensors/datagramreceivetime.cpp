#include "sensors/datagramreceivetime.h"

#include <cstring>
#include <ctime>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vartemo {

void AskForReceiveTimes(int socketFd) {
    const int on = 1;
    setsockopt(socketFd, SOL_SOCKET, SO_TIMESTAMPNS, &on, sizeof on);
}

ReceiveStampKeeper::ReceiveStampKeeper() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    if (fd_ >= 0)
        AskForReceiveTimes(fd_);
}

ReceiveStampKeeper::~ReceiveStampKeeper() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::optional<qint64> ReceiveTimeNs(int socketFd, int flags) {
    char byte = 0;
    iovec iov{&byte, 1};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(timespec))];
    msghdr msg{};
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    if (recvmsg(socketFd, &msg, flags) < 0)
        return std::nullopt;
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c; c = CMSG_NXTHDR(&msg, c)) {
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_TIMESTAMPNS) {
            timespec ts{};
            std::memcpy(&ts, CMSG_DATA(c), sizeof ts);
            return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
        }
    }
    return std::nullopt;
}

qint64 RealtimeNowNs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

ClockPair ReadClockPair(const std::function<qint64()>& realtimeNs, const std::function<TimeUs()>& clockUs) {
    constexpr qint64 kCloseEnoughNs = 20'000;
    constexpr int kReads = 8;
    ClockPair best;
    qint64 bestWidthNs = -1;
    for (int i = 0; i < kReads && (bestWidthNs < 0 || bestWidthNs > kCloseEnoughNs); ++i) {
        const qint64 before = realtimeNs();
        const TimeUs clock = clockUs();
        const qint64 after = realtimeNs();
        const qint64 width = after - before;
        // A negative width is a wall clock stepped back between the reads.
        if (width >= 0 && (bestWidthNs < 0 || width < bestWidthNs)) {
            bestWidthNs = width;
            best = {before + width / 2, clock};
        } else if (bestWidthNs < 0) {
            best = {after, clock};
        }
    }
    return best;
}

} // namespace vartemo
