#include "logbook/takings.h"

#include "core/conversionerror.h"

#include <QRegularExpression>

namespace vartemo {

namespace {
const QString kTakingsPrefix = QStringLiteral("Kč ");
} // namespace

std::optional<TakingsLine> ParseTakingsLine(const QString& entry, QString* badAmount) {
    if (!entry.startsWith(kTakingsPrefix))
        return std::nullopt;
    const qsizetype start = kTakingsPrefix.size();
    const qsizetype amountEnd = entry.indexOf(u' ', start);
    const QString amountText = entry.mid(start, amountEnd < 0 ? -1 : amountEnd - start);
    TakingsLine line;
    try {
        // The station writes the amount as a 32-bit number: a longer one is
        // not its line, and the 64-bit sums of 32-bit amounts cannot overflow.
        if (amountEnd < 0)
            throw ConversionError(amountText);
        line.amount = StrToInt(amountText);
    } catch (const ConversionError&) {
        if (badAmount)
            *badAmount = amountText;
        return std::nullopt;
    }
    QString rest = entry.mid(amountEnd + 1);
    qsizetype blank = rest.lastIndexOf(u' ');
    if (blank < 0)
        return line; // neither time nor date: counts in the total only
    line.date = rest.mid(blank + 1);
    rest.truncate(blank);
    blank = rest.lastIndexOf(u' ');
    if (blank < 0) {
        line.time = rest;
        return line;
    }
    line.time = rest.mid(blank + 1);
    line.operatorName = rest.left(blank);
    return line;
}

QDate TakingsDate(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
}

TakingsSums SumTakings(const QList<LogBookEntry>& entries, const QDate& today, const QString& selector) {
    TakingsSums sums;
    const QString wanted = selector.trimmed();
    for (const LogBookEntry& entry : entries) {
        QString badAmount;
        const std::optional<TakingsLine> line = ParseTakingsLine(entry.text, &badAmount);
        if (!line) {
            if (sums.conversionError.isEmpty() && entry.text.startsWith(kTakingsPrefix))
                sums.conversionError = ConversionError(badAmount).message();
            continue;
        }
        sums.total += line->amount;
        if (TakingsDate(line->date) == today && today.isValid())
            sums.today += line->amount;
        if (!wanted.isEmpty() && line->operatorName.trimmed() == wanted)
            sums.operatorTotal += line->amount;
    }
    return sums;
}

QString TakingsText(qint64 sum) {
    return QString::number(sum) + QStringLiteral(" Kč");
}

} // namespace vartemo
