#include "analysis/pointthinning.h"

#include <algorithm>
#include <cmath>

namespace vartemo {

QList<QPointF> ThinToColumns(const QList<QPointF>& points, int columns, ColumnKeep keep) {
    if (columns < 1 || points.size() <= 2 * qsizetype(columns))
        return points;
    const double first = points.constFirst().x();
    const double span = points.constLast().x() - first;
    if (!(span > 0))
        return points;
    QList<QPointF> thin;
    thin.reserve(2 * columns + 2);
    thin.append(points.constFirst());
    qsizetype i = 1;
    const qsizetype end = points.size() - 1; // the last point is added at the end
    while (i < end) {
        const int column = std::min(columns - 1, int((points[i].x() - first) / span * columns));
        qsizetype low = i, high = i;
        qsizetype j = i + 1;
        for (; j < end && std::min(columns - 1, int((points[j].x() - first) / span * columns)) == column; ++j) {
            if (points[j].y() < points[low].y())
                low = j;
            if (points[j].y() > points[high].y())
                high = j;
        }
        if (keep == ColumnKeep::Highest)
            thin.append(points[high]);
        else
            thin.append(points[std::min(low, high)]);
        if (keep == ColumnKeep::LowestAndHighest && low != high)
            thin.append(points[std::max(low, high)]);
        i = j;
    }
    thin.append(points.constLast());
    return thin;
}

} // namespace vartemo
