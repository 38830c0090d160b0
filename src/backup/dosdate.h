#pragma once

#include <QDateTime>
#include <QtGlobal>

namespace vartemo::dosdate {

// The packed local date and time of a file: date in the high 16 bits
// (years since 1980, month, day), time in the low 16 bits (hours, minutes,
// seconds / 2). Values compare chronologically as unsigned integers.
// Times before 1980 or after 2107 are clamped to the first or last value.
quint32 FromDateTime(const QDateTime& dateTime);
quint32 FromMsecsSinceEpoch(qint64 ms);

// The local date and time a packed value stands for; an invalid QDateTime
// when the fields name no real date (month 0, day 31 of April, ...).
QDateTime ToDateTime(quint32 packed);

} // namespace vartemo::dosdate
