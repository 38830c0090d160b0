#include "printing/besttwentypreviewdialog.h"
#include "printing/diplomadialog.h"
#include "printing/resultpreviewdialog.h"
#include "printing/stationprinter.h"
#include "../engine/qstringprinter.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

QString PdfText(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30'000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString PdfInfo(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    p.waitForFinished(30'000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

template <typename W>
W* Child(QWidget& window, const char* name) {
    W* w = window.findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

QString Text(QWidget& window, const char* name) { return Child<QLabel>(window, name)->text(); }

// The lap sheet window on eight karts of 27 laps, printing into a folder.
struct PreviewWindows : ::testing::Test {
    QTemporaryDir dir;
    StationPrinter printer{dir.path()};
    int confirmations = 0;
    bool confirmAnswer = true;
    ResultSheetInput data;

    PreviewWindows() {
        QCoreApplication::setApplicationName(QStringLiteral("vartemo"));
        printer.setConfirm([this](QPrinter&, QWidget*) {
            ++confirmations;
            return confirmAnswer;
        });
        data.now = QDateTime(QDate(2026, 12, 9), QTime(14, 3, 27));
        for (int k = 1; k <= kKartCount; ++k) {
            data.names[size_t(k - 1)] = QStringLiteral("Jezdec%1").arg(k);
            for (int i = 0; i < 27; ++i)
                data.lines[size_t(k - 1)] << QStringLiteral("00:3%1:%2").arg(k).arg(i, 3, 10, QLatin1Char('0'));
        }
    }
    QStringList pdfs() const { return QDir(dir.path()).entryList({"*.pdf"}, QDir::Files, QDir::Name); }
    void waitComposed(PrintPreviewDialog& d) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !d.composing() && d.currentPage() > 0; }, 5000));
    }
};

} // namespace

TEST_F(PreviewWindows, LapSheetComposesOnShowingWithItsStatesAndPaging) {
    TNahled2Dlg window(printer, [this] { return data; });
    EXPECT_EQ(window.windowTitle(), "Náhled tisku");
    EXPECT_EQ(window.size(), QSize(777, 675));
    EXPECT_EQ(Text(window, "PageLabel"), "0 / 0");
    EXPECT_EQ(Child<QComboBox>(window, "UnitComboBox")->count(), 6);
    EXPECT_TRUE(Child<QPushButton>(window, "ZavritBtn")->isDefault());
    EXPECT_FALSE(Child<QCheckBox>(window, "KvalitaTisku")->isChecked());

    window.show();
    // The composing state lasts the pause before the pages are shown.
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.composing(); }, 2000));
    EXPECT_EQ(window.windowTitle(), "vartemo - vytvářím stránky...");
    EXPECT_FALSE(Child<QComboBox>(window, "UnitComboBox")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(window, "PrintBtn")->isEnabled());
    EXPECT_FALSE(Child<QToolButton>(window, "ZoomInBtn")->isEnabled());
    EXPECT_TRUE(Child<QLabel>(window, "WaitLabel")->isVisible());
    EXPECT_EQ(Text(window, "WaitLabel"), "Čekejte prosím, probíhá vytváření stránek");
    waitComposed(window);
    EXPECT_EQ(window.windowTitle(), "Náhled tisku  -  Výsledky motokár");
    EXPECT_TRUE(Child<QPushButton>(window, "PrintBtn")->isEnabled());
    EXPECT_FALSE(Child<QLabel>(window, "WaitLabel")->isVisible());
    EXPECT_FALSE(Child<QProgressBar>(window, "ProgressBar")->isVisible());
    EXPECT_EQ(Text(window, "PageLabel"), "1 / 2");

    QTest::mouseClick(Child<QPushButton>(window, "NextPageBtn"), Qt::LeftButton);
    EXPECT_EQ(Text(window, "PageLabel"), "2 / 2");
    QTest::mouseClick(Child<QPushButton>(window, "NextPageBtn"), Qt::LeftButton);
    EXPECT_EQ(Text(window, "PageLabel"), "2 / 2");
    QTest::mouseClick(Child<QPushButton>(window, "PrevPageBtn"), Qt::LeftButton);
    EXPECT_EQ(Text(window, "PageLabel"), "1 / 2");

    const int whole = window.zoom();
    EXPECT_EQ(Text(window, "ZoomLabel"), QStringLiteral("%1%").arg(whole));
    QTest::mouseClick(Child<QToolButton>(window, "ZoomInBtn"), Qt::LeftButton);
    EXPECT_EQ(window.zoom(), whole * 2);
    QTest::mouseClick(Child<QToolButton>(window, "ZoomOutBtn"), Qt::LeftButton);
    QTest::mouseClick(Child<QToolButton>(window, "ZoomOutBtn"), Qt::LeftButton);
    EXPECT_EQ(window.zoom(), whole / 2);
    EXPECT_EQ(Text(window, "ZoomLabel"), QStringLiteral("%1%").arg(whole / 2));
    QTest::mouseClick(Child<QPushButton>(window, "AllPageBtn"), Qt::LeftButton);
    EXPECT_EQ(window.zoom(), whole);

    // A new unit composes anew; the layout and the zoom stay.
    Child<QComboBox>(window, "UnitComboBox")->setCurrentIndex(0);
    EXPECT_TRUE(window.composing());
    waitComposed(window);
    EXPECT_EQ(window.zoom(), whole);
    EXPECT_EQ(Text(window, "PageLabel"), "1 / 2");
}

