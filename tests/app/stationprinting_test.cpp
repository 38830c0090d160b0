// The automatic print at the stop of a ride in a whole station: every kart
// with the ride's drivers, and a stop that goes on without a printer.

#include "app/printingwindows.h"
#include "app/station.h"
#include "core/textfile.h"
#include "printing/resultpreviewdialog.h"
#include "../engine/qstringprinter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

// No print server answers in this program: the machine's printers stay out.
const bool kNoPrintServer = qputenv("CUPS_SERVER", "127.0.0.1:9");

QString PdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30'000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Closes each modal message box as it opens and keeps its text.
struct MessageCloser {
    QStringList texts;
    QTimer timer;
    MessageCloser() {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->done(QMessageBox::Ok);
            }
        });
        timer.start(20);
    }
};

struct StationRide : ::testing::Test {
    QTemporaryDir home;
    QTemporaryDir pdfs;

    void writeIni(const QString& text) {
        QFile f(home.filePath(QStringLiteral("vartemo.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringEncoder("windows-1250").encode(text)); // the file's code page
    }
    // A ride of eight named karts with three laps each, closed by STOP.
    static void ride(Station& station) {
        RaceControl& race = station.raceControl();
        for (int k = 1; k <= kKartCount; ++k)
            station.board().setDriverName(k, QStringLiteral("Řidič%1").arg(k));
        race.StartButton1Click();
        ASSERT_EQ(race.phase(), RacePhase::Timing);
        for (int k = 1; k <= kKartCount; ++k)
            station.board().setLines(k, BoardList::Lap, {"00:41:100", "00:40:200", QStringLiteral("00:39:%1").arg(k, 3, 10, QLatin1Char('0'))});
        race.StartButton1Click();
        ASSERT_EQ(race.phase(), RacePhase::Idle);
    }
    QStringList logBook() const {
        return textfile::readLines(home.filePath(QStringLiteral("vartemo.den"))).value_or(QStringList());
    }
};

} // namespace

TEST_F(StationRide, StopPrintsEveryKartWithTheRidesDriversWhateverKartWasChosen) {
    ASSERT_TRUE(kNoPrintServer);
    writeIni("[Semafor]\r\nPouzij=0\r\n[Tisk]\r\nAutotisk=1\r\nText6=*Děkujeme za jízdu\r\n");
    Station station{ProgramFolder(home.path())};
    station.setPrintToPdf(pdfs.path());
    station.show();
    station.printing().lapSheet()->setKartSelection(2); // "Druhou" from a print by hand
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
