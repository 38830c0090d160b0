#pragma once

#include <QtGlobal>
#include <optional>

namespace vartemo {

// Asks the kernel to stamp every datagram of the socket with its receive time.
void AskForReceiveTimes(int socketFd);

// The kernel's receive time (CLOCK_REALTIME, ns) of the next datagram of the
// socket, read with recvmsg's flags (MSG_PEEK leaves the datagram to be read
// again). nullopt when nothing could be read or it carries no stamp.
std::optional<qint64> ReceiveTimeNs(int socketFd, int flags);

// CLOCK_REALTIME now, ns: the clock the receive times are on.
qint64 RealtimeNowNs();

} // namespace vartemo
