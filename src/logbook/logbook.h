#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>

namespace vartemo {

// One line of the log book: its depth in the tree (0 = a program start) and
// its text.
struct LogBookEntry {
    int level = 0;
    QString text;
    bool operator==(const LogBookEntry&) const = default;
};

// The operator's log book: one top-level entry per program start with the
// events of that run under it, kept in the file vartemo.den (Windows-1250,
// CR LF, one TAB per level). Every entry reaches the file the moment it is
// added, so a crash or a power cut loses nothing of the run. Views follow it
// through its signals.
class LogBook : public QObject {
    Q_OBJECT
public:
    using Now = std::function<QDateTime()>;

    explicit LogBook(QString filePath, Now now = &QDateTime::currentDateTime);

    // Reads the file (or creates it empty when it is missing), then adds this
    // run's "Spuštění programu ..." entry and makes it current. Returns false
    // with *error when the file cannot be read or holds a line it cannot
    // place; the entries read before that line are kept and the file is left
    // as it is (new entries are still appended to it).
    bool LoadLogBook(QString* error = nullptr);

    // Adds an event under the current program-start entry and appends it to
    // the file. Returns false with *error when the file cannot be written;
    // the entry is kept and the next write catches the file up.
    bool AddLogEntry(const QString& text, QString* error = nullptr);

    // Rewrites the whole file from memory.
    bool SaveLogBook(QString* error = nullptr);

    // Removes every entry, starts a new program-start entry with the
    // "deník smazán" event under it and rewrites the file.
    bool ClearLogBook(QString* error = nullptr);

    // The program's end: "Ukončení programu ..." under this run.
    bool AddProgramEnd(QString* error = nullptr);

    // The operator whose name goes into the log lines; "Admin" at every start.
    const QString& CurrentOperator() const { return operator_; }
    void setCurrentOperator(const QString& name) { operator_ = name; }

    const QList<LogBookEntry>& entries() const { return entries_; }
    const QString& filePath() const { return path_; }

    // The file's lines for the entries (one TAB per level).
    static QStringList toLines(const QList<LogBookEntry>& entries);
    // Places lines into the tree. A line two or more levels deeper than the
    // one before stops the reading: *error gets the message, the entries
    // placed so far are returned.
    static QList<LogBookEntry> fromLines(const QStringList& lines, QString* error);

signals:
    // entries()[index] was added at the end.
    void appended(qsizetype index);
    // Every entry is about to go (loading, clearing); reset() follows when
    // the new entries are in place.
    void aboutToReset();
    void reset();

private:
    void addProgramStart();
    void append(LogBookEntry entry);
    bool appendToFile(const LogBookEntry& entry, QString* error);

    QString path_;
    Now now_;
    QString operator_ = QStringLiteral("Admin");
    QList<LogBookEntry> entries_;
    // False when the file holds lines that are not in memory (a line that
    // could not be placed): then the file is only ever appended to.
    bool fileMirrorsMemory_ = true;
    // False after a failed write: the next write rewrites the whole file.
    bool fileInStep_ = true;
};

} // namespace vartemo
