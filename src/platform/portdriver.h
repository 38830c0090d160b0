#pragma once

#include "platform/directportio.h"
#include "platform/portio.h"
#include "platform/ppdevportio.h"

#include <QString>
#include <memory>

namespace vartemo {

// The station's port driver: the first backend that opens serves every
// register. A simulated port is taken when one is asked for; otherwise the
// kernel's parallel-port devices, then direct I/O; with neither, no port
// (reads idle, writes dropped) and timing by the other receivers goes on.
struct PortDriver {
    enum class Backend { None, Simulated, Ppdev, Direct };

    struct Options {
        QString simulatedPortPath; // empty: real hardware only
        PpdevPortIo::Paths ppdev;
        QString ioportsPath = QStringLiteral("/proc/ioports");
        RawPortAccess* raw = nullptr; // null: the processor's own I/O instructions
    };

    static PortDriver Open(const Options& options);

    std::unique_ptr<PortIo> io = std::make_unique<AbsentPortIo>();
    Backend backend = Backend::None;
    // Program-log status line: "Status\t100032\tOK" when a backend opened,
    // "Status\t100032\tError" when a port was found or asked for but could not
    // be used, empty when the machine has none.
    QString statusLine;
    QString error; // why an asked-for or found port could not be used
};

QString BackendName(PortDriver::Backend backend);

} // namespace vartemo
