// The automatic print at the stop of a ride in a whole station: every kart
// with the ride's drivers, and a stop that goes on without a printer.

#include "app/printingwindows.h"
#include "printing/besttwentypreviewdialog.h"
#include "printing/resultpreviewdialog.h"
#include "printing/stationprinter.h"
#include "stationride.h"
#include "../engine/qstringprinter.h"

#include <QDir>
#include <QPushButton>
#include <QTest>

using namespace vartemo;
using namespace vartemo::testing;

namespace {

// No print server answers in this program: the machine's printers stay out.
const bool kNoPrintServer = qputenv("CUPS_SERVER", "127.0.0.1:9");

} // namespace

TEST_F(StationRide, StopPrintsEveryKartWithTheRidesDriversWhateverKartWasChosen) {
    ASSERT_TRUE(kNoPrintServer);
    writeIni("[Semafor]\r\nPouzij=0\r\n[Tisk]\r\nAutotisk=1\r\nText6=*Děkujeme za jízdu\r\n");
    Station station{ProgramFolder(home.path())};
    station.setPrintToPdf(pdfs.path());
    station.show();
    station.printing().lapSheet()->setKartSelection(2); // "Druhou" from a print by hand
    MessageCloser closer;
    ride(station);

    EXPECT_EQ(station.board().DriverName(1), "kara1") << "the names were reset at the stop";
    const QStringList files = QDir(pdfs.path()).entryList({"*.pdf"}, QDir::Files);
    ASSERT_EQ(files, QStringList{"vartemo - časy 1.pdf"});
    const QString text = PdfText(pdfs.filePath(files[0]));
    for (int k = 1; k <= kKartCount; ++k)
        EXPECT_TRUE(text.contains(QStringLiteral("Řidič%1").arg(k))) << k;
    EXPECT_TRUE(text.contains("Děkujeme za jízdu"));
    EXPECT_TRUE(text.contains("00:39:008|"));
    EXPECT_EQ(station.printing().lapSheet()->kartSelection(), 2) << "the operator's choice stays";
    EXPECT_FALSE(station.printing().lapSheet()->isVisible());
    EXPECT_EQ(logBook().filter("\tKč ").size(), 1);

    // Until the next START the sheets name the ride's drivers.
    ResultPreviewDialog& sheet = *station.printing().lapSheet();
    sheet.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sheet.composing() && sheet.currentPage() == 1; }, 5000));
    EXPECT_NE(sheet.sheet().pages[0].find("Řidič2"), nullptr);
    sheet.reject();
}

TEST_F(StationRide, WithoutAPrinterTheStopSaysSoAndStillWritesItsTakings) {
    writeIni("[Semafor]\r\nPouzij=0\r\n[Tisk]\r\nAutotisk=1\r\n");
    Station station{ProgramFolder(home.path())};
    station.show();
    MessageCloser closer;
    ride(station);
    QTest::qWait(100);
    ASSERT_EQ(closer.texts.size(), 1) << closer.texts.join(u'\n').toStdString();
    EXPECT_TRUE(closer.texts[0].startsWith("Tisk nelze spustit")) << closer.texts[0].toStdString();
    EXPECT_EQ(logBook().filter("\tKč ").size(), 1);
    EXPECT_EQ(station.raceControl().startCaption(), "&START");
}

TEST_F(StationRide, BestTwentyWindowPrintsItsTablesAsTheyAreShown) {
    writeIni("[Semafor]\r\nPouzij=0\r\n");
    Station station{ProgramFolder(home.path())};
    station.setPrintToPdf(pdfs.path());
    station.show();
    QWidget* window = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "TTopTen10Frm")
            window = w;
    ASSERT_NE(window, nullptr);
    window->show();
    const QSize men = window->findChild<QWidget*>("TopTenList")->size();

    // "&Tisk" opens the sheet's window modally: look at it, then print.
    std::vector<PictureItem> pictures;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(QTest::qWaitFor([&] {
            TNahled1Dlg* sheet = station.printing().bestTwentySheet();
            return sheet->isVisible() && !sheet->composing() && sheet->currentPage() == 1;
        }, 5000));
        TNahled1Dlg* sheet = station.printing().bestTwentySheet();
        pictures = sheet->sheet().pages[0].pictures();
        sheet->PrintBtnClick(); // the printer dialog is not asked for PDF output here
    });
    station.printing().printer().setConfirm([](QPrinter&, QWidget*) { return true; });
    window->findChild<QPushButton*>("btnTisk")->click();

    ASSERT_EQ(pictures.size(), 2u) << "both tables";
    EXPECT_EQ(pictures[0].image.size(), men);
    EXPECT_EQ(pictures[0].target.topLeft(), QPoint(Mm(10), Mm(120)));
    EXPECT_EQ(pictures[1].target.topLeft(), QPoint(Mm(105), Mm(120)));
    EXPECT_EQ(QDir(pdfs.path()).entryList({"*.pdf"}, QDir::Files), QStringList{"vartemo - top dvacet 1.pdf"});
    window->close();
}
