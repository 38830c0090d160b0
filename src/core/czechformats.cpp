#include "core/czechformats.h"

#include <QLocale>

namespace vartemo::czech {

QString shortDate(const QDate& date) {
    return date.toString(QStringLiteral("d.M.yyyy"));
}

QString longTime(const QTime& time) {
    return time.toString(QStringLiteral("H:mm:ss"));
}

QString dateTime(const QDateTime& dt) {
    return shortDate(dt.date()) + u' ' + longTime(dt.time());
}

QString longDate(const QDate& date) {
    return QLocale(QLocale::Czech).toString(date, QStringLiteral("d. MMMM yyyy"));
}

} // namespace vartemo::czech
