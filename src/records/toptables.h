#pragma once

#include "records/toptentable.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace vartemo {

class RaceBoard;

enum class TopTable { Men, Women };

// What the tables need from the log book: the reset's line, the operator in it.
struct TopTablesHooks {
    std::function<void(const QString& line)> addLogEntry;
    std::function<QString()> currentOperator;
    std::function<QDateTime()> now = &QDateTime::currentDateTime;
};

// The two best-twenty tables of the track (men's "TopDeset.ini", women's
// "TopDeset1.ini" in the program folder) and every operation on them. Each
// operation that changes a table saves it before it returns and then emits
// changed() once; what it could not do comes back as messages for the
// operator, never as an exception.
class TopTables : public QObject {
    Q_OBJECT
public:
    using Hooks = TopTablesHooks;

    explicit TopTables(QString folder, Hooks hooks = {}, QObject* parent = nullptr);

    const QString& folder() const { return folder_; }
    static QString FileName(TopTable table); // "TopDeset.ini", "TopDeset1.ini"
    // The table's file: an existing one under any letter case, else the
    // usual spelling in the program folder.
    QString filePath(TopTable table) const;

    const TopTenTable& table(TopTable which) const { return which == TopTable::Men ? men_ : women_; }
    const TopTenTable& men() const { return men_; }
    const TopTenTable& women() const { return women_; }

    // Reads both files. A missing file is created with twenty placeholder
    // rows; an unreadable one leaves its table as it was. Emits reloaded().
    QStringList Load();
    // Write one table to its file (atomically).
    QStringList Ulozit();
    QStringList Ulozit1();

    // End of a ride: reload, offer the best lap of every kart that took
    // part, commit. Never throws; returns what the operator is to be told.
    QStringList TopTenDeset(const RaceBoard& board);
    // Offers a kart's best lap to the table of the woman flag. flag becomes
    // -1 when a new row entered. Lines that are not times are skipped and
    // their message added to errors.
    void InsertBestLap(int& flag, const QString& name, const QStringList& laps, bool woman,
                       QStringList& errors);
    // Sorts and renumbers both tables, saves them, notifies; with the flag
    // set emits entered() as well.
    QStringList CommitTopTables(int flag);
    // The lap list's "Vložit do tab. Top 20": one kart against the tables as
    // they are in memory, then the commit. An empty lap list does nothing.
    QStringList InsertKart(const RaceBoard& board, int kart);
    // "Vynuluj tabulky Nej 20": log book line, every row a placeholder, both saved.
    QStringList Reset();

    // The window's row operations (index 0-based); each saves and notifies.
    // A rename applies to the row that still holds the name and time it was
    // opened with, or to none (returns false then).
    bool Rename(TopTable which, int index, const QString& openedName, const QString& openedTime,
                const QString& newName, QStringList& errors);
    void Delete(TopTable which, int index, QStringList& errors);
    // To the other table; both sorted, renumbered and saved (men's first).
    void Move(TopTable from, int index, QStringList& errors);

signals:
    // After every save: the tables as they now stand in the files.
    void changed();
    // Both tables were read again from their files.
    void reloaded();
    // A commit put at least one new row into a table (applause, the window).
    void entered();

private:
    TopTenTable& tableRef(TopTable which) { return which == TopTable::Men ? men_ : women_; }
    std::optional<QString> loadTable(TopTable which);
    std::optional<QString> save(TopTable which);
    QStringList saveOne(TopTable which);
    QStringList saveBoth();

    QString folder_;
    Hooks hooks_;
    // Per table (men, women): its file exists but could not be read.
    bool unreadable_[2] = {false, false};
    TopTenTable men_;
    TopTenTable women_;
};

// The diploma dialog's placement for the row at 1-based position: ranks 1..5
// their entry (0..4), rank 6 the fifth, beyond none (the last choice stays).
std::optional<int> DiplomaPlacement(int position);

} // namespace vartemo
