#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

namespace vartemo {

// The TV display's outer size: a 1024 × 768 television or monitor.
inline constexpr QSize kTvOuterSize{1024, 768};

// Where the TV display's outer top-left goes, given the screens' geometries
// (virtual desktop coordinates) and which one is primary: the top-left of
// the nearest screen right of the primary; without one, the primary's width
// at the top (just beyond a single screen).
QPoint TvPlacement(const QList<QRect>& screens, qsizetype primary);

} // namespace vartemo
