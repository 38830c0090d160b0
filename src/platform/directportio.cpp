#include "platform/directportio.h"

#include <QRegularExpression>
#include <QStringList>

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define VARTEMO_HAS_PORT_IO 1
#endif

namespace vartemo {

bool HardwarePortAccess::permit(quint16 from, int count) {
#ifdef VARTEMO_HAS_PORT_IO
    return ::ioperm(from, static_cast<unsigned long>(count), 1) == 0;
#else
    Q_UNUSED(from);
    Q_UNUSED(count);
    return false;
#endif
}

quint8 HardwarePortAccess::in(quint16 address) {
#ifdef VARTEMO_HAS_PORT_IO
    return ::inb(address);
#else
    Q_UNUSED(address);
    return 0xFF;
#endif
}

void HardwarePortAccess::out(quint16 address, quint8 value) {
#ifdef VARTEMO_HAS_PORT_IO
    ::outb(value, address);
#else
    Q_UNUSED(address);
    Q_UNUSED(value);
#endif
}

namespace {

struct IoRange {
    uint from = 0;
    uint to = 0;
    int depth = 0;
    QString owner;
};

// "  0378-037a : parport0" -> range, indentation depth, owner.
std::vector<IoRange> ParseIoports(const QString& text) {
    static const QRegularExpression line(
        QStringLiteral("^( *)([0-9a-fA-F]+)-([0-9a-fA-F]+) : (.*)$"));
    std::vector<IoRange> ranges;
    for (const QString& row : text.split(u'\n')) {
        const auto m = line.match(row);
        if (!m.hasMatch())
            continue;
        ranges.push_back({m.captured(2).toUInt(nullptr, 16), m.captured(3).toUInt(nullptr, 16),
                          int(m.capturedLength(1)), m.captured(4).trimmed()});
    }
    return ranges;
}

// A PCI function without a driver ("0000:05:00.0") may well be a parallel card.
bool IsPciFunction(const QString& owner) {
    static const QRegularExpression pci(
        QStringLiteral("^[0-9a-fA-F]{4}:[0-9a-fA-F]{2}:[0-9a-fA-F]{2}\\.[0-7]$"));
    return pci.match(owner).hasMatch();
}

constexpr quint16 kUsualBases[] = {0x378, 0x278, 0x3BC};
constexpr int kRegisterCount = 3;

} // namespace

DirectPortIo::DirectPortIo(RawPortAccess& raw, QString ioports)
    : raw_(raw), ioports_(std::move(ioports)) {}

std::unique_ptr<DirectPortIo> DirectPortIo::open(RawPortAccess& raw, const QString& ioports) {
    auto io = std::make_unique<DirectPortIo>(raw, ioports);
    std::vector<quint16> candidates(std::begin(kUsualBases), std::end(kUsualBases));
    for (const IoRange& r : ParseIoports(ioports))
        if (r.owner.startsWith(QLatin1String("parport")) && r.from <= 0xFFFC)
            candidates.push_back(quint16(r.from));
    for (quint16 base : candidates)
        if (io->present(base))
            return io;
    return nullptr;
}

DirectPortIo::Claim DirectPortIo::claimOf(quint16 base) const {
    const auto ranges = ParseIoports(ioports_);
    Claim claim = Claim::Nobody;
    for (size_t i = 0; i < ranges.size(); ++i) {
        const IoRange& r = ranges[i];
        if (r.to < base || r.from > uint(base + kRegisterCount - 1))
            continue;
        if (r.owner.startsWith(QLatin1String("parport")))
            return Claim::ParallelPort;
        // Buses and bridges hold whole windows of devices: only a range with
        // nothing nested below it names the device that owns the registers.
        const bool leaf = i + 1 == ranges.size() || ranges[i + 1].depth <= r.depth;
        if (leaf && !IsPciFunction(r.owner))
            claim = Claim::OtherDevice;
    }
    return claim;
}

bool DirectPortIo::probe(quint16 base) {
    const quint8 saved = raw_.in(base);
    bool answers = true;
    for (quint8 pattern : {quint8(0x55), quint8(0xAA)}) {
        raw_.out(base, pattern);
        answers = answers && raw_.in(base) == pattern;
    }
    raw_.out(base, saved);
    return answers;
}

bool DirectPortIo::present(quint16 address) {
    const quint16 base = PortBaseOf(address);
    if (RegisterOf(address) > kControlRegister)
        return false;
    const auto known = presence_.find(base);
    if (known != presence_.end())
        return known->second;
    bool there = false;
    const Claim claim = claimOf(base);
    if (claim != Claim::OtherDevice && raw_.permit(base, kRegisterCount))
        there = claim == Claim::ParallelPort || probe(base);
    presence_[base] = there;
    return there;
}

quint16 DirectPortIo::Inp32(quint16 address) {
    return present(address) ? raw_.in(address) : 0;
}

void DirectPortIo::Out32(quint16 address, quint16 value) {
    if (present(address) && RegisterOf(address) != kStatusRegister)
        raw_.out(address, quint8(value & 0xFF));
}

} // namespace vartemo
