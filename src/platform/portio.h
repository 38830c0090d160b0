#pragma once

#include <QtGlobal>

namespace vartemo {

// Byte access to the I/O registers of parallel ports: the two operations the
// station's port code is written against. All calls come from the main thread.
class PortIo {
public:
    virtual ~PortIo() = default;

    // The register's byte in the low 8 bits; 0 where no port answers.
    virtual quint16 Inp32(quint16 address) = 0;
    // Writes the low 8 bits; dropped where no port answers.
    virtual void Out32(quint16 address, quint16 value) = 0;
    // A port answers at this address, so a read means something. Callers that
    // turn reads into kart inputs ask first, because 0 is not idle for every
    // input polarity.
    virtual bool present(quint16 address) = 0;
};

// No port at all: reads 0, writes go nowhere.
class AbsentPortIo final : public PortIo {
public:
    quint16 Inp32(quint16) override { return 0; }
    void Out32(quint16, quint16) override {}
    bool present(quint16) override { return false; }
};

// Registers of a port relative to its base address.
inline constexpr int kDataRegister = 0;
inline constexpr int kStatusRegister = 1;
inline constexpr int kControlRegister = 2;

// Parallel-port bases are multiples of four; the three registers follow.
inline quint16 PortBaseOf(quint16 address) {
    return quint16(address & ~3u);
}
inline int RegisterOf(quint16 address) {
    return address & 3;
}

} // namespace vartemo
