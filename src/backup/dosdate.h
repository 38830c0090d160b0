#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

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

// The decimal text of a packed value in the identity list: the 32 bits as a
// signed integer, as every reader of the archive takes them (negative from
// 2044 on).
QString ToText(quint32 packed);
// Reads that text, and the unsigned form older archives hold (up to
// 4294967295); nullopt for anything else.
std::optional<quint32> FromText(QStringView text);

} // namespace vartemo::dosdate
