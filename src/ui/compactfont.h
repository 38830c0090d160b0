#pragma once

#include <QFont>

namespace vartemo {

// The face for texts that must fit fixed widths laid out for the track's
// old 8-point screens: Arial's metrics (Liberation Sans) at 11 pixels.
inline QFont CompactFont(QFont base) {
    base.setFamilies({QStringLiteral("Liberation Sans"), base.family()});
    base.setPixelSize(11);
    return base;
}

} // namespace vartemo
