#include "platform/modemstatusport.h"

namespace vartemo {

ModemStatusPort::OpenResult FakeModemStatusPort::open(const QString& device, int, int) {
    std::lock_guard guard(lock_);
    openedDevice = device;
    ++opens;
    isOpen = result == OpenResult::Opened;
    return result;
}

void FakeModemStatusPort::close() {
    std::lock_guard guard(lock_);
    isOpen = false;
}

QByteArray FakeModemStatusPort::takeRecords(std::optional<TimeUs>* newestAt) {
    std::lock_guard guard(lock_);
    if (newestAt)
        *newestAt = newestAt_;
    newestAt_.reset();
    return std::exchange(records_, {});
}

void FakeModemStatusPort::feed(const QByteArray& records, std::optional<TimeUs> capturedAt) {
    {
        std::lock_guard guard(lock_);
        records_ += records;
        newestAt_ = capturedAt;
    }
    changed_.set();
}

} // namespace vartemo
