#include "records/toptables.h"

#include "core/conversionerror.h"
#include "core/textfile.h"
#include "engine/raceboard.h"
#include "engine/timetext.h"
#include "logbook/logentries.h"

#include <QDir>
#include <QFileInfo>

#include <limits>

namespace vartemo {

namespace {

void addUnique(QStringList& list, const QString& message) {
    if (!list.contains(message))
        list.append(message);
}

void addUnique(QStringList& list, const QStringList& messages) {
    for (const QString& m : messages)
        addUnique(list, m);
}

TopTable other(TopTable t) {
    return t == TopTable::Men ? TopTable::Women : TopTable::Men;
}

} // namespace

TopTables::TopTables(QString folder, Hooks hooks, QObject* parent)
    : QObject(parent), folder_(std::move(folder)), hooks_(std::move(hooks)) {}

QString TopTables::FileName(TopTable table) {
    return table == TopTable::Men ? QStringLiteral("TopDeset.ini") : QStringLiteral("TopDeset1.ini");
}

QString TopTables::filePath(TopTable table) const {
    const QString wanted = FileName(table);
    const QDir dir(folder_);
    QString found;
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name == wanted)
            return dir.filePath(name);
        if (found.isEmpty() && name.compare(wanted, Qt::CaseInsensitive) == 0)
            found = name;
    }
    return dir.filePath(found.isEmpty() ? wanted : found);
}

std::optional<QString> TopTables::loadTable(TopTable which) {
    const QString path = filePath(which);
    TopTenTable& table = tableRef(which);
    unreadable_[which == TopTable::Men ? 0 : 1] = false;
    if (!QFileInfo::exists(path)) {
        // A fresh folder, or a file someone removed: twenty placeholder rows.
        table = TopTenTable();
        return save(which);
    }
    const auto lines = textfile::readLines(path);
    if (!lines) {
        // Kept out of every save until it reads again: what could not be
        // read is not to be overwritten.
        unreadable_[which == TopTable::Men ? 0 : 1] = true;
        return QStringLiteral("Soubor %1 nelze přečíst.").arg(QDir::toNativeSeparators(path));
    }
    table.setLines(*lines);
    return std::nullopt;
}

QStringList TopTables::Load() {
    QStringList errors;
    for (TopTable t : {TopTable::Men, TopTable::Women})
        if (auto e = loadTable(t))
            errors.append(*e);
    emit reloaded();
    return errors;
}

std::optional<QString> TopTables::save(TopTable which) {
    const QString path = filePath(which);
    if (unreadable_[which == TopTable::Men ? 0 : 1])
        return QStringLiteral("Soubor %1 nelze přečíst.").arg(QDir::toNativeSeparators(path));
    QString reason;
    if (!textfile::writeLines(path, table(which).lines(), &reason))
        return QStringLiteral("Tabulku nelze zapsat do souboru %1: %2")
            .arg(QDir::toNativeSeparators(path), reason);
    return std::nullopt;
}

QStringList TopTables::Ulozit() {
    return saveOne(TopTable::Men);
}

QStringList TopTables::Ulozit1() {
    return saveOne(TopTable::Women);
}

QStringList TopTables::saveOne(TopTable which) {
    QStringList errors;
    if (auto e = save(which))
        errors.append(*e);
    emit changed();
    return errors;
}

QStringList TopTables::saveBoth() {
    QStringList errors;
    for (TopTable t : {TopTable::Men, TopTable::Women})
        if (auto e = save(t))
            errors.append(*e);
    emit changed();
    return errors;
}

void TopTables::InsertBestLap(int& flag, const QString& name, const QStringList& laps, bool woman,
                              QStringList& errors) {
    TimeMs best = std::numeric_limits<qint32>::max();
    for (const QString& line : laps) {
        try {
            const TimeMs v = ParseTimeText(line);
            // Zero laps are no laps; a negative one is not a time a kart drove.
            if (v > 0 && v < best)
                best = v;
        } catch (const ConversionError& e) {
            addUnique(errors, e.message());
        }
    }
    if (tableRef(woman ? TopTable::Women : TopTable::Men).insertLap(name, best))
        flag = -1;
}

QStringList TopTables::CommitTopTables(int flag) {
    for (TopTenTable* t : {&men_, &women_}) {
        t->sort();
        t->renumber();
    }
    QStringList errors = saveBoth();
    if (flag != 0)
        emit entered();
    return errors;
}

QStringList TopTables::TopTenDeset(const RaceBoard& board) {
    QStringList errors;
    try {
        addUnique(errors, Load());
        int flag = 0;
        for (int kart = 1; kart <= kKartCount; ++kart) {
            if (board.isExcluded(kart))
                continue;
            InsertBestLap(flag, board.DriverName(kart), board.lines(kart, BoardList::Lap),
                          board.isWoman(kart), errors);
        }
        addUnique(errors, CommitTopTables(flag));
    } catch (const std::exception& e) {
        // Race control goes on with the rest of the stop whatever happens here.
        addUnique(errors, QString::fromLocal8Bit(e.what()));
    }
    return errors;
}

QStringList TopTables::InsertKart(const RaceBoard& board, int kart) {
    QStringList errors;
    const QStringList& laps = board.lines(kart, BoardList::Lap);
    if (laps.isEmpty())
        return errors;
    int flag = 0;
    InsertBestLap(flag, board.DriverName(kart), laps, board.isWoman(kart), errors);
    addUnique(errors, CommitTopTables(flag));
    return errors;
}

QStringList TopTables::Reset() {
    if (hooks_.addLogEntry) {
        const QString who = hooks_.currentOperator ? hooks_.currentOperator() : QString();
        const QDateTime now = hooks_.now ? hooks_.now() : QDateTime::currentDateTime();
        hooks_.addLogEntry(TimedEntry(now, who + QStringLiteral(" :") + QStringLiteral("vynulování TOP tabulek")));
    }
    men_.reset();
    women_.reset();
    // The operator asked for fresh tables: they replace even a file that
    // could not be read.
    unreadable_[0] = unreadable_[1] = false;
    return saveBoth();
}

bool TopTables::Rename(TopTable which, int index, const QString& openedName, const QString& openedTime,
                       const QString& newName, QStringList& errors) {
    TopTenTable& t = tableRef(which);
    const int row = t.findRow(index, openedName, openedTime);
    if (row < 0)
        return false;
    t.setName(row, newName);
    addUnique(errors, saveOne(which));
    return true;
}

void TopTables::Delete(TopTable which, int index, QStringList& errors) {
    TopTenTable& t = tableRef(which);
    if (index < 0 || index >= t.size())
        return;
    t.removeRow(index);
    addUnique(errors, saveOne(which));
}

void TopTables::Move(TopTable from, int index, QStringList& errors) {
    TopTenTable& source = tableRef(from);
    if (index < 0 || index >= source.size())
        return;
    TopTenRow moved = source.row(index);
    moved.setRank(QString::number(kTopTenRows)); // until renumbered below
    source.blankRow(index);
    tableRef(other(from)).insertRow(moved);
    for (TopTenTable* t : {&men_, &women_}) {
        t->sort();
        t->renumber();
    }
    addUnique(errors, saveBoth());
}

std::optional<int> DiplomaPlacement(int position) {
    if (position < 1 || position > 6)
        return std::nullopt;
    return std::min(position, 5) - 1;
}

} // namespace vartemo

#include "moc_toptables.cpp"
