// The log book window and the information window: what the operator waits
// for when opening them and when filtering a long log book.
#include "about/systeminfogatherer.h"
#include "about/systeminfotext.h"
#include "about/taboutbox.h"
#include "core/textfile.h"
#include "logbook/logbook.h"
#include "logbook/operatorroster.h"
#include "logbook/tdenikfrm.h"
#include "logbookseason.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTreeView>
#include <benchmark/benchmark.h>

using namespace vartemo;

namespace {

struct LogBookWindowFixture {
    explicit LogBookWindowFixture(int lines) {
        textfile::writeLines(dir.filePath(QStringLiteral("vartemo.den")), SeasonLogLines(lines));
        book.LoadLogBook();
    }
    QTemporaryDir dir;
    LogBook book{dir.filePath(QStringLiteral("vartemo.den"))};
    QStringList names{QStringLiteral("Petr"), QStringLiteral("Jan")};
    OperatorRoster roster{{.names = [this] { return names; }, .add = {}, .remove = {}}, [](const QString&) {}};
    TDenikFrm window{book, roster};
};

// Opening the window over 100 000 entries: tree shown, operators, sums.
void BM_LogBookWindowActivation(benchmark::State& state) {
    LogBookWindowFixture f(int(state.range(0)));
    for (auto _ : state) {
        f.window.ShowModal();
        QApplication::processEvents(); // the tree lays out and paints
        state.PauseTiming();
        f.window.hide();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LogBookWindowActivation)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// "Po&užít filtr" with the text criterion met by half the entries.
void BM_LogBookFilter(benchmark::State& state) {
    LogBookWindowFixture f(int(state.range(0)) * 2);
    f.window.ShowModal();
    f.window.findChild<QCheckBox*>(QStringLiteral("chText"))->setChecked(true);
    f.window.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral(" Petr "));
    qsizetype selected = 0;
    for (auto _ : state) {
        f.window.ApplyFilter();
        QApplication::processEvents();
        selected = f.window.findChild<QTreeView*>(QStringLiteral("tvDenik"))->selectionModel()->selectedIndexes().size();
    }
    state.counters["selected"] = double(selected);
}
BENCHMARK(BM_LogBookFilter)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();

// "&O programu" with a computer that never answers: the user-interface time.
void BM_AboutBoxActivation(benchmark::State& state) {
    SystemFacts facts;
    facts.hostName = QStringLiteral("trat-pc");
    TAboutBox box;
    box.setSystemInfo(BuildSystemInfo(QStringLiteral("Vartemo Kestral verze 2.3"), QStringLiteral("sestavení 1"),
                                      QStringLiteral("/data"), facts));
    for (auto _ : state) {
        box.ShowModal();
        QApplication::processEvents();
        state.PauseTiming();
        box.hide();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AboutBoxActivation)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
