// The automatic print at the stop of a ride in a whole station: every kart
// with the ride's drivers, and a stop that goes on without a printer.

#include "app/besttwentywiring.h"
#include "app/printingwindows.h"
#include "printing/besttwentypreviewdialog.h"
#include "printing/defaultlogo.h"
#include "printing/resultpreviewdialog.h"
#include "printing/stationprinter.h"
#include "records/ttopten10frm.h"
#include "stationride.h"
#include "../engine/qstringprinter.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
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

namespace {

// The navy of the station's own logo, counted in a rectangle (millimetres)
// of the first page of a PDF rendered at 72 dpi.
int NavyPixels(const QString& pdf, const QRectF& mm) {
    const QString png = pdf + QStringLiteral(".png");
    QProcess p;
    p.start(QStringLiteral("pdftoppm"), {"-r", "72", "-png", "-singlefile", "-f", "1", "-l", "1", pdf,
                                         png.chopped(4)});
    p.waitForFinished(30'000);
    const QImage page(png);
    const double pxPerMm = 72 / 25.4;
    int navy = 0;
    for (int y = int(mm.top() * pxPerMm); y < int(mm.bottom() * pxPerMm) && y < page.height(); ++y)
        for (int x = int(mm.left() * pxPerMm); x < int(mm.right() * pxPerMm) && x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            navy += std::abs(c.red() - 0x1d) < 12 && std::abs(c.green() - 0x35) < 12 && std::abs(c.blue() - 0x57) < 12;
        }
    return navy;
}

} // namespace

// A fresh installation prints the logo the station drew for itself: the
// first start put it in "Logo", the settings name no logo of their own, and
// the sheet of the stop has it in the middle of its header.
TEST_F(StationRide, AFreshInstallationPrintsTheStationsOwnLogo) {
    writeIni("[Semafor]\r\nPouzij=0\r\n[Tisk]\r\nAutotisk=1\r\n");
    Station station{ProgramFolder(home.path())};
    station.setPrintToPdf(pdfs.path());
    station.show();
    ASSERT_TRUE(QFile::exists(home.filePath("Logo/logo.png")));
    MessageCloser closer;
    ride(station);

    const QStringList files = QDir(pdfs.path()).entryList({"*.pdf"}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    // The header's logo box is 10..287 mm by 10..60 mm; the logo, about 38 x 27.5 mm,
    // sits in its middle, clear of the texts at 60 mm and 170 mm.
    const QString pdf = pdfs.filePath(files[0]);
    EXPECT_GT(NavyPixels(pdf, QRectF(129, 21, 39, 28)), 2000);
    EXPECT_EQ(NavyPixels(pdf, QRectF(10, 10, 110, 45)) + NavyPixels(pdf, QRectF(171, 10, 116, 45)), 0);

    ResultPreviewDialog& sheet = *station.printing().lapSheet();
    sheet.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sheet.composing() && sheet.currentPage() == 1; }, 5000));
    const std::vector<PictureItem> pictures = sheet.sheet().pages[0].pictures();
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(pictures[0].image.convertToFormat(QImage::Format_ARGB32),
              DefaultLogo().convertToFormat(QImage::Format_ARGB32));
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
    QWidget* window = station.bestTwenty().window();
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

    ASSERT_EQ(pictures.size(), 3u) << "the header's logo (the station's own) and both tables";
    EXPECT_EQ(pictures[0].image.convertToFormat(QImage::Format_ARGB32),
              DefaultLogo().convertToFormat(QImage::Format_ARGB32));
    EXPECT_EQ(pictures[1].image.size(), men);
    EXPECT_EQ(pictures[1].target.topLeft(), QPoint(Mm(10), Mm(120)));
    EXPECT_EQ(pictures[2].target.topLeft(), QPoint(Mm(105), Mm(120)));
    EXPECT_EQ(QDir(pdfs.path()).entryList({"*.pdf"}, QDir::Files), QStringList{"vartemo - top dvacet 1.pdf"});
    window->close();
}
