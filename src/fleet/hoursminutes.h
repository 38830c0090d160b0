#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace vartemo {

// Driving times are kept as texts of the form h:m ("0:0", "12:5", "103:59"):
// hours, a colon, minutes 0..59, neither padded. All arithmetic on them is
// 64-bit, so no realistic fleet ever wraps.

// Largest number of minutes a driven-time text may stand for (some 68 000
// million years); a larger one is unreadable, so totals and fuel figures
// built on it (minutes × 100 dl/h) cannot overflow.
inline constexpr qint64 kMaxDrivenMinutes = qint64(1) << 55;

// M div 60, a colon, M mod 60.
QString FormatHoursMinutes(qint64 minutes);

// An empty text is 0; otherwise the text before the first colon is the hours,
// the text after it the minutes, and the result hours × 60 + minutes. A text
// that is not of that form, or has a negative part, raises ConversionError.
qint64 ParseHoursMinutes(const QString& text);
// The same without the exception: nullopt for an unreadable text.
std::optional<qint64> TryParseHoursMinutes(const QString& text);

// Fuel used in tenths of a decilitre, truncated: (minutes × consumption) div 6,
// consumption in decilitres per hour.
qint64 FuelTenths(qint64 minutes, int consumption);
// The same as shown: whole decilitres, a decimal comma, one truncated tenth
// (90 min at 10 dl/h gives "15,0", 7 min at 13 dl/h gives "1,5").
QString FuelFigure(qint64 minutes, int consumption);

} // namespace vartemo
