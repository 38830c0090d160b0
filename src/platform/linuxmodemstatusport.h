#pragma once

#include "platform/modemstatusport.h"

#include <QByteArray>
#include <atomic>
#include <mutex>
#include <thread>

namespace vartemo {

// The Linux way to the modem-status stream: a capture thread waits on
// TIOCMIWAIT for a change of the input line, then reads the interrupt
// counters (TIOCGICOUNT) to learn how many times the timer line changed
// since, and writes that many timer records followed by the input record,
// noting the monotonic time of the wake-up.
// A writer thread keeps the transmit queue full of "U". Needs a real UART
// (pseudo-terminals and most USB adapters cannot count line changes).
class LinuxModemStatusPort final : public ModemStatusPort {
public:
    LinuxModemStatusPort();
    ~LinuxModemStatusPort() override;

    OpenResult open(const QString& device, int inputLine, int timerLine) override;
    void close() override;
    ThreadEvent& inputChanged() override { return changed_; }
    QByteArray takeRecords(std::optional<TimeUs>* newestAt = nullptr) override;

    // The records of one wake-up: the timer line changed timerChanges times,
    // then the input line inputChanges times; the levels are those read now.
    static QByteArray RecordsForChanges(int timerChanges, int inputChanges, bool inputOn,
                                        bool timerOn, int inputLine, int timerLine);

private:
    void capture();
    void keepTransmitting();
    void stopThreads();

    int fd_ = -1;
    int inputLine_ = 1;
    int timerLine_ = 2;
    std::atomic<bool> running_{false};
    std::thread captureThread_;
    std::thread writerThread_;
    ThreadEvent changed_{true};
    std::mutex lock_;
    QByteArray records_;
    std::optional<TimeUs> newestAt_; // the wake-up that wrote the newest records
};

} // namespace vartemo
