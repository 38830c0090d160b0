#include "logbook/logbookfilter.h"

namespace vartemo {

namespace {

bool isDigitAt(const QString& text, qsizetype i) {
    return i >= 0 && i < text.size() && text[i].isDigit();
}

bool contains(const QString& text, const std::optional<QString>& needle) {
    return needle && !needle->isEmpty() && text.contains(*needle);
}

bool containsNumber(const QString& text, const std::optional<QString>& needle) {
    return needle && ContainsNumberText(text, *needle);
}

} // namespace

bool ContainsNumberText(const QString& text, const QString& needle) {
    if (needle.isEmpty())
        return false;
    for (qsizetype at = text.indexOf(needle); at >= 0; at = text.indexOf(needle, at + 1))
        if (!isDigitAt(text, at - 1) && !isDigitAt(text, at + needle.size()))
            return true;
    return false;
}

QList<qsizetype> ApplyLogBookFilter(const QList<LogBookEntry>& entries, const LogBookFilter& filter) {
    QList<qsizetype> hits;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString& e = entries[i].text;
        const bool met[] = {contains(e, filter.operatorName), containsNumber(e, filter.date),
                            containsNumber(e, filter.time), contains(e, filter.text)};
        for (bool m : met)
            if (m)
                hits.append(i);
    }
    return hits;
}

} // namespace vartemo
