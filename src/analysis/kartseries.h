#pragma once

#include "analysis/sensorfilter.h"

#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <optional>

namespace vartemo {

// The two charts: every lap of a kart, or every line of its track list.
enum class ChartKind { Laps, Splits };

// The points of one kart's series. The first point is the lead point, one
// millisecond below the first time at x = 0, so that the n-th charted time
// sits at x = n. A line whose time cannot be read stops the fill: the
// points before it stay and error holds the conversion message.
struct KartPoints {
    QList<QPointF> points;
    std::optional<QString> error;

    // A series of the lead point alone (or nothing) is not charted.
    bool charted() const { return points.size() > 1; }
};

// filter: the split chart's sensor choice (ignored for laps; null shows all).
KartPoints BuildKartPoints(const QStringList& lines, ChartKind kind, const SensorFilter* filter = nullptr);

} // namespace vartemo
