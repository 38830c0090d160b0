#pragma once

#include "platform/portio.h"

#include <QString>
#include <map>
#include <memory>

namespace vartemo {

// The processor's I/O instructions, behind an interface so that the decision
// whether a port is really there can be tested without touching hardware.
class RawPortAccess {
public:
    virtual ~RawPortAccess() = default;
    // Asks the kernel for access to count ports from the address on.
    virtual bool permit(quint16 from, int count) = 0;
    virtual quint8 in(quint16 address) = 0;
    virtual void out(quint16 address, quint8 value) = 0;
};

// ioperm + inb/outb; permit() fails where the process lacks the right or the
// processor has no I/O instructions.
class HardwarePortAccess final : public RawPortAccess {
public:
    bool permit(quint16 from, int count) override;
    quint8 in(quint16 address) override;
    void out(quint16 address, quint8 value) override;
};

// Direct register access. A port counts as there only when the kernel lists it
// as a parallel port in /proc/ioports, or, where no other device claims the
// range, when its data register gives back what was written to it: an absent
// port reads 0xFF, which must not look like four active kart inputs.
class DirectPortIo final : public PortIo {
public:
    // ioports: the text of /proc/ioports.
    DirectPortIo(RawPortAccess& raw, QString ioports);

    // Opens when a port is there at one of the usual bases (0x378, 0x278,
    // 0x3BC) or a base the kernel lists as a parallel port; null otherwise.
    static std::unique_ptr<DirectPortIo> open(RawPortAccess& raw, const QString& ioports);

    quint16 Inp32(quint16 address) override;
    void Out32(quint16 address, quint16 value) override;
    bool present(quint16 address) override;

private:
    enum class Claim { ParallelPort, OtherDevice, Nobody };
    // Who /proc/ioports says owns the base's registers.
    Claim claimOf(quint16 base) const;
    bool probe(quint16 base);

    RawPortAccess& raw_;
    QString ioports_;
    std::map<quint16, bool> presence_; // base -> answered, decided once
};

} // namespace vartemo
