#pragma once

#include "platform/portio.h"

#include <QString>
#include <map>
#include <memory>

namespace vartemo {

// Port access through the kernel's parallel-port device files (/dev/parportN).
// A register address is mapped to its device by the base address the kernel
// reports in /proc/sys/dev/parport/parportN/base-addr.
class PpdevPortIo final : public PortIo {
public:
    struct Paths {
        QString procRoot = QStringLiteral("/proc/sys/dev/parport");
        QString devRoot = QStringLiteral("/dev");
    };

    // Base address -> device file of every port the kernel lists.
    static std::map<quint16, QString> DiscoverPorts(const Paths& paths);

    // Opens and claims every listed port. Null when none could be claimed;
    // *portsSeen tells whether the kernel listed any port at all.
    static std::unique_ptr<PpdevPortIo> open(const Paths& paths, bool* portsSeen = nullptr);

    ~PpdevPortIo() override;
    PpdevPortIo(const PpdevPortIo&) = delete;
    PpdevPortIo& operator=(const PpdevPortIo&) = delete;

    quint16 Inp32(quint16 address) override;
    void Out32(quint16 address, quint16 value) override;
    bool present(quint16 address) override;

private:
    PpdevPortIo() = default;
    // The claimed device serving the address and the register within it, or fd -1.
    struct Target {
        int fd = -1;
        int reg = 0;
    };
    Target target(quint16 address) const;

    std::map<quint16, int> fds_; // base address -> claimed device
};

} // namespace vartemo
