#include "records/toptentable.h"

#include "core/conversionerror.h"
#include "engine/timetext.h"

#include <algorithm>

namespace vartemo {

namespace {
const QString kPlaceholderName = QStringLiteral("noname");
const QString kPlaceholderTime = QStringLiteral("59:59:999");
} // namespace

TopTenRow TopTenRow::FromLine(const QString& line) {
    // Every piece between TABs is a field, empty ones too; an empty line is
    // a row with an empty rank and nothing else.
    return TopTenRow{line.split(u'\t')};
}

TopTenRow TopTenRow::Placeholder(int rank) {
    return TopTenRow{{QString::number(rank), kPlaceholderName, kPlaceholderTime}};
}

QString TopTenRow::toLine() const {
    return fields.join(u'\t');
}

void TopTenRow::setField(int index, const QString& text) {
    while (fields.size() <= index)
        fields.append(QString());
    fields[index] = text;
}

QString TopTenRow::CleanName(QString name) {
    for (QChar& c : name)
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    return name;
}

TopTenSortKey SortKeyOf(const TopTenRow& row) {
    if (row.fields.size() < 3)
        return {};
    try {
        return {ParseTimeText(row.time()), true};
    } catch (const ConversionError&) {
        return {};
    }
}

int TopTenListCompare(const TopTenRow& a, const TopTenRow& b) {
    const auto order = SortKeyOf(a) <=> SortKeyOf(b);
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

TopTenTable::TopTenTable() {
    fill();
}

void TopTenTable::fill() {
    while (rows_.size() < kTopTenRows)
        rows_.append(TopTenRow::Placeholder(static_cast<int>(rows_.size()) + 1));
}

void TopTenTable::setLines(const QStringList& lines) {
    rows_.clear();
    for (const QString& line : lines.mid(0, kTopTenRows))
        rows_.append(TopTenRow::FromLine(line));
    fill();
}

QStringList TopTenTable::lines() const {
    QStringList out;
    for (const TopTenRow& row : rows_)
        out.append(row.toLine());
    return out;
}

void TopTenTable::sort() {
    // Keys first: a row's time is read once, not at every comparison.
    QList<std::pair<TopTenSortKey, TopTenRow>> keyed;
    for (const TopTenRow& row : rows_)
        keyed.append({SortKeyOf(row), row});
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (qsizetype i = 0; i < keyed.size(); ++i)
        rows_[i] = std::move(keyed[i].second);
}

void TopTenTable::renumber() {
    for (qsizetype i = 0; i < rows_.size(); ++i)
        rows_[i].setRank(QString::number(i + 1));
}

TimeMs TopTenTable::thresholdMs() const {
    return SortKeyOf(rows_.at(kTopTenRows - 1)).ms;
}

bool TopTenTable::insertSorted(const TopTenRow& row) {
    sort();
    const TopTenSortKey key = SortKeyOf(row);
    // Ahead of the rows of equal time: the newcomer is the one just placed.
    const auto at = std::find_if(rows_.begin(), rows_.end(),
                                 [&](const TopTenRow& r) { return !(SortKeyOf(r) < key); });
    const auto index = at - rows_.begin();
    if (index >= kTopTenRows)
        return false;
    rows_.insert(index, row);
    rows_.resize(kTopTenRows);
    return true;
}

bool TopTenTable::insertLap(const QString& name, TimeMs ms) {
    sort();
    if (ms <= 0 || ms >= thresholdMs())
        return false;
    TopTenRow row = rows_.at(kTopTenRows - 1);
    row.setRank(QStringLiteral("19")); // until the commit renumbers
    row.setName(name);
    row.setTime(FormatTimeText(ms));
    return insertSorted(row);
}

bool TopTenTable::insertRow(const TopTenRow& row) {
    return insertSorted(row);
}

void TopTenTable::setName(int index, const QString& name) {
    rows_[index].setName(name);
}

void TopTenTable::removeRow(int index) {
    TopTenRow placeholder = rows_.at(index);
    placeholder.setName(kPlaceholderName);
    placeholder.setTime(kPlaceholderTime);
    rows_.append(placeholder);
    rows_.removeAt(index);
    renumber();
}

void TopTenTable::blankRow(int index) {
    rows_[index].setName(kPlaceholderName);
    rows_[index].setTime(kPlaceholderTime);
}

void TopTenTable::reset() {
    for (qsizetype i = 0; i < rows_.size(); ++i)
        rows_[i] = TopTenRow::Placeholder(static_cast<int>(i) + 1);
}

int TopTenTable::findRow(int index, const QString& name, const QString& time) const {
    const auto matches = [&](const TopTenRow& r) { return r.name() == name && r.time() == time; };
    if (index >= 0 && index < size() && matches(rows_.at(index)))
        return index;
    const auto it = std::find_if(rows_.begin(), rows_.end(), matches);
    return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
}

} // namespace vartemo
