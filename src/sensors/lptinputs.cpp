#include "sensors/lptinputs.h"

#include "platform/portio.h"
#include "sensors/portaddresses.h"

namespace vartemo {

bool KartBitActive(quint8 status, int kart, bool negated) {
    const bool high = status & (1u << (kFirstKartBit + kart - 1));
    return high == negated;
}

LptInputs::LptInputs(PortIo& io, const PortAddresses& addresses,
                     const ParallelPortSettings& settings)
    : io_(io), addresses_(addresses), settings_(settings) {}

std::optional<quint8> LptInputs::readStatusRegister() {
    const auto base = addresses_.LptPortBase();
    if (!base)
        return std::nullopt;
    const auto address = quint16(*base + kStatusRegister);
    if (!io_.present(address))
        return std::nullopt;
    return quint8(io_.Inp32(address) & 0xFF);
}

bool LptInputs::kartInputActive(int kart) {
    if (kart < 1 || kart > kLptKartCount || !settings_.useParallelPort())
        return false;
    const auto status = readStatusRegister();
    return status && KartBitActive(*status, kart, settings_.negateInputs());
}

void LptInputs::readStatus() {
    lastStatus_ = readStatusRegister();
}

bool LptInputs::externalStartPressed() const {
    // The button is wired active high whatever the sensors' polarity.
    return lastStatus_ && (*lastStatus_ & kStartButtonBit);
}

bool LptInputs::anyKartInputActive() const {
    if (!lastStatus_ || !settings_.useParallelPort())
        return false;
    for (int kart = 1; kart <= kLptKartCount; ++kart)
        if (KartBitActive(*lastStatus_, kart, settings_.negateInputs()))
            return true;
    return false;
}

} // namespace vartemo
