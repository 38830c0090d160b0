#pragma once

#include <QAbstractItemModel>

#include <vector>

namespace vartemo {

class LogBook;

// The log book as a tree for views: one row per entry, the runs at the top,
// their events under them. It reads the texts from the log book itself and
// follows its additions and resets, so a view over it is never a stale copy.
class LogBookModel final : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit LogBookModel(const LogBook& book, QObject* parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The row of entries()[entry]; invalid for no such entry.
    QModelIndex indexOfEntry(qsizetype entry) const;
    // The entry a row shows; -1 for an invalid index.
    static qsizetype entryOf(const QModelIndex& index);

private:
    void rebuild();
    // Places entries()[entry] under its parent and returns that parent (-1: top).
    qsizetype place(qsizetype entry);
    qsizetype parentFor(int level) const;
    void onAppended(qsizetype entry);

    const LogBook& book_;
    std::vector<qsizetype> parent_;             // per entry; -1 at the top
    std::vector<int> row_;                      // per entry, within its parent
    std::vector<std::vector<qsizetype>> children_; // per entry
    std::vector<qsizetype> top_;
    std::vector<qsizetype> openPath_; // the last entry of each level so far
};

} // namespace vartemo
