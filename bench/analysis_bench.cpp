// The statistics chart and the results editor at the sizes a long day gives:
// the lap dialog's fill of 8 karts x 2000 laps, its print to PDF, one mouse
// move of the readout over it, and a 1 MiB lap-time file loaded into the
// editor page.
#include "analysis/lapcharts.h"
#include "analysis/resultseditorpage.h"
#include "analysis/statisticsdialog.h"
#include "engine/raceboard.h"
#include "engine/timetext.h"
#include "printing/stationprinter.h"

#include <QApplication>
#include <QChart>
#include <QFile>
#include <QFileInfo>
#include <QLineSeries>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace vartemo;

namespace {

void FillBoard(RaceBoard& board, int laps) {
    for (int kart = 1; kart <= 8; ++kart) {
        QStringList lines;
        for (int i = 0; i < laps; ++i)
            lines << FormatTimeText(40'000 + (i * 7919 + kart * 104729) % 9000);
        board.setLines(kart, BoardList::Lap, lines);
    }
}

StatisticsDialog::Sources Sources(const RaceBoard& board, StationPrinter* printer = nullptr) {
    return {.board = board, .sensorIds = {}, .sensorDescriptions = {}, .printer = printer, .saveFile = {},
            .bestTwenty = {}, .showError = [](const QString&) {}};
}

// The lap dialog on screen over a board of 8 karts with `laps` laps each.
struct ShownDialog {
    explicit ShownDialog(int laps) {
        FillBoard(board, laps);
        dialog.show();
        QCoreApplication::processEvents();
    }
    RaceBoard board;
    TStat_Dlg dialog{Sources(board)};
};

// Activation with every kart's series and small chart, painted once.
void BM_LapDialogFill(benchmark::State& state) {
    ShownDialog shown(int(state.range(0)));
    for (auto _ : state) {
        shown.dialog.activate();
        shown.dialog.repaint();
        QCoreApplication::processEvents();
    }
    state.counters["points"] = double(shown.dialog.series(1)->count() * 8);
}
BENCHMARK(BM_LapDialogFill)->Arg(2000)->Unit(benchmark::kMillisecond);

// The same without painting: the series, small charts, ranges and labels.
void BM_LapDialogFillNoPaint(benchmark::State& state) {
    ShownDialog shown(int(state.range(0)));
    for (auto _ : state)
        shown.dialog.activate();
}
BENCHMARK(BM_LapDialogFillNoPaint)->Arg(2000)->Unit(benchmark::kMillisecond);

// "Tisk jednotlivých kol" of a ride of 8 karts x `laps` laps into a PDF file.
void BM_LapChartPrintPdf(benchmark::State& state) {
    QTemporaryDir pdfs;
    StationPrinter printer(pdfs.path());
    printer.setConfirm([](QPrinter&, QWidget*) { return true; });
    RaceBoard board;
    FillBoard(board, int(state.range(0)));
    TStat_Dlg dialog(Sources(board, &printer));
    dialog.show();
    QCoreApplication::processEvents();
    dialog.activate();
    for (auto _ : state)
        dialog.printChart();
    state.counters["pdf_kB"] = double(QFileInfo(printer.lastPdf()).size()) / 1024;
}
BENCHMARK(BM_LapChartPrintPdf)->Arg(3)->Arg(2000)->Unit(benchmark::kMillisecond);

// One move of the pointer over the filled chart, with its repaint.
void BM_ReadoutMove(benchmark::State& state) {
    ShownDialog shown(2000);
    StatisticsDialog& dialog = shown.dialog;
    ReadoutChartView* view = dialog.chartView();
    const QRectF area = dialog.chart()->plotArea();
    int step = 0;
    for (auto _ : state) {
        const QPointF local = view->mapFromScene(dialog.chart()->mapToScene(
            QPointF(area.left() + 10 + (step++ % 400), area.center().y())));
        QMouseEvent move(QEvent::MouseMove, local, view->viewport()->mapToGlobal(local), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &move);
        view->viewport()->repaint();
    }
}
BENCHMARK(BM_ReadoutMove)->Unit(benchmark::kMicrosecond);

// A 1 MiB file selected in the editor: read, decoded, listed.
void BM_EditorLoadMiB(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("velky.caskola"));
    QByteArray bytes;
    while (bytes.size() + 11 <= 1024 * 1024)
        bytes += "00:41:236\r\n";
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    f.close();
    ResultsEditorPage page;
    page.resize(800, 400);
    page.show();
    page.activate(dir.path());
    QCoreApplication::processEvents();
    for (auto _ : state) {
        page.selectPath(path);
        page.repaint();
        QCoreApplication::processEvents();
    }
    state.counters["lines"] = double(page.editor().lines().size());
}
BENCHMARK(BM_EditorLoadMiB)->Unit(benchmark::kMillisecond);

} // namespace
