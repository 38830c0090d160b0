#pragma once

#include <QDateTime>
#include <QString>

namespace vartemo {

// The takings of one ride from the race clock as shown at the stop (minutes
// and seconds within the hour) and the price per minute. A ride stopped
// before its length is charged by the second, in integer arithmetic with
// truncation (rate x 100 div 6 per thousand seconds); a full ride costs
// rate x length. The same rule holds in laps mode.
int RacePrice(int shownMinutes, int shownSeconds, int ratePerMinute, int raceLength);

// The log book line: "Kč 54 Admin 14:03:27 9.12.2026".
QString PriceLine(int price, const QString& operatorName, const QDateTime& when);

} // namespace vartemo
