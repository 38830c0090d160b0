#pragma once

#include <QString>

namespace vartemo {

// Serial port names as the operator knows them: "COM1" ... is /dev/ttyS0 ...;
// a device path (/dev/ttyUSB0, a pseudo-terminal) is taken as it is.
QString ComPortDevicePath(const QString& portName);

} // namespace vartemo
