#pragma once

#include "logbook/logbook.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace vartemo {

// A ride's takings line of the log book, "Kč 150 Jan Novák 14:05:03 9.12.2026":
// the amount after "Kč ", the time and the date as the last two blank-separated
// fields, the operator between them (it may hold blanks or be empty).
struct TakingsLine {
    qint64 amount = 0;
    QString operatorName;
    QString time;
    QString date;
};

// Only entries that begin with "Kč " are takings lines. nullopt for any other
// entry; for a takings line whose amount cannot be read, *badAmount gets the
// text that should have been the amount.
std::optional<TakingsLine> ParseTakingsLine(const QString& entry, QString* badAmount = nullptr);

// "9.12.2026" or "09.12.2026" read as day.month.year; invalid otherwise.
QDate TakingsDate(const QString& text);

// The three figures of the log book window's " Výdělek " group.
struct TakingsSums {
    qint64 today = 0;
    qint64 operatorTotal = 0;
    qint64 total = 0;
    // The conversion message of the first takings line whose amount could not
    // be read (that line is left out), empty when every line was read.
    QString conversionError;
};

// The takings of the day, of the operator selector's name (outer blanks
// ignored, an empty selector collects nothing) and in total.
TakingsSums SumTakings(const QList<LogBookEntry>& entries, const QDate& today, const QString& selector);

// "240 Kč"
QString TakingsText(qint64 sum);

} // namespace vartemo
