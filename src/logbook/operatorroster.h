#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

namespace vartemo {

// The operator names of the log book window, kept in section "Uzivatel" of
// vartemo.ini. The file is written before the log book line, so a change
// that did not reach the file is never recorded as done.
class OperatorRoster {
public:
    // Where the names are stored; a failed write gives the reason in *error.
    struct Store {
        std::function<QStringList()> names; // keys 1..n in order
        std::function<bool(const QString& name, QString* error)> add;
        std::function<bool(int row, QString* error)> remove;
    };
    using AddLogEntry = std::function<void(const QString& line)>;
    using Now = std::function<QDateTime()>;

    OperatorRoster(Store store, AddLogEntry addLogEntry, Now now = &QDateTime::currentDateTime);

    // The built-in name: never stored, never removed.
    static const QString kBuiltIn;
    static const QString kNoNameMessage;     // "Zadejte jmeno !!!"
    static const QString kNameExistsMessage; // "Jmeno je zalozeno!!!"

    // What the operator is told; empty when the change was made.
    using Message = QString;

    // The name typed, outer blanks removed; refused when empty, when it is
    // the built-in one or already stored (exact letter case).
    Message Add(const QString& typed);
    // The name in stored position row (0 = key "1"); nothing for no row.
    Message Remove(int row);

    QStringList names() const { return store_.names(); }
    // The name selectors: the built-in name, then the stored ones from key n
    // down to key 1.
    static QStringList SelectorItems(const QStringList& names);

private:
    Store store_;
    AddLogEntry addLogEntry_;
    Now now_;
};

} // namespace vartemo
