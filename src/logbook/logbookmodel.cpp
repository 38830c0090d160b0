#include "logbook/logbookmodel.h"

#include "logbook/logbook.h"

#include <algorithm>

namespace vartemo {

LogBookModel::LogBookModel(const LogBook& book, QObject* parent) : QAbstractItemModel(parent), book_(book) {
    rebuild();
    connect(&book, &LogBook::appended, this, &LogBookModel::onAppended);
    connect(&book, &LogBook::aboutToReset, this, &LogBookModel::beginResetModel);
    connect(&book, &LogBook::reset, this, [this] {
        rebuild();
        endResetModel();
    });
}

void LogBookModel::rebuild() {
    const qsizetype n = book_.entries().size();
    parent_.clear();
    row_.clear();
    children_.clear();
    top_.clear();
    openPath_.clear();
    parent_.reserve(n);
    row_.reserve(n);
    children_.reserve(n);
    for (qsizetype i = 0; i < n; ++i)
        place(i);
}

qsizetype LogBookModel::parentFor(int level) const {
    // The file's reader never gives a level more than one below the last
    // entry; anything else is placed under the deepest open entry.
    const auto depth = std::clamp<qsizetype>(level, 0, qsizetype(openPath_.size()));
    return depth == 0 ? -1 : openPath_[depth - 1];
}

qsizetype LogBookModel::place(qsizetype entry) {
    const int level = book_.entries()[entry].level;
    const qsizetype parent = parentFor(level);
    std::vector<qsizetype>& siblings = parent < 0 ? top_ : children_[parent];
    parent_.push_back(parent);
    row_.push_back(int(siblings.size()));
    siblings.push_back(entry);
    children_.emplace_back();
    openPath_.resize(std::clamp<qsizetype>(level, 0, qsizetype(openPath_.size())));
    openPath_.push_back(entry);
    return parent;
}

void LogBookModel::onAppended(qsizetype entry) {
    const qsizetype parent = parentFor(book_.entries()[entry].level);
    const int row = int(parent < 0 ? top_.size() : children_[parent].size());
    beginInsertRows(parent < 0 ? QModelIndex() : indexOfEntry(parent), row, row);
    place(entry);
    endInsertRows();
}

QModelIndex LogBookModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0)
        return {};
    const std::vector<qsizetype>& siblings = parent.isValid() ? children_[entryOf(parent)] : top_;
    if (row >= int(siblings.size()))
        return {};
    return createIndex(row, 0, quintptr(siblings[row]));
}

QModelIndex LogBookModel::parent(const QModelIndex& child) const {
    if (!child.isValid())
        return {};
    return indexOfEntry(parent_[entryOf(child)]);
}

int LogBookModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return int(top_.size());
    if (parent.column() != 0)
        return 0;
    return int(children_[entryOf(parent)].size());
}

int LogBookModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant LogBookModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return book_.entries()[entryOf(index)].text;
}

Qt::ItemFlags LogBookModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QModelIndex LogBookModel::indexOfEntry(qsizetype entry) const {
    if (entry < 0 || entry >= qsizetype(row_.size()))
        return {};
    return createIndex(row_[entry], 0, quintptr(entry));
}

qsizetype LogBookModel::entryOf(const QModelIndex& index) {
    return index.isValid() ? qsizetype(index.internalId()) : -1;
}

} // namespace vartemo

#include "moc_logbookmodel.cpp"
