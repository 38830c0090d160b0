#pragma once

#include "core/clock.h"

#include <functional>
#include <optional>

namespace vartemo {

// Asks the kernel to stamp every datagram of the socket with its receive time.
void AskForReceiveTimes(int socketFd);

// Keeps the kernel stamping received datagrams for as long as it lives. The
// kernel turns stamps on for the whole machine a moment after the first
// socket asks, and off when the last one closes; a datagram that comes in
// that moment is stamped when it is read, however late that is. Made as the
// program starts, well before the sensors' sockets open, and kept to its end.
class ReceiveStampKeeper {
public:
    ReceiveStampKeeper();
    ~ReceiveStampKeeper();
    ReceiveStampKeeper(const ReceiveStampKeeper&) = delete;
    ReceiveStampKeeper& operator=(const ReceiveStampKeeper&) = delete;

private:
    int fd_ = -1;
};

// The kernel's receive time (CLOCK_REALTIME, ns) of the next datagram of the
// socket, read with recvmsg's flags (MSG_PEEK leaves the datagram to be read
// again). nullopt when nothing could be read or it carries no stamp.
std::optional<qint64> ReceiveTimeNs(int socketFd, int flags);

// CLOCK_REALTIME now, ns: the clock the receive times are on.
qint64 RealtimeNowNs();

// The wall clock (ns) and the race clock (us) as at one moment.
struct ClockPair {
    qint64 realtimeNs = 0;
    TimeUs clockUs = 0;
};

// Reads both clocks for turning a receive time into race time. The wall
// clock is read on both sides of the race clock: a thread held up between
// two reads (a busy machine) would move every passing of the batch by as
// long as it was held. Read again while the two wall-clock reads lie far
// apart; the narrowest pair's middle is taken.
ClockPair ReadClockPair(const std::function<qint64()>& realtimeNs, const std::function<TimeUs()>& clockUs);

} // namespace vartemo
