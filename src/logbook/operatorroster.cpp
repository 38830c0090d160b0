#include "logbook/operatorroster.h"

#include "logbook/logentries.h"

#include <algorithm>

namespace vartemo {

namespace {
QString fileError(const QString& error) {
    return QStringLiteral("Seznam uživatelů nelze uložit do konfiguračního souboru.")
           + (error.isEmpty() ? QString() : u'\n' + error);
}
} // namespace

const QString OperatorRoster::kBuiltIn = QStringLiteral("Admin");
const QString OperatorRoster::kNoNameMessage = QStringLiteral("Zadejte jmeno !!!");
const QString OperatorRoster::kNameExistsMessage = QStringLiteral("Jmeno je zalozeno!!!");

OperatorRoster::OperatorRoster(Store store, AddLogEntry addLogEntry, Now now)
    : store_(std::move(store)), addLogEntry_(std::move(addLogEntry)), now_(std::move(now)) {}

OperatorRoster::Message OperatorRoster::Add(const QString& typed) {
    // The file keeps names trimmed: checked as it will be read back.
    const QString name = typed.trimmed();
    if (name.isEmpty())
        return kNoNameMessage;
    if (name == kBuiltIn || store_.names().contains(name))
        return kNameExistsMessage;
    QString error;
    if (!store_.add(name, &error))
        return fileError(error);
    addLogEntry_(TimedEntry(now_(), QStringLiteral("přidán uživatel: ") + name));
    return {};
}

OperatorRoster::Message OperatorRoster::Remove(int row) {
    const QStringList stored = store_.names();
    if (row < 0 || row >= stored.size())
        return {};
    QString error;
    if (!store_.remove(row, &error))
        return fileError(error);
    addLogEntry_(TimedEntry(now_(), QStringLiteral("smazán uživatel: ") + stored[row]));
    return {};
}

QStringList OperatorRoster::SelectorItems(const QStringList& names) {
    QStringList items{kBuiltIn};
    std::reverse_copy(names.begin(), names.end(), std::back_inserter(items));
    return items;
}

} // namespace vartemo
