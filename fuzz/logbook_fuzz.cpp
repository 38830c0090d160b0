// libFuzzer target: any bytes as the log book vartemo.den, loaded with this
// run's start, shown as the window's tree, filtered, its takings summed,
// events added and the program's end written. Nothing may crash; the tree
// holds every entry once under the right parent, and a book that loaded
// whole reads back from its file exactly as memory holds it.
#include "fuzzsupport.h"

#include "logbook/logbook.h"
#include "logbook/logbookfilter.h"
#include "logbook/logbookmodel.h"
#include "logbook/takings.h"

using namespace vartemo;

namespace {

// Every row of the tree once, each child's parent its parent.
qsizetype Walk(const LogBookModel& model, const QModelIndex& parent) {
    qsizetype count = 0;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex child = model.index(row, 0, parent);
        FUZZ_CHECK(child.isValid() && model.parent(child) == parent);
        (void)model.data(child);
        count += 1 + Walk(model, child);
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = fuzz::ScratchPath(QStringLiteral("vartemo.den"));
    fuzz::WriteFile(path, fuzz::Bytes(data, size));

    const QDateTime now(QDate(2026, 12, 9), QTime(14, 3, 27));
    LogBook book(path, [now] { return now; });
    LogBookModel model(book);
    const bool whole = book.LoadLogBook();
    FUZZ_CHECK(Walk(model, {}) == book.entries().size());

    LogBookFilter filter{.operatorName = QStringLiteral("Admin"), .date = QStringLiteral("9.12.2026"),
                         .time = QStringLiteral("14:03:27"), .text = QStringLiteral("Kč")};
    for (const qsizetype i : ApplyLogBookFilter(book.entries(), filter))
        FUZZ_CHECK(i >= 0 && i < book.entries().size());
    (void)SumTakings(book.entries(), QDate(2026, 12, 9), QStringLiteral("Admin"));
    for (const LogBookEntry& e : book.entries())
        (void)ParseTakingsLine(e.text);

    FUZZ_CHECK(book.AddLogEntry(QStringLiteral("Kč 150 Admin 14:05:03 9.12.2026")));
    FUZZ_CHECK(book.AddProgramEnd());
    FUZZ_CHECK(Walk(model, {}) == book.entries().size());
    if (whole) {
        const QList<LogBookEntry> memory = book.entries();
        LogBook again(path, [now] { return now; });
        FUZZ_CHECK(again.LoadLogBook());
        FUZZ_CHECK(again.entries().mid(0, memory.size()) == memory);
    }
    return 0;
}
