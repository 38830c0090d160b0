#include "platform/simulatedport.h"

#include <QDir>
#include <QFile>

#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vartemo {

// The file's layout; both processes map it, so every access is atomic.
struct SimulatedPort::Slot {
    quint16 base; // 0 = free
    quint8 data;
    quint8 status;
    quint8 control;
    quint8 reserved[3];
};

struct SimulatedPort::Layout {
    char magic[8];
    Slot entries[kSlotCount];
};

namespace {

constexpr char kMagic[8] = {'V', 'K', 'S', 'I', 'M', 'L', 'P', 'T'};

template <typename T> T load(T& field) {
    return std::atomic_ref<T>(field).load();
}
template <typename T> void store(T& field, T value) {
    std::atomic_ref<T>(field).store(value);
}

} // namespace

QString SimulatedPort::DefaultPath() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return QFile::decodeName(runtime) + QStringLiteral("/vartemo-port");
    return QDir::tempPath() + QStringLiteral("/vartemo-port-%1").arg(::getuid());
}

std::unique_ptr<SimulatedPort> SimulatedPort::open(const QString& path, QString* error) {
    auto fail = [&](const QString& why) -> std::unique_ptr<SimulatedPort> {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return nullptr;
    };
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(QStringLiteral("not a regular file"));
    }
    constexpr auto size = static_cast<off_t>(sizeof(Layout));
    if (st.st_size == 0 && ::ftruncate(fd, size) != 0) {
        const QString why = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return fail(why);
    } else if (st.st_size != 0 && st.st_size != size) {
        ::close(fd);
        return fail(QStringLiteral("not a simulated port file"));
    }
    void* mem = ::mmap(nullptr, sizeof(Layout), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ::close(fd);
    if (mem == MAP_FAILED)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    auto* layout = static_cast<Layout*>(mem);
    // A file just made is all zeros: it gets the mark. Anything else of the
    // same size is not ours and is left alone.
    static constexpr char kBlank[8] = {};
    if (std::memcmp(layout->magic, kBlank, sizeof kBlank) == 0)
        std::memcpy(layout->magic, kMagic, sizeof kMagic);
    else if (std::memcmp(layout->magic, kMagic, sizeof kMagic) != 0) {
        ::munmap(mem, sizeof(Layout));
        return fail(QStringLiteral("not a simulated port file"));
    }
    return std::unique_ptr<SimulatedPort>(new SimulatedPort(layout));
}

SimulatedPort::~SimulatedPort() {
    ::munmap(layout_, sizeof(Layout));
}

SimulatedPort::Slot* SimulatedPort::slot(quint16 base) {
    if (base == 0)
        return nullptr;
    for (Slot& s : layout_->entries) {
        quint16 holder = 0;
        // Either process may claim a free slot; the exchange settles a tie.
        if (std::atomic_ref<quint16>(s.base).compare_exchange_strong(holder, base) ||
            holder == base)
            return &s;
    }
    return nullptr;
}

SimulatedPort::Slot* SimulatedPort::slotOf(quint16 address) {
    return RegisterOf(address) <= kControlRegister ? slot(PortBaseOf(address)) : nullptr;
}

bool SimulatedPort::present(quint16 address) {
    return slotOf(address) != nullptr;
}

quint16 SimulatedPort::Inp32(quint16 address) {
    Slot* s = slotOf(address);
    if (!s)
        return 0;
    switch (RegisterOf(address)) {
    case kDataRegister:
        return load(s->data);
    case kStatusRegister:
        return load(s->status);
    default:
        return load(s->control);
    }
}

void SimulatedPort::Out32(quint16 address, quint16 value) {
    Slot* s = slotOf(address);
    const auto byte = quint8(value & 0xFF);
    if (s && RegisterOf(address) == kDataRegister)
        store(s->data, byte);
    else if (s && RegisterOf(address) == kControlRegister)
        store(s->control, byte);
}

quint8 SimulatedPort::status(quint16 base) {
    Slot* s = slot(base);
    return s ? load(s->status) : 0;
}

void SimulatedPort::setStatus(quint16 base, quint8 value) {
    if (Slot* s = slot(base))
        store(s->status, value);
}

void SimulatedPort::changeStatusBits(quint16 base, quint8 bits, bool on) {
    Slot* s = slot(base);
    if (!s)
        return;
    std::atomic_ref<quint8> status(s->status);
    if (on)
        status.fetch_or(bits);
    else
        status.fetch_and(quint8(~bits));
}

quint8 SimulatedPort::data(quint16 base) {
    Slot* s = slot(base);
    return s ? load(s->data) : 0;
}

std::vector<quint16> SimulatedPort::bases() {
    std::vector<quint16> list;
    for (Slot& s : layout_->entries)
        if (const quint16 b = load(s.base))
            list.push_back(b);
    return list;
}

} // namespace vartemo
