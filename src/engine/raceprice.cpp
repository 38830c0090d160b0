#include "engine/raceprice.h"

#include "core/czechformats.h"

namespace vartemo {

int RacePrice(int shownMinutes, int shownSeconds, int ratePerMinute, int raceLength) {
    if (shownMinutes >= raceLength)
        return ratePerMinute * raceLength;
    const qint64 seconds = qint64(shownMinutes) * 60 + shownSeconds;
    return static_cast<int>(seconds * (qint64(ratePerMinute) * 100 / 6) / 1000);
}

QString PriceLine(int price, const QString& operatorName, const QDateTime& when) {
    return QStringLiteral("Kč %1 %2 %3 %4")
        .arg(price)
        .arg(operatorName, czech::longTime(when.time()), czech::shortDate(when.date()));
}

} // namespace vartemo
