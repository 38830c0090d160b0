#pragma once

#include "core/clock.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace vartemo {

inline constexpr int kTopTenRows = 20;
inline constexpr TimeMs kPlaceholderMs = 3'599'999;

// One row of a best-twenty table: rank, name, time and whatever further
// fields its file line carried, all kept as text so that a row is written
// back exactly as it was read.
struct TopTenRow {
    QStringList fields;

    static TopTenRow FromLine(const QString& line);
    static TopTenRow Placeholder(int rank); // rank, "noname", "59:59:999"
    QString toLine() const;

    QString field(int index) const { return fields.value(index); }
    QString rank() const { return field(0); }
    QString name() const { return field(1); }
    QString time() const { return field(2); }
    void setField(int index, const QString& text);
    void setRank(const QString& text) { setField(0, text); }
    // TAB, CR and LF would break the file's line and field structure.
    void setName(const QString& text) { setField(1, CleanName(text)); }
    void setTime(const QString& text) { setField(2, text); }
    static QString CleanName(QString name);

    friend bool operator==(const TopTenRow&, const TopTenRow&) = default;
};

// Where a row stands in the ordering: its time, and for a time that cannot be
// read the placeholder's, ahead of the readable rows of that time.
struct TopTenSortKey {
    TimeMs ms = kPlaceholderMs;
    bool readable = false;
    friend auto operator<=>(const TopTenSortKey&, const TopTenSortKey&) = default;
};
TopTenSortKey SortKeyOf(const TopTenRow& row);

// Orders two rows by their times: positive when a is slower, negative when
// faster, 0 when equal. A row whose time cannot be read counts as a
// placeholder and never aborts the sort.
int TopTenListCompare(const TopTenRow& a, const TopTenRow& b);
inline int TopTenList1Compare(const TopTenRow& a, const TopTenRow& b) { return TopTenListCompare(a, b); }

// One best-twenty table: always twenty rows in memory. Only sort() and the
// insertions reorder; every other operation keeps the order it finds.
class TopTenTable {
public:
    TopTenTable();

    const QList<TopTenRow>& rows() const { return rows_; }
    const TopTenRow& row(int index) const { return rows_.at(index); } // 0-based
    int size() const { return static_cast<int>(rows_.size()); }

    // File lines in file order; a short table is filled with placeholder
    // rows, lines past the twentieth are not part of the table.
    void setLines(const QStringList& lines);
    QStringList lines() const;

    void sort(); // ascending by time, stable
    void renumber(); // ranks "1".."20"

    // The table's twentieth time as an insertion must beat it.
    TimeMs thresholdMs() const;
    // Inserts a lap when it is strictly faster than the current twentieth
    // row: the table is sorted, the new row (a copy of the former twentieth
    // with name and time replaced) takes its place in the order, the slowest
    // row drops out. Returns true when the new row is in the table.
    bool insertLap(const QString& name, TimeMs ms);
    // Puts a row (moved from the other table) into the order; the slowest row
    // drops out, which may be the moved one. Returns true when it stays.
    bool insertRow(const TopTenRow& row);

    void setName(int index, const QString& name);
    // Removes the row; the rows behind move up, a placeholder becomes row 20
    // and the ranks are renumbered. Nothing is re-sorted.
    void removeRow(int index);
    // The row keeps its place and becomes a placeholder (name and time).
    void blankRow(int index);
    // Every row "n", "noname", "59:59:999".
    void reset();

    // The row that a rename was opened for: the row at index when it still
    // holds that name and time, else the first one that does; -1 when none.
    int findRow(int index, const QString& name, const QString& time) const;

private:
    bool insertSorted(const TopTenRow& row);
    void fill();

    QList<TopTenRow> rows_;
};

} // namespace vartemo
