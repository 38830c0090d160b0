#pragma once

#include "platform/modemstatusport.h"

#include <QByteArray>
#include <atomic>
#include <mutex>
#include <thread>

namespace vartemo {

// An infrared receiver's port whose received bytes already are the
// modem-status records (0xFF 0x03 MSR ...), as the track simulator writes
// them into a pseudo-terminal: the station is tried against recorded or
// simulated receivers on machines without a real UART. The bytes are handed
// over unchanged; the decoder skips anything that is not a record.
class RecordStreamPort final : public ModemStatusPort {
public:
    RecordStreamPort() = default;
    ~RecordStreamPort() override;

    OpenResult open(const QString& device, int inputLine, int timerLine) override;
    void close() override;
    ThreadEvent& inputChanged() override { return changed_; }
    // A recorded stream says nothing of when its records happened: the
    // newest record's time is left unknown.
    QByteArray takeRecords(std::optional<TimeUs>* newestAt = nullptr) override;

private:
    void receive();

    int fd_ = -1;
    std::atomic<bool> running_{false};
    std::thread reader_;
    ThreadEvent changed_{true};
    std::mutex lock_;
    QByteArray records_;
};

} // namespace vartemo