TEST_F(PreviewWindows, KartSelectionComposesOneFullWidthColumn) {
    TNahled2Dlg window(printer, [this] { return data; });
    window.show();
    waitComposed(window);
    auto* group = Child<QWidget>(window, "rgTiskKary");
    const auto radios = group->findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 9);
    EXPECT_EQ(radios[0]->text(), "Vše");
    EXPECT_TRUE(radios[0]->isChecked());
    QTest::mouseClick(radios[2], Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window.kartSelection(), 2);
    waitComposed(window);
    ASSERT_EQ(window.sheet().pages.size(), 1u);
    const Page& page = window.sheet().pages[0];
    EXPECT_NE(page.find("Jezdec2"), nullptr);
    EXPECT_EQ(page.find("Jezdec1"), nullptr);
    ASSERT_EQ(page.frames().size(), 1u);
    EXPECT_EQ(page.frames()[0].rect.width(), Mm(270));
}

TEST_F(PreviewWindows, PrintConfirmedPrintsEveryPageAndCloses) {
    TNahled2Dlg window(printer, [this] { return data; });
    window.show();
    waitComposed(window);
    QTest::mouseClick(Child<QPushButton>(window, "PrintBtn"), Qt::LeftButton);
    EXPECT_EQ(confirmations, 1);
    EXPECT_FALSE(window.isVisible());
    ASSERT_EQ(pdfs(), QStringList{"vartemo - časy 1.pdf"});
    EXPECT_TRUE(PdfInfo(dir.filePath("vartemo - časy 1.pdf")).contains(QRegularExpression("Pages:\\s+2\n")));
    EXPECT_TRUE(window.sheet().pages.empty()) << "closing clears the pages";
}

TEST_F(PreviewWindows, PrintCancelledPrintsNothingAndCloses) {
    confirmAnswer = false;
    TNahled3Dlg window(printer, [this] { return data; });
    window.show();
    waitComposed(window);
    QTest::mouseClick(Child<QPushButton>(window, "PrintBtn"), Qt::LeftButton);
    EXPECT_EQ(confirmations, 1);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(pdfs().isEmpty());
}

TEST_F(PreviewWindows, AutomaticPrintCoversEveryKartAndKeepsTheOperatorsChoice) {
    TNahled2Dlg window(printer, [this] { return data; });
    window.setKartSelection(2); // "Druhou" left chosen from a print by hand
    const QStringList problems = window.PrintAllKartsWithoutDialog();
    EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
    EXPECT_EQ(confirmations, 0);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.kartSelection(), 2);
    ASSERT_EQ(pdfs().size(), 1);
    const QString text = PdfText(dir.filePath(pdfs()[0]));
    for (int k = 1; k <= kKartCount; ++k)
        EXPECT_TRUE(text.contains(QStringLiteral("Jezdec%1").arg(k))) << k;
}

TEST_F(PreviewWindows, AutomaticPrintReturnsItsProblemsInsteadOfShowingThem) {
    data.lines[0][3] = QStringLiteral("zz:00:000");
    StationPrinter broken;
    broken.printer().setOutputFormat(QPrinter::PdfFormat);
    broken.printer().setOutputFileName(QStringLiteral("/nonexistent-folder/x.pdf"));
    TNahled2Dlg window(broken, [this] { return data; });
    int shown = 0;
    QObject::connect(&window, &PrintPreviewDialog::problem, [&] { ++shown; });
    const QStringList problems = window.PrintAllKartsWithoutDialog();
    ASSERT_EQ(problems.size(), 2);
    EXPECT_TRUE(problems[0].contains("zz")) << problems[0].toStdString();
    EXPECT_TRUE(problems[1].startsWith("Tisk nelze spustit")) << problems[1].toStdString();
    EXPECT_EQ(shown, 0);
}

