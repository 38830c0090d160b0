#pragma once

#include <QList>
#include <QPointF>

namespace vartemo {

// The points of a line as a chart of `columns` pixels across can show them:
// when there are more than two points per column, each column keeps only
// its lowest and highest point (in their order), so that the drawn line and
// the area under it look the same at a fraction of the drawing work. The
// first and the last point always stay. Fewer points come back unchanged.
QList<QPointF> ThinToColumns(const QList<QPointF>& points, int columns);

} // namespace vartemo
