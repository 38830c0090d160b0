#include "platform/recordstreamport.h"

#include <QFile>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace vartemo {

namespace {
constexpr int kPollMs = 50;          // how soon a close is noticed
constexpr qsizetype kMaxQueued = 864000; // the decoder's input queue
} // namespace

RecordStreamPort::~RecordStreamPort() {
    close();
}

ModemStatusPort::OpenResult RecordStreamPort::open(const QString& device, int, int) {
    close();
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return OpenResult::Busy;
    termios tio{};
    if (ioctl(fd, TIOCEXCL) != 0 || tcgetattr(fd, &tio) != 0) {
        ::close(fd);
        return OpenResult::Busy;
    }
    cfmakeraw(&tio); // every byte as sent
    tcsetattr(fd, TCSANOW, &tio);
    tcflush(fd, TCIFLUSH);
    fd_ = fd;
    {
        std::lock_guard guard(lock_);
        records_.clear();
    }
    changed_.reset();
    running_ = true;
    reader_ = std::thread([this] { receive(); });
    return OpenResult::Opened;
}

void RecordStreamPort::close() {
    if (fd_ < 0)
        return;
    running_ = false;
    if (reader_.joinable())
        reader_.join();
    ::close(fd_);
    fd_ = -1;
}

QByteArray RecordStreamPort::takeRecords(std::optional<TimeUs>* newestAt) {
    if (newestAt)
        newestAt->reset();
    std::lock_guard guard(lock_);
    return std::exchange(records_, {});
}

void RecordStreamPort::receive() {
    char buffer[4096];
    while (running_) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, kPollMs) <= 0)
            continue;
        const ssize_t n = (p.revents & POLLIN) ? ::read(fd_, buffer, sizeof buffer) : 0;
        if (n <= 0) {
            // The other end is gone (a hang-up): wait for it, do not spin.
            std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
            continue;
        }
        {
            std::lock_guard guard(lock_);
            // A decoder that does not take them loses the oldest, never memory.
            if (records_.size() + n > kMaxQueued)
                records_.remove(0, records_.size() + n - kMaxQueued);
            records_.append(buffer, n);
        }
        changed_.set();
    }
}

} // namespace vartemo
