#pragma once

#include <QList>
#include <QString>
#include <functional>

namespace vartemo {

// One row of a best-twenty table as the table holds it: texts, the time in
// the "nn:ss:zzz" form.
struct BestTableRow {
    QString rank;
    QString name;
    QString time;
};

// The men's and the women's best-twenty tables, top row first.
struct BestTables {
    QList<BestTableRow> men;
    QList<BestTableRow> women;
};

// Where the spectator views read the tables from; called after the tables'
// change notice, never from a timing poll.
using BestTablesSource = std::function<BestTables()>;

// The placeholder that fills a table ("noname", "59:59:999"): no driver.
bool IsPlaceholderRow(const BestTableRow& row);

} // namespace vartemo
