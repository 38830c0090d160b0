#include "logbook/logbook.h"

#include "core/textfile.h"
#include "logbook/logentries.h"

#include <QFile>

namespace vartemo {

namespace {
void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}
} // namespace

LogBook::LogBook(QString filePath, Now now) : path_(std::move(filePath)), now_(std::move(now)) {}

QStringList LogBook::toLines(const QList<LogBookEntry>& entries) {
    QStringList lines;
    lines.reserve(entries.size());
    for (const LogBookEntry& e : entries)
        lines.append(QString(e.level, u'\t') + e.text);
    return lines;
}

QList<LogBookEntry> LogBook::fromLines(const QStringList& lines, QString* error) {
    QList<LogBookEntry> entries;
    entries.reserve(lines.size());
    for (const QString& line : lines) {
        int level = 0;
        while (level < line.size() && (line[level] == u'\t' || line[level] == u' '))
            ++level;
        const QString text = line.mid(level);
        if (text.isEmpty())
            continue;
        if (entries.isEmpty()) {
            // Whatever its indentation, the first line starts the tree.
            level = 0;
        } else if (level > entries.last().level + 1) {
            setError(error, QStringLiteral("Invalid level (%1) for item '%2'").arg(level).arg(text));
            return entries;
        }
        // Same level: a sibling; one deeper: a child; shallower: a sibling of
        // the ancestor at that level. The depth is the level in every case.
        entries.append({level, text});
    }
    return entries;
}

bool LogBook::LoadLogBook(QString* error) {
    emit aboutToReset();
    entries_.clear();
    fileMirrorsMemory_ = true;
    fileInStep_ = true;
    bool ok = true;
    if (!QFile::exists(path_)) {
        ok = textfile::writeLines(path_, {}, error);
        fileInStep_ = ok;
    } else if (const auto text = textfile::read(path_); !text) {
        setError(error, QStringLiteral("Soubor %1 nelze přečíst.").arg(path_));
        fileMirrorsMemory_ = false;
        ok = false;
    } else {
        // Every entry goes in as a line with its line end: a last line
        // without one is an append that a crash or a power cut cut short.
        // It is no entry, and the file is cut back before it, so that this
        // run's lines neither run into it nor make it look whole.
        const QString whole = text->left(qMax(text->lastIndexOf(u'\n'), text->lastIndexOf(u'\r')) + 1);
        if (whole.size() < text->size() && !QFile::resize(path_, textfile::encode(whole).size())) {
            setError(error, QStringLiteral("Deník nelze zapsat do souboru %1.").arg(path_));
            fileInStep_ = false;
            ok = false;
        }
        QString readError;
        entries_ = fromLines(textfile::splitLines(whole), &readError);
        if (!readError.isEmpty()) {
            setError(error, readError);
            fileMirrorsMemory_ = false;
            ok = false;
        }
    }
    emit reset();
    QString addError;
    addProgramStart();
    if (!appendToFile(entries_.last(), &addError) && ok) {
        setError(error, addError);
        ok = false;
    }
    return ok;
}

void LogBook::append(LogBookEntry entry) {
    entries_.append(std::move(entry));
    emit appended(entries_.size() - 1);
}

void LogBook::addProgramStart() {
    append({0, ProgramStartEntry(now_())});
}

bool LogBook::AddLogEntry(const QString& text, QString* error) {
    if (entries_.isEmpty()) {
        addProgramStart();
        if (!appendToFile(entries_.last(), error))
            return false;
    }
    // The current program-start entry is always the last top-level entry, so
    // its new child is the last line of the file as well.
    append({1, text});
    return appendToFile(entries_.last(), error);
}

bool LogBook::AddProgramEnd(QString* error) {
    return AddLogEntry(ProgramEndEntry(now_()), error);
}

bool LogBook::appendToFile(const LogBookEntry& entry, QString* error) {
    if (!fileInStep_ && fileMirrorsMemory_)
        return SaveLogBook(error);
    QString appendError;
    if (textfile::appendLines(path_, toLines({entry}), &appendError))
        return true;
    fileInStep_ = false;
    setError(error, QStringLiteral("Deník nelze zapsat do souboru %1: %2").arg(path_, appendError));
    return false;
}

bool LogBook::SaveLogBook(QString* error) {
    // A file with lines that could not be read holds more than memory does:
    // rewriting it would throw them away. It has every entry of this run
    // already, as each one was appended when it was added.
    if (!fileMirrorsMemory_)
        return true;
    QString writeError;
    if (!textfile::writeLines(path_, toLines(entries_), &writeError)) {
        fileInStep_ = false;
        setError(error, QStringLiteral("Deník nelze zapsat do souboru %1: %2").arg(path_, writeError));
        return false;
    }
    fileInStep_ = true;
    return true;
}

bool LogBook::ClearLogBook(QString* error) {
    emit aboutToReset();
    entries_.clear();
    fileMirrorsMemory_ = true;
    entries_.append({0, ProgramStartEntry(now_())});
    entries_.append({1, TimedEntry(now_(), operator_ + QStringLiteral(" :") + QStringLiteral("deník smazán"))});
    emit reset();
    return SaveLogBook(error);
}

} // namespace vartemo

#include "moc_logbook.cpp"
