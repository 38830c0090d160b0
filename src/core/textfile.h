#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace vartemo {

// The station's text files are Windows-1250 with CR LF line ends, whatever the
// Linux locale is. This is the only place that converts: everything else works
// with QString. Reading accepts CR LF, LF and lone CR.
namespace textfile {

// Files larger than this are refused instead of read into memory whole.
inline constexpr qint64 kMaxFileBytes = 256 * 1024 * 1024;

QString decode(const QByteArray& bytes);
QByteArray encode(const QString& text);

// Splits on CR LF, LF or CR. A final line end does not add an empty line.
QStringList splitLines(const QString& text);
// Joins with CR LF after every line (the last one too).
QString joinLines(const QStringList& lines);

// nullopt when the file is missing, unreadable or too large.
std::optional<QString> read(const QString& path);
std::optional<QStringList> readLines(const QString& path);

// Whole-file writes go to a temporary file beside the target and are renamed
// over it, so a crash or a full disk never leaves a half-written file.
// On failure *error (when given) gets the reason.
bool write(const QString& path, const QString& text, QString* error = nullptr);
bool writeLines(const QString& path, const QStringList& lines, QString* error = nullptr);
// Appends lines (each ended by CR LF) to the end of the file, creating it.
bool appendLines(const QString& path, const QStringList& lines, QString* error = nullptr);

} // namespace textfile

// Writes bytes to path atomically (temporary file + rename).
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// What a fresh installation gets (the default sounds and logo): the bytes
// made and written to path, its folder made, unless a file is there
// already, which is kept (and nothing is made: every start asks). False
// when a missing file could not be made or written.
bool writeFileIfMissing(const QString& path, const std::function<std::optional<QByteArray>()>& make);

} // namespace vartemo
