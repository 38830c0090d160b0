#pragma once

#include "logbook/logbook.h"

#include <QList>
#include <QString>
#include <optional>

namespace vartemo {

// The criteria of the log book window's filter; a criterion whose check box
// is off is nullopt. They are alternatives, not a conjunction.
struct LogBookFilter {
    std::optional<QString> operatorName; // the filter's "Uživatel:"
    std::optional<QString> date;         // "9.12.2026"
    std::optional<QString> time;         // "14:03:27"
    std::optional<QString> text;         // "Text:"
};

// The entries the filter lists, in tree order: an entry appears once for
// every criterion it meets (operator, date, time, text), so one that meets
// two is listed twice. An empty criterion matches nothing. The date and time
// match only where the text is neither preceded nor followed by a digit, so
// 9.12.2026 does not find 19.12.2026 and 4:03:27 not 14:03:27.
QList<qsizetype> ApplyLogBookFilter(const QList<LogBookEntry>& entries, const LogBookFilter& filter);

// Whether needle occurs in text with no digit right before or after it.
bool ContainsNumberText(const QString& text, const QString& needle);

} // namespace vartemo
