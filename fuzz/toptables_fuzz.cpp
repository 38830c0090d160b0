// libFuzzer target: any bytes as the best-twenty tables TopDeset.ini (the
// input up to its first NUL byte) and TopDeset1.ini (the rest; without a NUL
// both get the whole input), loaded, offered a ride's laps, edited, moved
// between the tables and saved. Nothing may crash; both tables keep twenty
// rows, a commit leaves them sorted, and what was saved reads back the same.
#include "fuzzsupport.h"

#include "records/toptables.h"
#include "records/toptentable.h"

#include <algorithm>

using namespace vartemo;

namespace {

bool Sorted(const TopTenTable& table) {
    for (int i = 1; i < table.size(); ++i)
        if (TopTenListCompare(table.row(i - 1), table.row(i)) > 0)
            return false;
    return true;
}

void CheckShape(const TopTables& tables) {
    FUZZ_CHECK(tables.men().size() == kTopTenRows && tables.women().size() == kTopTenRows);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    const qsizetype nul = bytes.indexOf('\0');
    const QString folder = fuzz::Scratch().path();
    fuzz::WriteFile(folder + QStringLiteral("/TopDeset.ini"), nul < 0 ? bytes : bytes.left(nul));
    fuzz::WriteFile(folder + QStringLiteral("/TopDeset1.ini"), nul < 0 ? bytes : bytes.mid(nul + 1));

    QStringList log;
    TopTables tables(folder, {.addLogEntry = [&log](const QString& line) { log << line; },
                              .currentOperator = [] { return QStringLiteral("Admin"); },
                              .now = [] { return QDateTime(QDate(2026, 12, 9), QTime(14, 3, 27)); }});
    (void)tables.Load();
    CheckShape(tables);

    // A ride's laps, among them one faster than any table row and a line
    // that is no time.
    TimeMs slowest = 0;
    for (const TopTenRow& row : tables.women().rows())
        slowest = std::max(slowest, SortKeyOf(row).ms);
    const bool evaEnters = slowest > 1;
    int flag = 0;
    QStringList errors;
    tables.InsertBestLap(flag, QStringLiteral("Jan Novák"), {QStringLiteral("00:31:250"), QStringLiteral("x")},
                         false, errors);
    tables.InsertBestLap(flag, QStringLiteral("Eva\tNová"), {QStringLiteral("00:00:001")}, true, errors);
    (void)tables.CommitTopTables(flag);
    CheckShape(tables);
    FUZZ_CHECK(Sorted(tables.men()) && Sorted(tables.women()));
    if (evaEnters) {
        bool found = false;
        for (const TopTenRow& row : tables.women().rows())
            found = found || (row.name() == QStringLiteral("Eva Nová") && row.time() == QStringLiteral("00:00:001"));
        FUZZ_CHECK(found); // the name's TAB made a blank
    }

    const TopTenRow& first = tables.men().row(0);
    (void)tables.Rename(TopTable::Men, 0, first.name(), first.time(), QStringLiteral("Petr"), errors);
    tables.Move(TopTable::Women, 1, errors);
    tables.Delete(TopTable::Men, 19, errors);
    CheckShape(tables);
    FUZZ_CHECK(errors.size() <= 1); // the "x" line only

    // What the files now hold is what the tables hold.
    const QStringList men = tables.men().lines();
    const QStringList women = tables.women().lines();
    (void)tables.Load();
    FUZZ_CHECK(tables.men().lines() == men && tables.women().lines() == women);
    return 0;
}
