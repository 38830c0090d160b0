#pragma once

#include <QList>
#include <QPointF>

namespace vartemo {

// The points of a line as a chart of `columns` pixels across can show them:
// when there are more than two points per column, each column keeps only
// its lowest and highest point (in their order), so that the drawn line and
// the area under it look the same at a fraction of the drawing work. The
// first and the last point always stay. Fewer points come back unchanged.
// `Highest` keeps only each column's highest point: the top edge of the
// area under the line, which fills the same pixels without the line's
// up-and-down in every column (costly to fill).
enum class ColumnKeep { LowestAndHighest, Highest };
QList<QPointF> ThinToColumns(const QList<QPointF>& points, int columns,
                             ColumnKeep keep = ColumnKeep::LowestAndHighest);

} // namespace vartemo