TEST_F(PreviewWindows, BestTwentySheetAfterALapSheetIsPortraitWithItsLastTexts) {
    TNahled2Dlg lapSheet(printer, [this] { return data; });
    lapSheet.PrintAllKartsWithoutDialog(); // leaves the shared printer in landscape
    BestTwentyInput input;
    input.men = QImage(355, 449, QImage::Format_RGB32);
    input.women = QImage(354, 449, QImage::Format_RGB32);
    input.men.fill(Qt::white);
    input.women.fill(Qt::white);
    input.texts.text[7] = QStringLiteral("Osmý řádek patičky");
    TNahled1Dlg window(printer, [&] { return input; });
    EXPECT_EQ(window.size(), QSize(506, 674));
    EXPECT_EQ(Text(window, "PageLabel"), "0/0");
    EXPECT_EQ(window.findChild<QWidget*>("rgTiskKary"), nullptr);
    window.show();
    waitComposed(window);
    EXPECT_EQ(window.windowTitle(), "Náhled tisku  -  Nejlepších dvacet časů");
    EXPECT_EQ(Text(window, "PageLabel"), "1 / 1");
    QTest::mouseClick(Child<QPushButton>(window, "NextPageBtn"), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(window, "PrevPageBtn"), Qt::LeftButton);
    EXPECT_EQ(Text(window, "PageLabel"), "1 / 1") << "one page: paging does not move";
    QTest::mouseClick(Child<QPushButton>(window, "PrintBtn"), Qt::LeftButton);
    const QString pdf = dir.filePath("vartemo - top dvacet 1.pdf");
    const QString info = PdfInfo(pdf);
    EXPECT_TRUE(info.contains(QRegularExpression(R"(Page size:\s+595 x 842 pts)"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(R"(Title:\s+vartemo - top dvacet\n)"))) << info.toStdString();
    EXPECT_TRUE(PdfText(pdf).contains("Osmý řádek patičky"));
}

TEST_F(PreviewWindows, DiplomaComposesOnVlozNotOnAPlacementAlone) {
    DiplomaSettings settings;
    settings.text[2] = QStringLiteral("Za #misto# místo");
    TDiplomDlg window(printer, [&] {
        DiplomaInput in;
        in.settings = settings;
        return in;
    });
    EXPECT_EQ(window.windowTitle(), "Náhled tisku - diplom");
    EXPECT_EQ(window.size(), QSize(770, 675));
    window.show();
    waitComposed(window);
    EXPECT_EQ(window.windowTitle(), "Náhled tisku  -  Diplom");
    EXPECT_NE(window.sheet().pages[0].find("Za první místo"), nullptr);

    Child<QLineEdit>(window, "jmeno")->setText(QStringLiteral("Eliška"));
    QTest::mouseClick(Child<QRadioButton>(window, "rgUmisteni2"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window.placement(), 2);
    EXPECT_NE(window.sheet().pages[0].find("Za první místo"), nullptr) << "not composed yet";
    QTest::mouseClick(Child<QPushButton>(window, "btnVloz"), Qt::LeftButton);
    waitComposed(window);
    EXPECT_NE(window.sheet().pages[0].find("Za třetí místo"), nullptr);
    EXPECT_NE(window.sheet().pages[0].find("Eliška"), nullptr);
}

TEST_F(PreviewWindows, DiplomaFromABestTwentyRow) {
    TDiplomDlg window(printer, [] { return DiplomaInput{}; });
    // The row's placement, or -1: the last one chosen stays.
    const std::tuple<const char*, int, int> rows[] = {
        {"Petr", 0, 0}, {"Jana", 4, 4}, {"Karel", -1, 4}, {"Eva", 2, 2}, {"Ota", -1, 2}};
    for (const auto& [name, given, placement] : rows) {
        window.preset(QString::fromUtf8(name), given);
        EXPECT_EQ(window.name(), QString::fromUtf8(name));
        EXPECT_EQ(window.placement(), placement) << name;
    }
}
