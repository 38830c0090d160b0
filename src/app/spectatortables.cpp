#include "app/spectatortables.h"

#include "app/liveresultswiring.h"
#include "app/tvdisplaywiring.h"
#include "records/toptables.h"
#include "spectators/ttv_out_frm.h"

namespace vartemo {

namespace {

QList<BestTableRow> rowsOf(const TopTenTable& table) {
    QList<BestTableRow> rows;
    rows.reserve(table.rows().size());
    for (const TopTenRow& row : table.rows())
        rows.append({row.rank(), row.name(), row.time()});
    return rows;
}

} // namespace

void ConnectSpectatorTables(TopTables& tables, TvDisplayWiring& tv, LiveResultsWiring& live) {
    const BestTablesSource source = [&tables] { return BestTables{rowsOf(tables.men()), rowsOf(tables.women())}; };
    tv.setBestTables(source);
    live.setBestTables(source);
    const auto changed = [&tv, &live] {
        tv.BestTablesChanged();
        live.BestTablesChanged();
    };
    QObject::connect(&tables, &TopTables::changed, &tv.window(), changed);
    QObject::connect(&tables, &TopTables::reloaded, &tv.window(), changed);
}

} // namespace vartemo
