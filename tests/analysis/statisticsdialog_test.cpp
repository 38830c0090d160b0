#include "analysis/chartlabels.h"
#include "analysis/lapcharts.h"
#include "analysis/statisticsdialog.h"
#include "engine/raceboard.h"
#include "printing/stationprinter.h"
#include "support/filebytes.h"

#include <QCategoryAxis>
#include <QChart>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGraphicsTextItem>
#include <QGuiApplication>
#include <QLineSeries>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace vartemo;

namespace {

QStringList Laps(std::initializer_list<const char*> texts) {
    QStringList lines;
    for (const char* t : texts)
        lines << QString::fromUtf8(t);
    return lines;
}

QStringList ManyLaps(int count) {
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("00:%1:%2").arg(40 + i % 10).arg(i % 1000, 3, 10, QLatin1Char('0'));
    return lines;
}

class StatisticsDialogTest : public ::testing::Test {
protected:
    std::unique_ptr<StatisticsDialog> make(ChartKind kind) {
        StatisticsDialog::Sources sources{
            .board = board,
            .sensorIds = [this] { return ids; },
            .sensorDescriptions = [this] { return descriptions; },
            .printer = &printer,
            .saveFile = [this](const QString& name, const QString& filter) -> std::optional<QString> {
                offeredName = name;
                offeredFilter = filter;
                return savePath;
            },
            .bestTwenty = [this] { ++bestTwentyShown; },
            .showError = [this](const QString& text) { errors << text; }};
        if (kind == ChartKind::Laps)
            return std::make_unique<TStat_Dlg>(sources);
        return std::make_unique<TStat1_Dlg>(sources);
    }
    template <typename T>
    static T* find(QWidget& dialog, const QString& name) {
        T* child = dialog.findChild<T*>(name);
        EXPECT_TRUE(child) << qPrintable(name);
        return child;
    }
    static QCheckBox* box(QWidget& dialog, int kart) {
        static const char* names[] = {"Prvni", "Druha", "Treti", "Ctvrta", "Pata", "Sesta", "Sedma", "Osma"};
        return find<QCheckBox>(dialog, QLatin1String(names[kart - 1]));
    }
    static QCategoryAxis* lapAxis(StatisticsDialog& d) {
        return qobject_cast<QCategoryAxis*>(d.chart()->axes(Qt::Horizontal).value(0));
    }

