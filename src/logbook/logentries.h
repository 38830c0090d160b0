#pragma once

#include <QDateTime>
#include <QString>

namespace vartemo {

// The texts of the log book lines that several parts of the station write.
// "time" is the Czech long time (14:03:27), "date" the short date (9.12.2026).

// "Spuštění programu 14:03:27 9.12.2026"
QString ProgramStartEntry(const QDateTime& now);
// "Ukončení programu 14:03:27 9.12.2026"
QString ProgramEndEntry(const QDateTime& now);
// time + " - " + text: the prefix of the events that carry a time
QString TimedEntry(const QDateTime& now, const QString& text);

} // namespace vartemo
