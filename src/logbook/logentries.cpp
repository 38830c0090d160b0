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

qint64 TakingsAmount(int pricePerMinute, int raceLengthMinutes, int clockMinutes, int clockSeconds) {
    if (clockMinutes >= raceLengthMinutes)
        return qint64(pricePerMinute) * raceLengthMinutes;
    // Price per second in thousandths of the currency unit, truncated first:
    // the sums in the log book depend on this exact rounding. 64-bit so a
    // large price cannot wrap into a negative amount.
    const qint64 perSecondMilli = (qint64(pricePerMinute) * 100) / 6;
    return perSecondMilli * (qint64(clockMinutes) * 60 + clockSeconds) / 1000;
}

QString TakingsEntry(qint64 amount, const QString& currentOperator, const QDateTime& now) {
    return QStringLiteral("Kč %1 %2 ").arg(amount).arg(currentOperator) + timeAndDate(now);
}

} // namespace vartemo
