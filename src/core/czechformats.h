#pragma once

#include <QDateTime>
#include <QString>

namespace vartemo {

// The station writes Czech date and time texts whatever the Linux locale is,
// so log lines, file names and filters agree on every machine.
namespace czech {

QString shortDate(const QDate& date);          // 9.12.2026
QString longTime(const QTime& time);           // 14:03:27
QString dateTime(const QDateTime& dateTime);   // 9.12.2026 14:03:27
QString longDate(const QDate& date);           // 10. prosince 2026 (genitive month)

} // namespace czech
} // namespace vartemo
