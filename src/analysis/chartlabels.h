#pragma once

#include <QList>
#include <QString>

namespace vartemo {

// Texts and tick positions of the statistics charts' axes and readout.
namespace chartlabels {

// A time in milliseconds as the lists write it, "mm:ss:zzz", but with the
// whole minutes (an hour is 60:00:000, not cut) and a minus before a
// negative value. Fractions of a millisecond are rounded.
QString TimeText(double ms);

// A number as "#,##0.###" writes it in Czech: a space between thousands,
// a decimal comma, at most three decimals without trailing zeros (3,5).
QString NumberText(double value);

// The readout beside "Změřené hodnoty( čas / kola):": "01:05:000  /  3,5".
QString ReadoutText(double timeMs, double lap);

// Time ticks for the range [min, max]: round steps of milliseconds,
// seconds and minutes, at most maxCount of them, all inside the range.
QList<double> TimeTicks(double min, double max, int maxCount);

// The whole laps labelled in [min, max]: every lap when at most maxCount
// fit, else every 2nd, 5th, 10th, ... lap.
QList<double> LapTicks(double min, double max, int maxCount);

} // namespace chartlabels
} // namespace vartemo
