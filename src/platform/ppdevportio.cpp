#include "platform/ppdevportio.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vartemo {

std::map<quint16, QString> PpdevPortIo::DiscoverPorts(const Paths& paths) {
    std::map<quint16, QString> ports;
    const QDir proc(paths.procRoot);
    for (const QString& name : proc.entryList({QStringLiteral("parport*")}, QDir::Dirs)) {
        QFile file(proc.filePath(name + QStringLiteral("/base-addr")));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        // "888\t1912": the base and the upper (ECP) base; only the first counts.
        const QByteArray first = file.read(64).simplified().split(' ').value(0);
        bool ok = false;
        const uint base = first.toUInt(&ok);
        if (!ok || base == 0 || base > 0xFFFC)
            continue;
        ports.emplace(quint16(base), paths.devRoot + u'/' + name);
    }
    return ports;
}

std::unique_ptr<PpdevPortIo> PpdevPortIo::open(const Paths& paths, bool* portsSeen) {
    const auto ports = DiscoverPorts(paths);
    if (portsSeen)
        *portsSeen = !ports.empty();
    std::unique_ptr<PpdevPortIo> io(new PpdevPortIo);
    for (const auto& [base, device] : ports) {
        const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (::ioctl(fd, PPCLAIM) != 0) {
            ::close(fd);
            continue;
        }
        io->fds_.emplace(base, fd);
    }
    if (io->fds_.empty())
        return nullptr;
    return io;
}

PpdevPortIo::~PpdevPortIo() {
    for (const auto& [base, fd] : fds_) {
        ::ioctl(fd, PPRELEASE);
        ::close(fd);
    }
}

PpdevPortIo::Target PpdevPortIo::target(quint16 address) const {
    // The nearest base at or below the address, if the address is one of its registers.
    auto it = fds_.upper_bound(address);
    if (it == fds_.begin())
        return {};
    --it;
    const int reg = address - it->first;
    if (reg > kControlRegister)
        return {};
    return {it->second, reg};
}

bool PpdevPortIo::present(quint16 address) {
    return target(address).fd >= 0;
}

quint16 PpdevPortIo::Inp32(quint16 address) {
    const Target t = target(address);
    if (t.fd < 0)
        return 0;
    unsigned char value = 0;
    const unsigned long request = t.reg == kDataRegister     ? PPRDATA
                                  : t.reg == kStatusRegister ? PPRSTATUS
                                                             : PPRCONTROL;
    if (::ioctl(t.fd, request, &value) != 0)
        return 0;
    return value;
}

void PpdevPortIo::Out32(quint16 address, quint16 value) {
    const Target t = target(address);
    // The status register is input only.
    if (t.fd < 0 || t.reg == kStatusRegister)
        return;
    unsigned char byte = static_cast<unsigned char>(value & 0xFF);
    ::ioctl(t.fd, t.reg == kDataRegister ? PPWDATA : PPWCONTROL, &byte);
}

} // namespace vartemo
