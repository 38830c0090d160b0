#include "engine/timetext.h"

#include "core/conversionerror.h"

namespace vartemo {

QString FormatTimeText(TimeMs ms) {
    // Magnitude first: std::abs would overflow on the smallest value.
    const quint64 magnitude = ms < 0 ? 0 - static_cast<quint64>(ms) : static_cast<quint64>(ms);
    const quint64 withinHour = magnitude % 3'600'000;
    const auto minutes = static_cast<uint>(withinHour / 60'000);
    const auto seconds = static_cast<uint>(withinHour / 1000 % 60);
    const auto millis = static_cast<uint>(withinHour % 1000);
    return QStringLiteral("%1:%2:%3")
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(seconds, 2, 10, QLatin1Char('0'))
        .arg(millis, 3, 10, QLatin1Char('0'));
}

TimeMs ParseTimeText(const QString& text) {
    const qsizetype first = text.indexOf(u':');
    const qsizetype second = first < 0 ? -1 : text.indexOf(u':', first + 1);
    // A missing separator leaves its part empty, which is no integer.
    const QString minutes = first < 0 ? QString() : text.left(first);
    const QString seconds = first < 0 ? QString() : (second < 0 ? text.mid(first + 1)
                                                               : text.mid(first + 1, second - first - 1));
    const QString millis = second < 0 ? QString() : text.mid(second + 1);
    const qint64 m = StrToInt64(minutes);
    const qint64 s = StrToInt64(seconds);
    const qint64 z = StrToInt64(millis);
    // Wrapping arithmetic: absurd inputs give an absurd value, never undefined behaviour.
    const auto total = (static_cast<quint64>(m) * 60 + static_cast<quint64>(s)) * 1000 +
                       static_cast<quint64>(z);
    return static_cast<TimeMs>(total);
}

} // namespace vartemo
