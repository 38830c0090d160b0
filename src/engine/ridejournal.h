#pragma once

#include "engine/journalwriter.h"
#include "engine/riderebuild.h"

#include <QString>

namespace vartemo {

// The journal of the ride being timed, kept in the folder "jizdy" of the
// program folder so that a crash or a power cut loses none of it. The open
// ride's journal is "aktualni.vjz": its start first, then every passing as it
// is taken, handed to a writer thread before the board shows it. The STOP
// closes it: it becomes "jizda_<start>.vjz", of which the last ten are kept.
// A journal that cannot be read as one is set aside as "vadna_<now>.vjz".
class RideJournal {
public:
    static constexpr int kKeptJournals = 10;

    // folder: where the journals live (made when needed).
    explicit RideJournal(QString folder);
    ~RideJournal();

    const QString& folder() const { return folder_; }
    QString openPath() const;
    bool isOpen() const { return writer_.isOpen(); }
    // From the STOP's record on, the board is the STOP's: edits are not ride data.
    bool stopping() const { return stopping_; }

    // A new ride: the journal is made afresh with its start, on the disk
    // before this returns. False with *error when it cannot be written (the
    // ride then runs without a journal).
    bool begin(const RideSettings& settings, QString* error);
    // A ride continued after an outage: its good records as they were read,
    // then the resume, replace the open journal, which stays open.
    bool resume(const QByteArray& goodRecords, const journal::Record& resume, QString* error);

    // Handed over without waiting (the passings, edits during the ride).
    void append(const journal::Record& record);
    // The STOP's records: on the disk before the step they stand for goes on.
    void appendNow(const journal::Record& record);
    void beginStop(const journal::Record& stop);
    // A STOP found begun in a resumed journal goes on without a new record.
    void markStopping() { stopping_ = true; }

    // Closes the ride's journal (CLOSE, or ABANDON when ended without
    // saving), keeps it under its start time and removes the oldest beyond ten.
    void close(const QDateTime& wall, bool abandoned = false);

    // The first write failure of this ride's journal, empty while all is well.
    QString writeError() const { return writer_.error(); }
    quint64 syncCount() const { return writer_.syncCount(); }

    // --- at start-up -------------------------------------------------------
    // The journal of a ride that was not closed, read; nullopt when none.
    struct Unclosed {
        QString path;
        journal::ReadResult read;
        QString readError; // the file could not be read at all
    };
    std::optional<Unclosed> findUnclosed() const;
    // An open journal that holds its CLOSE (the renaming was cut short):
    // kept with the closed ones.
    void keepClosed(const QString& path, const QDateTime& startWall);
    // Renames the file aside ("vadna_<now>.vjz"); the new name, or empty.
    QString setAside(const QString& path, const QDateTime& now) const;
    // Closed journals, oldest first.
    QStringList closedJournals() const;

private:
    bool ensureFolder(QString* error) const;
    void syncFolder() const;
    void prune() const;

    QString folder_;
    JournalWriter writer_;
    QDateTime startWall_;
    bool stopping_ = false;
};

} // namespace vartemo
