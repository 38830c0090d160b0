// Composing and printing the sheets: the largest lap sheets as PDF files,
// and the lap sheet window from Tisk1 to its first page on screen. The last
// files stay in $TMPDIR/vartemo-bench-printing for a look.

#include "printing/besttwentysheet.h"
#include "printing/diplomasheet.h"
#include "printing/resultpreviewdialog.h"
#include "printing/resultsheet.h"
#include "printing/stationprinter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <benchmark/benchmark.h>

using namespace vartemo;

namespace {

QString OutFolder() {
    const QString dir = QDir::temp().filePath(QStringLiteral("vartemo-bench-printing"));
    QDir().mkpath(dir);
    return dir;
}

ResultSheetInput Laps(const std::array<int, kKartCount>& counts) {
    ResultSheetInput in;
    in.now = QDateTime::currentDateTime();
    in.trackLength = 400;
    in.texts.text = {"Motokárová dráha", "Průmyslová 12", "Kestřany", "tel. 123 456 789", "",
                     "Děkujeme Vám za vaši návštěvu.", "", ""};
    for (int k = 1; k <= kKartCount; ++k) {
        in.names[size_t(k - 1)] = QStringLiteral("Jezdec %1").arg(k);
        for (int i = 0; i < counts[size_t(k - 1)]; ++i)
            in.lines[size_t(k - 1)] << QStringLiteral("00:%1:%2").arg(30 + k).arg(i % 1000, 3, 10, QLatin1Char('0'));
    }
    return in;
}

// Composing and writing the PDF file, as the automatic print does.
void PrintAsPdf(benchmark::State& state, const ResultSheetInput& input, const char* file) {
    StationPrinter printer;
    printer.printer().setOutputFormat(QPrinter::PdfFormat);
    printer.printer().setOutputFileName(QDir(OutFolder()).filePath(QLatin1String(file)));
    size_t pages = 0;
    for (auto _ : state) {
        const Sheet sheet = ComposeResultPages(input);
        pages = sheet.pages.size();
        const QString error = printer.print(sheet);
        if (!error.isEmpty())
            state.SkipWithError(qPrintable(error));
    }
    state.counters["pages"] = double(pages);
}

void BM_EightKartsOf300Laps_ComposeAndPdf(benchmark::State& state) {
    PrintAsPdf(state, Laps({300, 300, 300, 300, 300, 300, 300, 300}), "laps-8x300.pdf");
}
BENCHMARK(BM_EightKartsOf300Laps_ComposeAndPdf)->Unit(benchmark::kMillisecond);

void BM_OneKartOf20000Laps_ComposeAndPdf(benchmark::State& state) {
    PrintAsPdf(state, Laps({20'000, 0, 0, 0, 0, 0, 0, 0}), "laps-1x20000.pdf");
}
BENCHMARK(BM_OneKartOf20000Laps_ComposeAndPdf)->Unit(benchmark::kMillisecond);

void BM_EightKartsOf300Laps_ComposeOnly(benchmark::State& state) {
    const ResultSheetInput input = Laps({300, 300, 300, 300, 300, 300, 300, 300});
    for (auto _ : state)
        benchmark::DoNotOptimize(ComposeResultPages(input));
}
BENCHMARK(BM_EightKartsOf300Laps_ComposeOnly)->Unit(benchmark::kMillisecond);

// Tisk1 to the first page painted in the window, the pause before the
// composing ends included.
void BM_LapSheetFirstPageOnScreen(benchmark::State& state) {
    StationPrinter printer;
    const ResultSheetInput input = Laps({27, 27, 27, 27, 27, 27, 27, 27});
    TNahled2Dlg window(printer, [&] { return input; });
    for (auto _ : state) {
        QElapsedTimer elapsed;
        elapsed.start();
        window.show();
        while (window.composing() || window.currentPage() == 0)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        QWidget* view = window.findChild<QWidget*>(QStringLiteral("PrintPreview"));
        view->repaint(); // the page painted
        state.SetIterationTime(double(elapsed.nsecsElapsed()) / 1e9);
        window.reject();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_LapSheetFirstPageOnScreen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// One PDF each of the other sheets, to look at.
void BM_BestTwentyAndDiploma_Pdf(benchmark::State& state) {
    StationPrinter printer(OutFolder());
    BestTwentyInput best;
    best.men = QImage(355, 449, QImage::Format_RGB32);
    best.women = QImage(354, 449, QImage::Format_RGB32);
    best.men.fill(QColor(230, 240, 255));
    best.women.fill(QColor(255, 235, 240));
    best.texts = Laps({}).texts;
    best.texts.text[7] = QStringLiteral("Text 8 na konci stránky");
    best.now = QDateTime::currentDateTime();
    DiplomaInput diploma;
    diploma.name = QStringLiteral("Jiří Šťastný");
    diploma.placement = 2;
    diploma.settings.picture = QImage(600, 160, QImage::Format_RGB32);
    diploma.settings.picture.fill(QColor(200, 170, 60));
    diploma.settings.text = {"DIPLOM", "za účast v závodě", "Za #misto# místo", "Motokárová dráha Vartemo"};
    diploma.now = best.now;
    for (auto _ : state) {
        printer.print(ComposeBestTwentySheet(best));
        printer.print(ComposeDiploma(diploma));
    }
}
BENCHMARK(BM_BestTwentyAndDiploma_Pdf)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vartemo"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