    RaceBoard board;
    std::array<QString, kSensorCount> ids;
    std::array<QString, kSensorCount> descriptions;
    QTemporaryDir pdfDir;
    StationPrinter printer{pdfDir.path()};
    std::optional<QString> savePath;
    QString offeredName, offeredFilter;
    int bestTwentyShown = 0;
    QStringList errors;
};

TEST_F(StatisticsDialogTest, KartsWithoutLapsGetNoSeriesEvenWhenCheckedByHand) {
    board.setLines(1, BoardList::Lap, Laps({"00:41:236"}));
    auto d = make(ChartKind::Laps);
    d->activate();
    EXPECT_TRUE(box(*d, 1)->isChecked());
    for (int kart = 2; kart <= 8; ++kart) {
        EXPECT_FALSE(box(*d, kart)->isChecked()) << kart;
        EXPECT_EQ(d->series(kart)->count(), 0) << kart;
    }
    box(*d, 5)->setChecked(true);
    EXPECT_EQ(d->series(5)->count(), 0);
}

TEST_F(StatisticsDialogTest, OneLapIsTheLeadPointAndTheLapInTheLeadColour) {
    board.setLines(2, BoardList::Lap, Laps({"00:41:236"}));
    auto d = make(ChartKind::Laps);
    d->activate();
    EXPECT_EQ(d->series(2)->points(), (QList<QPointF>{{0, 41'235}, {1, 41'236}}));
    EXPECT_EQ(d->series(2)->color(), QColor(0x00, 0x80, 0x00)); // green, the second kart's choice
    EXPECT_EQ(d->series(2)->pointConfiguration(0).value(QXYSeries::PointConfiguration::Color).value<QColor>(),
              StatisticsDialog::LeadColour(ChartKind::Laps, 2));
    EXPECT_TRUE(d->series(2)->pointConfiguration(1).isEmpty());
    // The small chart of the kart mirrors it.
    EXPECT_EQ(d->mirror(2)->points(), d->series(2)->points());
}

TEST_F(StatisticsDialogTest, ColourChangeRebuildsUncheckingEmpties) {
    board.setLines(3, BoardList::Lap, Laps({"00:41:236", "00:40:000"}));
    auto d = make(ChartKind::Laps);
    d->activate();
    auto* colours = find<QComboBox>(*d, QStringLiteral("ColorBox3"));
    colours->setCurrentIndex(colours->findText(QStringLiteral("červená")));
    EXPECT_EQ(d->series(3)->color(), QColor(Qt::red));
    EXPECT_EQ(d->series(3)->count(), 3);
    box(*d, 3)->setChecked(false);
    EXPECT_EQ(d->series(3)->count(), 0);
    EXPECT_EQ(d->mirror(3)->count(), 0);
}

// The small charts of the hidden page are filled when it comes up, with what
// their karts hold then (also after a change made while it was hidden).
TEST_F(StatisticsDialogTest, SmallChartsOfTheSecondPageShowTheirKartsWhenItComesUp) {
    board.setLines(2, BoardList::Lap, ManyLaps(5));
    board.setLines(6, BoardList::Lap, ManyLaps(700));
    board.setLines(7, BoardList::Lap, ManyLaps(3));
    auto d = make(ChartKind::Laps);
    d->activate();
    auto* pages = find<QTabWidget>(*d, QStringLiteral("PageControl1"));
    ASSERT_EQ(pages->currentIndex(), 0);
    EXPECT_EQ(d->mirror(2)->points(), d->series(2)->points());
    box(*d, 7)->setChecked(false); // while its page is hidden
    pages->setCurrentIndex(1);
    EXPECT_EQ(d->series(6)->count(), 701);
    ASSERT_GT(d->mirror(6)->count(), 300); // thinned to the chart's pixels
    EXPECT_EQ(d->mirror(6)->points().first(), d->series(6)->points().first());
    EXPECT_EQ(d->mirror(6)->points().last(), d->series(6)->points().last());
    EXPECT_EQ(d->mirror(7)->count(), 0);
    // A new activation starts on the first page and fills the second again.
    d->activate();
    EXPECT_EQ(pages->currentIndex(), 0);
    pages->setCurrentIndex(1);
    EXPECT_EQ(d->mirror(7)->points(), d->series(7)->points());
    EXPECT_EQ(d->mirror(7)->count(), 4);
}

TEST_F(StatisticsDialogTest, PagesOfTheSpinValuePlusOneAndEveryFillShowsAll) {
    board.setLines(1, BoardList::Lap, ManyLaps(60));
    auto d = make(ChartKind::Laps);
    d->activate();
    QCategoryAxis* axis = lapAxis(*d);
    EXPECT_EQ(axis->max(), 60); // 61 points, all shown after the fill
    auto* spin = find<QSpinBox>(*d, QStringLiteral("SpinPocetBodu"));
    EXPECT_EQ(spin->value(), 25);
    spin->setValue(24);
    spin->setValue(25);
    EXPECT_EQ(axis->min(), 0);
    EXPECT_EQ(axis->max(), 25); // 26 points
    auto* previous = find<QPushButton>(*d, QStringLiteral("btnPredchozi"));
    auto* next = find<QPushButton>(*d, QStringLiteral("btnDalsi"));
    previous->click(); // at the first page already
    EXPECT_EQ(axis->min(), 0);
    next->click();
    next->click();
    next->click(); // beyond the last page
    EXPECT_EQ(axis->min(), 52);
    EXPECT_EQ(axis->max(), 77);
    find<QPushButton>(*d, QStringLiteral("btnZobrazitVse"))->click();
    EXPECT_EQ(axis->min(), 0);
    EXPECT_EQ(axis->max(), 60);
    spin->setValue(10);
    box(*d, 1)->setChecked(false);
    box(*d, 1)->setChecked(true); // a fill shows all again
    EXPECT_EQ(axis->max(), 60);
}

TEST_F(StatisticsDialogTest, TimeAxisLabelsAreMinutesSecondsMillis) {
    board.setLines(1, BoardList::Lap, Laps({"01:05:000", "00:41:236", "12:04:321"}));
    auto d = make(ChartKind::Laps);
    d->activate();
    auto* axis = qobject_cast<QCategoryAxis*>(d->chart()->axes(Qt::Vertical).value(0));
    const QStringList labels = axis->categoriesLabels();
    ASSERT_GE(labels.size(), 2);
    static const QRegularExpression time(QStringLiteral("^-?\\d{2,}:[0-5]\\d:\\d{3}$"));
    for (const QString& label : labels)
        EXPECT_TRUE(time.match(label).hasMatch()) << qPrintable(label);
    EXPECT_TRUE(labels.contains(QStringLiteral("10:00:000"))) << qPrintable(labels.join(u' '));
    // The lap axis: whole laps.
    EXPECT_EQ(lapAxis(*d)->categoriesLabels(), (QStringList{"0", "1", "2", "3"}));
}

TEST_F(StatisticsDialogTest, UnreadableLineIsToldOnceAndTheOtherKartsAreFilled) {
    board.setLines(1, BoardList::Lap, Laps({"00:41:000", "00:42:000", "oprava", "00:43:000"}));
    board.setLines(2, BoardList::Lap, Laps({"chyba"}));
    board.setLines(5, BoardList::Lap, Laps({"00:45:000", "00:46:000"}));
    auto d = make(ChartKind::Laps);
    d->activate();
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(d->series(1)->count(), 3); // the points before the unreadable line
    EXPECT_EQ(d->series(2)->count(), 0);
    EXPECT_EQ(d->series(5)->count(), 3);
    // By hand, each fill tells its own.
    box(*d, 1)->setChecked(false);
    box(*d, 1)->setChecked(true);
    EXPECT_EQ(errors.size(), 2);
}

TEST_F(StatisticsDialogTest, SensorFilterOnTheTrackLists) {
    ids[0] = QStringLiteral("1");
    ids[9] = QStringLiteral("10");
    descriptions[0] = QStringLiteral("zatáčka");
    board.setLines(1, BoardList::Track,
                   Laps({"1 00:04:321", "10 00:05:000", "  L 00:41:236", " 00:03:000", "07 00:06:000"}));
    auto d = make(ChartKind::Splits);
    d->activate();
    auto* sensors = find<QListWidget>(*d, QStringLiteral("ChLSnimac"));
    EXPECT_EQ(sensors->item(0)->checkState(), Qt::Checked); // item 1 at every activation
    EXPECT_EQ(sensors->item(0)->text(), QStringLiteral("Zobrazit snímač 01  -  zatáčka"));
    EXPECT_EQ(sensors->item(9)->text(), QStringLiteral("Zobrazit snímač 10  -  "));
    // 1 shown, 10 follows its own unchecked item, L, the empty label and 07 always.
    EXPECT_EQ(d->series(1)->points(),
              (QList<QPointF>{{0, 4'320}, {1, 4'321}, {2, 41'236}, {3, 3'000}, {4, 6'000}}));
    find<QPushButton>(*d, QStringLiteral("btnFiltruj"))->click();
    sensors->item(9)->setCheckState(Qt::Checked);
    find<QPushButton>(*d, QStringLiteral("btnZobrazit"))->click();
    EXPECT_EQ(d->series(1)->count(), 6);
    // Long track lists are charted whole.
    QStringList many;
    for (int i = 0; i < 300; ++i)
        many << QStringLiteral("07 00:%1:500").arg(i % 60, 2, 10, QLatin1Char('0'));
    board.setLines(4, BoardList::Track, many);
    d->activate();
    EXPECT_EQ(d->series(4)->count(), 301);
    EXPECT_EQ(sensors->item(9)->checkState(), Qt::Checked); // the others keep their state
}

TEST_F(StatisticsDialogTest, ReadoutFollowsThePointerInsideThePlotArea) {
    board.setLines(1, BoardList::Lap, Laps({"01:00:000", "01:10:000", "01:05:000", "01:02:000"}));
    auto d = make(ChartKind::Laps);
    d->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(d.get()));
    ReadoutChartView* view = d->chartView();
    const QPointF target = d->chart()->mapToPosition(QPointF(2, 65'000), d->series(1));
    const QPoint pos = view->mapFromScene(d->chart()->mapToScene(target));
    QTest::mouseMove(view->viewport(), pos);
    static const QRegularExpression readout(QStringLiteral("^(\\d{2}):(\\d{2}):(\\d{3})  /  (\\d+(,\\d+)?)$"));
    const auto m = readout.match(d->readoutText());
    ASSERT_TRUE(m.hasMatch()) << qPrintable(d->readoutText());
    const double ms = (m.captured(1).toInt() * 60 + m.captured(2).toInt()) * 1000 + m.captured(3).toInt();
    EXPECT_NEAR(ms, 65'000, 500); // within a pixel or two
    EXPECT_NEAR(m.captured(4).replace(u',', u'.').toDouble(), 2, 0.05);
    EXPECT_TRUE(view->crosshairShown());
    const QString inside = d->readoutText();
    QTest::mouseMove(view->viewport(), QPoint(2, 2)); // outside the plot area
    EXPECT_EQ(d->readoutText(), inside);
    EXPECT_FALSE(view->crosshairShown());
}

TEST_F(StatisticsDialogTest, ChartSavedAsBitmapOnWhite) {
    board.setLines(1, BoardList::Lap, Laps({"00:41:236", "00:40:000"}));
    auto d = make(ChartKind::Laps);
    d->activate();
    QTemporaryDir dir;
    savePath = dir.filePath(QStringLiteral("graf")); // a bare name gets ".bmp"
    find<QPushButton>(*d, QStringLiteral("btnUlozGraf"))->click();
    EXPECT_EQ(offeredName, QStringLiteral("graf"));
    EXPECT_EQ(offeredFilter, QStringLiteral("bitmapa (*.bmp)|*.bmp"));
    const QByteArray bytes = readBytes(dir.filePath(QStringLiteral("graf.bmp")));
    ASSERT_TRUE(bytes.startsWith("BM"));
    QImage image;
    ASSERT_TRUE(image.loadFromData(bytes, "BMP"));
    EXPECT_EQ(image.size(), d->chartView()->size());
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::white));
    EXPECT_TRUE(errors.isEmpty());

    savePath = dir.filePath(QStringLiteral("chybi/graf.bmp")); // no such folder
    find<QPushButton>(*d, QStringLiteral("btnUlozGraf"))->click();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("chybi/graf.bmp"))) << qPrintable(errors[0]);

    auto split = make(ChartKind::Splits);
    savePath.reset(); // cancelled: nothing
    find<QPushButton>(*split, QStringLiteral("btnUlozGraf"))->click();
    EXPECT_EQ(offeredName, QStringLiteral("graf_mezicasy"));
    EXPECT_EQ(errors.size(), 1);
}

TEST_F(StatisticsDialogTest, ClipboardAndBestTwenty) {
    auto d = make(ChartKind::Laps);
    find<QPushButton>(*d, QStringLiteral("btnGrafSchranka"))->click();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), d->chartView()->size());
    find<QPushButton>(*d, QStringLiteral("btnTop20"))->click();
    EXPECT_EQ(bestTwentyShown, 1);
}

TEST_F(StatisticsDialogTest, ChartPrintedInLandscapeAndTheOrientationPutBack) {
    board.setLines(1, BoardList::Lap, Laps({"00:41:236", "00:40:000"}));
    auto d = make(ChartKind::Laps);
    d->activate();
    bool confirm = false;
    QPageLayout::Orientation seenInDialog = QPageLayout::Landscape;
    printer.setConfirm([&](QPrinter& p, QWidget*) {
        seenInDialog = p.pageLayout().orientation();
        return confirm;
    });
    printer.printer().setPageOrientation(QPageLayout::Portrait);
    find<QPushButton>(*d, QStringLiteral("btnTiskKol"))->click(); // cancelled
    EXPECT_EQ(seenInDialog, QPageLayout::Portrait);
    EXPECT_TRUE(printer.lastPdf().isEmpty());
    confirm = true;
    find<QPushButton>(*d, QStringLiteral("btnTiskKol"))->click();
    EXPECT_EQ(printer.printer().pageLayout().orientation(), QPageLayout::Portrait);
    const QByteArray pdf = readBytes(printer.lastPdf());
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    // A landscape A4 page: wider than high.
    static const QRegularExpression box(QStringLiteral("/MediaBox \\[0 0 ([\\d.]+) ([\\d.]+)\\]"));
    const auto m = box.match(QString::fromLatin1(pdf));
    ASSERT_TRUE(m.hasMatch());
    EXPECT_GT(m.captured(1).toDouble(), m.captured(2).toDouble());
    // Lines and text on the page, not the screen's cached pixmaps blown up
    // to the printer's resolution (seconds to print, megabytes of PDF); the
    // screen keeps its cache.
    static const QRegularExpression imageWidth(QStringLiteral("/Width (\\d+)"));
    for (const QRegularExpressionMatch& image : imageWidth.globalMatch(QString::fromLatin1(pdf)))
        EXPECT_LE(image.captured(1).toInt(), d->chartView()->width());
    EXPECT_LT(pdf.size(), 200 * 1024);
    for (QGraphicsItem* item : d->chart()->childItems()) {
        if (item->type() != QGraphicsTextItem::Type && item->type() != QGraphicsSimpleTextItem::Type) {
            EXPECT_EQ(item->cacheMode(), QGraphicsItem::DeviceCoordinateCache);
        }
    }

    find<QPushButton>(*d, QStringLiteral("btnTiskFormulare"))->click();
    const auto portrait = box.match(QString::fromLatin1(readBytes(printer.lastPdf())));
    ASSERT_TRUE(portrait.hasMatch());
    EXPECT_LT(portrait.captured(1).toDouble(), portrait.captured(2).toDouble());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(StatisticsDialogTest, TheTwoDialogs) {
    auto laps = make(ChartKind::Laps);
    auto splits = make(ChartKind::Splits);
    EXPECT_EQ(laps->windowTitle(), QStringLiteral("Statistika"));
    EXPECT_EQ(splits->windowTitle(), QStringLiteral("Statistika mezičasy na dráze"));
    EXPECT_EQ(laps->size(), QSize(969, 687));
    EXPECT_EQ(laps->chart()->title(), QStringLiteral("Časy jednotlivých kol"));
    EXPECT_EQ(splits->chart()->title(), QStringLiteral("Časy jednotlivých snímačů"));
    EXPECT_FALSE(laps->chart()->legend()->isVisible());
    EXPECT_EQ(find<QTabWidget>(*laps, QStringLiteral("PageControl1"))->tabText(1), QStringLiteral("Motokáry 5..8   "));
    EXPECT_EQ(find<QTabWidget>(*splits, QStringLiteral("PageControl1"))->tabText(1), QStringLiteral("Motokáry 5..8  "));
    EXPECT_TRUE(laps->findChild<QPushButton*>(QStringLiteral("btnMezicasy")));
    EXPECT_FALSE(splits->findChild<QPushButton*>(QStringLiteral("btnMezicasy")));
    EXPECT_FALSE(laps->findChild<QListWidget*>(QStringLiteral("ChLSnimac")));
    int opened = 0;
    QObject::connect(laps.get(), &StatisticsDialog::splitsRequested, [&] { ++opened; });
    laps->findChild<QPushButton*>(QStringLiteral("btnMezicasy"))->click();
    EXPECT_EQ(opened, 1);
}

} // namespace
