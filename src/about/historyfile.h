#pragma once

#include <QString>

namespace vartemo {

// The change history "Historie.txt" of the program folder (Windows-1250).

// The history longer than this is cut: the window shows a text, not a dump.
inline constexpr qint64 kMaxHistoryBytes = 1024 * 1024;

// The text with its lines joined by '\n'; empty when the file is missing or
// unreadable. Only the first kMaxHistoryBytes are read.
QString ReadHistory(const QString& path);

// Writes the history shipped with the program when the folder has none yet;
// an existing file is never touched. false with *error when writing failed.
bool EnsureHistoryFile(const QString& programFolder, QString* error = nullptr);

} // namespace vartemo
