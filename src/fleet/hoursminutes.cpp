#include "fleet/hoursminutes.h"

#include "core/conversionerror.h"

namespace vartemo {

namespace {

qint64 readPart(const QString& part) {
    const qint64 value = StrToInt64(part);
    // A negative part would make a driving time that runs backwards.
    if (value < 0)
        throw ConversionError(part);
    return value;
}

} // namespace

QString FormatHoursMinutes(qint64 minutes) {
    return QString::number(minutes / 60) + u':' + QString::number(minutes % 60);
}

qint64 ParseHoursMinutes(const QString& text) {
    if (text.isEmpty())
        return 0;
    const qsizetype colon = text.indexOf(u':');
    const QString hoursText = colon < 0 ? text : text.left(colon);
    const QString minutesText = colon < 0 ? QString() : text.mid(colon + 1);
    const qint64 hours = readPart(hoursText);
    const qint64 minutes = readPart(minutesText);
    if (hours > (kMaxDrivenMinutes - minutes) / 60)
        throw ConversionError(text);
    return hours * 60 + minutes;
}

std::optional<qint64> TryParseHoursMinutes(const QString& text) {
    try {
        return ParseHoursMinutes(text);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

qint64 FuelTenths(qint64 minutes, int consumption) {
    return minutes * consumption / 6;
}

QString FuelFigure(qint64 minutes, int consumption) {
    const qint64 a = minutes * consumption;
    return QString::number(a / 60) + u',' + QString::number((a / 6) % 10);
}

} // namespace vartemo
