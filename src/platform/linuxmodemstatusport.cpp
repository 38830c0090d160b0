#include "platform/linuxmodemstatusport.h"

#include "platform/modemline.h"

#include <QFile>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <linux/serial.h>
#include <mutex>
#include <pthread.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace vartemo {

namespace {

constexpr int kTransmitQueue = 2880;

// The capture thread sleeps in TIOCMIWAIT, which only a signal interrupts.
int WakeSignal() {
    static const int sig = [] {
        struct sigaction sa {};
        sa.sa_handler = [](int) {};
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = 0; // no SA_RESTART: the ioctl returns EINTR
        sigaction(SIGRTMIN + 3, &sa, nullptr);
        return SIGRTMIN + 3;
    }();
    return sig;
}

int TiocmBit(int line) {
    switch (line) {
    case 0: return TIOCM_CTS;
    case 2: return TIOCM_CD;
    default: return TIOCM_DSR;
    }
}

int Count(const serial_icounter_struct& c, int line) {
    switch (line) {
    case 0: return c.cts;
    case 2: return c.dcd;
    default: return c.dsr;
    }
}

} // namespace

LinuxModemStatusPort::LinuxModemStatusPort() {
    WakeSignal();
}

LinuxModemStatusPort::~LinuxModemStatusPort() {
    close();
}

ModemStatusPort::OpenResult LinuxModemStatusPort::open(const QString& device, int inputLine,
                                                       int timerLine) {
    close();
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return OpenResult::Busy;
    termios tio{};
    if (ioctl(fd, TIOCEXCL) != 0 || tcgetattr(fd, &tio) != 0) {
        ::close(fd);
        return OpenResult::Busy;
    }
    cfmakeraw(&tio);
    cfsetispeed(&tio, B9600);
    cfsetospeed(&tio, B9600);
    tio.c_cflag &= ~tcflag_t(CSTOPB | PARENB | CRTSCTS | CSIZE);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    tcsetattr(fd, TCSANOW, &tio);
    const int dtr = TIOCM_DTR;
    const int rts = TIOCM_RTS;
    ioctl(fd, TIOCMBIS, &dtr);
    ioctl(fd, TIOCMBIS, &rts);
    serial_icounter_struct counters{};
    if (ioctl(fd, TIOCGICOUNT, &counters) != 0) {
        ::close(fd);
        return OpenResult::CaptureFailed;
    }
    tcflush(fd, TCIOFLUSH);

    fd_ = fd;
    inputLine_ = inputLine;
    timerLine_ = timerLine;
    {
        std::lock_guard guard(lock_);
        records_.clear();
    }
    changed_.reset();
    running_ = true;
    writerThread_ = std::thread([this] { keepTransmitting(); });
    captureThread_ = std::thread([this] { capture(); });
    return OpenResult::Opened;
}

void LinuxModemStatusPort::stopThreads() {
    running_ = false;
    if (writerThread_.joinable())
        writerThread_.join();
    if (captureThread_.joinable()) {
        // Repeat the wake-up until the thread has left its wait: the signal
        // may arrive just before it enters the ioctl.
        std::atomic<bool> joined{false};
        std::thread waker([&] {
            while (!joined) {
                pthread_kill(captureThread_.native_handle(), WakeSignal());
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        });
        captureThread_.join();
        joined = true;
        waker.join();
    }
}

void LinuxModemStatusPort::close() {
    if (fd_ < 0)
        return;
    stopThreads();
    const int lines = TIOCM_DTR | TIOCM_RTS;
    ioctl(fd_, TIOCMBIC, &lines);
    ::close(fd_);
    fd_ = -1;
}

QByteArray LinuxModemStatusPort::takeRecords(std::optional<TimeUs>* newestAt) {
    std::lock_guard guard(lock_);
    if (newestAt)
        *newestAt = newestAt_;
    newestAt_.reset();
    return std::exchange(records_, {});
}

void LinuxModemStatusPort::keepTransmitting() {
    const QByteArray fill(kTransmitQueue, 'U');
    while (running_) {
        int queued = 0;
        if (ioctl(fd_, TIOCOUTQ, &queued) == 0 && queued < kTransmitQueue) {
            const ssize_t written = ::write(fd_, fill.constData(), size_t(kTransmitQueue - queued));
            (void)written; // a full queue (EAGAIN) is topped up next time
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

QByteArray LinuxModemStatusPort::RecordsForChanges(int timerChanges, int inputChanges, bool inputOn,
                                                  bool timerOn, int inputLine, int timerLine) {
    const ModemLine& input = ModemLineFor(inputLine);
    const ModemLine& timer = ModemLineFor(timerLine);
    QByteArray out;
    auto record = [&](bool in, bool tim, quint8 delta) {
        quint8 m = delta;
        if (in)
            m |= input.statusBit;
        if (tim)
            m |= timer.statusBit;
        out.append(char(kStreamEscape)).append(char(kRecordModemStatus)).append(char(m));
    };
    // The timer changes happened before the input changes; the levels in
    // between are rebuilt backwards from the present ones.
    bool tim = (timerChanges % 2) ? !timerOn : timerOn;
    const bool inputBefore = (inputChanges % 2) ? !inputOn : inputOn;
    for (int i = 0; i < timerChanges; ++i) {
        tim = !tim;
        record(inputBefore, tim, timer.deltaBit);
    }
    bool in = inputBefore;
    for (int i = 0; i < inputChanges; ++i) {
        in = !in;
        record(in, tim, input.deltaBit);
    }
    return out;
}

void LinuxModemStatusPort::capture() {
    serial_icounter_struct last{};
    ioctl(fd_, TIOCGICOUNT, &last);
    while (running_) {
        if (ioctl(fd_, TIOCMIWAIT, TiocmBit(inputLine_)) != 0 && errno != EINTR)
            break;
        // The input line changed just now: the newest record's time.
        const TimeUs wokeAt = SteadyClock().nowUs();
        serial_icounter_struct now{};
        int status = 0;
        if (ioctl(fd_, TIOCGICOUNT, &now) != 0 || ioctl(fd_, TIOCMGET, &status) != 0)
            break;
        const int timerChanges = Count(now, timerLine_) - Count(last, timerLine_);
        const int inputChanges = Count(now, inputLine_) - Count(last, inputLine_);
        last = now;
        if (inputChanges <= 0 && timerChanges <= 0)
            continue;

        const QByteArray out = RecordsForChanges(timerChanges, inputChanges,
                                                 status & TiocmBit(inputLine_),
                                                 status & TiocmBit(timerLine_), inputLine_, timerLine_);
        {
            std::lock_guard guard(lock_);
            // Bounded: without a reader for a minute the oldest records go.
            if (records_.size() > 3 * 9600 * 60)
                records_.clear();
            records_ += out;
            newestAt_ = wokeAt;
        }
        if (inputChanges > 0)
            changed_.set();
    }
}

} // namespace vartemo
