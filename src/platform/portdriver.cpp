#include "platform/portdriver.h"

#include "platform/simulatedport.h"

#include <QFile>

namespace vartemo {

namespace {
const QString kStatusOk = QStringLiteral("Status\t100032\tOK");
const QString kStatusError = QStringLiteral("Status\t100032\tError");

QString ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}
} // namespace

QString BackendName(PortDriver::Backend backend) {
    switch (backend) {
    case PortDriver::Backend::Simulated:
        return QStringLiteral("simulated");
    case PortDriver::Backend::Ppdev:
        return QStringLiteral("ppdev");
    case PortDriver::Backend::Direct:
        return QStringLiteral("direct");
    case PortDriver::Backend::None:
        break;
    }
    return QStringLiteral("none");
}

PortDriver PortDriver::Open(const Options& options) {
    PortDriver driver;
    auto opened = [&driver](std::unique_ptr<PortIo> io, Backend backend) {
        driver.io = std::move(io);
        driver.backend = backend;
        driver.statusLine = kStatusOk;
        return std::move(driver);
    };

    if (!options.simulatedPortPath.isEmpty()) {
        // Asked for by name: real hardware is not tried behind the operator's back.
        if (auto sim = SimulatedPort::open(options.simulatedPortPath, &driver.error))
            return opened(std::move(sim), Backend::Simulated);
        driver.statusLine = kStatusError;
        return driver;
    }

    bool portsSeen = false;
    if (auto ppdev = PpdevPortIo::open(options.ppdev, &portsSeen))
        return opened(std::move(ppdev), Backend::Ppdev);

    static HardwarePortAccess hardware;
    RawPortAccess& raw = options.raw ? *options.raw : hardware;
    if (auto direct = DirectPortIo::open(raw, ReadText(options.ioportsPath)))
        return opened(std::move(direct), Backend::Direct);

    if (portsSeen) {
        driver.statusLine = kStatusError;
        driver.error = QStringLiteral("the parallel port devices cannot be opened");
    }
    return driver;
}

} // namespace vartemo
