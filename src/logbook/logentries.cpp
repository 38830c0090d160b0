#include "logbook/logentries.h"

#include "core/czechformats.h"

namespace vartemo {

namespace {
QString timeAndDate(const QDateTime& now) {
    return czech::longTime(now.time()) + u' ' + czech::shortDate(now.date());
}
} // namespace

QString ProgramStartEntry(const QDateTime& now) {
    return QStringLiteral("Spuštění programu ") + timeAndDate(now);
}

QString ProgramEndEntry(const QDateTime& now) {
    return QStringLiteral("Ukončení programu ") + timeAndDate(now);
}

QString TimedEntry(const QDateTime& now, const QString& text) {
    return czech::longTime(now.time()) + QStringLiteral(" - ") + text;
}

} // namespace vartemo
