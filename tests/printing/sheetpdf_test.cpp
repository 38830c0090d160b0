#include "printing/diplomasheet.h"
#include "printing/resultsheet.h"
#include "printing/stationprinter.h"
#include "../engine/qstringprinter.h"

#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30'000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>").arg(program, QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// A word of `pdftotext -bbox`, its box in millimetres.
struct Word {
    QString text;
    double left, top, right, bottom;
};

std::vector<Word> Words(const QString& pdf, int page) {
    const QString html = RunTool(QStringLiteral("pdftotext"),
                             {"-bbox", "-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
    static const QRegularExpression word(
        QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    std::vector<Word> words;
    constexpr double mmPerPoint = 25.4 / 72.0;
    for (auto m = word.globalMatch(html); m.hasNext();) {
        const auto w = m.next();
        words.push_back({w.captured(5), w.captured(1).toDouble() * mmPerPoint, w.captured(2).toDouble() * mmPerPoint,
                         w.captured(3).toDouble() * mmPerPoint, w.captured(4).toDouble() * mmPerPoint});
    }
    return words;
}

const Word* Find(const std::vector<Word>& words, const QString& text) {
    for (const Word& w : words)
        if (w.text == text)
            return &w;
    return nullptr;
}

struct PrintedSheet : ::testing::Test {
    QTemporaryDir dir;
    StationPrinter printer{dir.path()};

    QString print(const Sheet& sheet) {
        const QString error = printer.print(sheet);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        return printer.lastPdf();
    }
};

ResultSheetInput EightKarts() {
    ResultSheetInput in;
    in.now = QDateTime(QDate(2026, 12, 9), QTime(14, 3, 27));
    in.trackLength = 400;
    in.texts.text = {"Motokárová dráha Vartemo", "Průmyslová 12", "Kestřany", "tel. 123 456 789", "",
                     "Děkujeme Vám za vaši návštěvu.", "", ""};
    for (int k = 1; k <= kKartCount; ++k) {
        in.names[size_t(k - 1)] = k == 3 ? QStringLiteral("Řehoř") : QStringLiteral("kara%1").arg(k);
        for (int i = 0; i < 27; ++i)
            in.lines[size_t(k - 1)] << QStringLiteral("00:%1:%2").arg(30 + k, 2).arg(100 + i, 3, 10, QLatin1Char('0'));
    }
    return in;
}

} // namespace

TEST_F(PrintedSheet, LapSheetPdfHasItsPaperTitleFontsAndPositions) {
    const QString pdf = print(ComposeResultPages(EightKarts()));
    EXPECT_TRUE(pdf.endsWith("/vartemo - časy 1.pdf")) << pdf.toStdString();

    const QString info = RunTool("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression(R"(Title:\s+vartemo - časy\n)"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(R"(Pages:\s+2\n)"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(R"(Page size:\s+842 x 595 pts)"))) << info.toStdString();

    const QString fonts = RunTool("pdffonts", {pdf});
    const QStringList rows = fonts.split(u'\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(rows.isEmpty()) << fonts.toStdString();
    for (const QString& row : rows) {
        EXPECT_TRUE(row.contains("LiberationSerif") || row.contains("TimesNewRoman")) << row.toStdString();
        EXPECT_TRUE(row.contains(QRegularExpression(R"(\s+yes\s+(yes|no)\s+(yes|no)\s+\d+\s+\d+\s*$)")))
            << "embedded: " << row.toStdString();
    }

    const auto words = Words(pdf, 1);
    const Word* title = Find(words, "VÝSLEDKOVÁ");
    ASSERT_NE(title, nullptr);
    EXPECT_NEAR(title->left, 180.0, 0.2);
    EXPECT_NEAR(title->top, 10.0, 0.2);
    EXPECT_NEAR(title->bottom - title->top, 7.5, 0.2) << "a cell height of 7.5 mm";
    // Eight columns of 33.75 mm: small summary text, values 28 mm into the column.
    const Word* total = Find(words, "Celkový");
    ASSERT_NE(total, nullptr);
    EXPECT_NEAR(total->left, 10.5, 0.2);
    EXPECT_NEAR(total->top, 165.0, 0.2);
    EXPECT_NEAR(total->bottom - total->top, 2.5, 0.2);
    const Word* speed = Find(words, "Průměrná");
    ASSERT_NE(speed, nullptr);
    EXPECT_NEAR(speed->top, 185.0, 0.2);
    for (const char* text : {"Řehoř", "návštěvu.", "Průmyslová", "Kestřany", "9.12.2026", "14:03:27", "rychlost:"})
        EXPECT_NE(Find(words, QString::fromUtf8(text)), nullptr) << text;
    const Word* kart3 = Find(words, "Řehoř");
    ASSERT_NE(kart3, nullptr);
    EXPECT_NEAR(kart3->left, 2 * 33.75 + 15, 0.2);
    EXPECT_NEAR(kart3->top, 50, 0.2);

    // Page 2: lap 27 of every kart.
    const auto page2 = Words(pdf, 2);
    EXPECT_NE(Find(page2, "027"), nullptr);
    EXPECT_EQ(Find(page2, "026"), nullptr);
}

TEST_F(PrintedSheet, DiplomaDateAndTimeStandApart) {
    DiplomaInput in;
    in.name = QStringLiteral("Řehoř Novák");
    in.now = QDateTime(QDate(2026, 12, 10), QTime(17, 47, 40));
    in.settings.text = {QStringLiteral("DIPLOM"), QStringLiteral("za jízdu"), QStringLiteral("#misto# místo"),
                        QStringLiteral("Vartemo")};
    const auto words = Words(print(ComposeDiploma(in)), 1);
    const Word* date = Find(words, "10.12.2026");
    const Word* time = Find(words, "17:47:40");
    ASSERT_NE(date, nullptr);
    ASSERT_NE(time, nullptr);
    EXPECT_NEAR(date->left, 200.0, 0.3);
    EXPECT_NEAR(date->top, 70.0, 0.3);
    EXPECT_GT(time->left - date->right, 2.0) << "the date runs into the time";
    EXPECT_NEAR(time->top, 70.0, 0.3);

    // A short date leaves the time where it stands.
    in.now = QDateTime(QDate(2026, 5, 1), QTime(9, 5, 0));
    const auto shortDate = Words(print(ComposeDiploma(in)), 1);
    const Word* nine = Find(shortDate, "9:05:00");
    ASSERT_NE(nine, nullptr);
    EXPECT_NEAR(nine->left, 240.0, 0.3);
}

TEST_F(PrintedSheet, EveryJobIsANewFile) {
    const Sheet sheet = ComposeResultPages(EightKarts());
    const QString first = print(sheet);
    const QString second = print(sheet);
    EXPECT_NE(first, second);
    EXPECT_TRUE(second.endsWith("/vartemo - časy 2.pdf"));
    EXPECT_TRUE(QFileInfo(first).size() > 0 && QFileInfo(second).size() > 0);
}

// The printer dialog before a job offers the file the job will write: one
// that a previous job wrote would make the dialog ask to overwrite it (and
// say no when the operator just confirms).
TEST_F(PrintedSheet, ThePrinterDialogIsOfferedAFreeFileAfterEarlierJobs) {
    QStringList offered;
    printer.setConfirm([&](QPrinter& p, QWidget*) {
        offered << p.outputFileName();
        return !QFileInfo::exists(p.outputFileName());
    });
    const Sheet sheet = ComposeResultPages(EightKarts());
    ASSERT_TRUE(printer.confirm(sheet, nullptr));
    const QString sheetPdf = print(sheet);
    EXPECT_EQ(offered.value(0), sheetPdf);
    // A chart after the sheet, then the same sheet again.
    ASSERT_TRUE(printer.confirmAsIs(QStringLiteral("Časy jednotlivých kol"), nullptr));
    EXPECT_TRUE(offered.value(1).endsWith("/Časy jednotlivých kol 1.pdf")) << offered.value(1).toStdString();
    const QString chartPdf = printer.paint(QStringLiteral("Časy jednotlivých kol"), [](QPainter&, const QRect&) {})
                                 .isEmpty() ? printer.lastPdf() : QString();
    EXPECT_EQ(chartPdf, offered.value(1));
    ASSERT_TRUE(printer.confirm(sheet, nullptr));
    EXPECT_TRUE(offered.value(2).endsWith("/vartemo - časy 2.pdf")) << offered.value(2).toStdString();
}

TEST(StationPrinterWithoutFolder, APrintThatCannotStartSaysSo) {
    StationPrinter printer;
    // A PDF printer without a file to write to cannot begin.
    printer.printer().setOutputFormat(QPrinter::PdfFormat);
    printer.printer().setOutputFileName(QStringLiteral("/nonexistent-folder/x.pdf"));
    const QString error = printer.print(ComposeResultPages(EightKarts()));
    EXPECT_TRUE(error.startsWith("Tisk nelze spustit")) << error.toStdString();
}
