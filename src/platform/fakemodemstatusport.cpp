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

QByteArray FakeModemStatusPort::takeRecords() {
    std::lock_guard guard(lock_);
    return std::exchange(records_, {});
}

void FakeModemStatusPort::feed(const QByteArray& records) {
    {
        std::lock_guard guard(lock_);
        records_ += records;
    }
    changed_.set();
}

} // namespace vartemo
