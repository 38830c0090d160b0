#include "analysis/statisticsdialog.h"

#include "analysis/chartlabels.h"
#include "analysis/lapcharts.h"
#include "analysis/pointthinning.h"
#include "engine/raceboard.h"
#include "printing/stationprinter.h"

#include <QAreaSeries>
#include <QCategoryAxis>
#include <QChart>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImageWriter>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QMessageBox>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace vartemo {

namespace {

constexpr int kKarts = 8;
// Pixels across a small chart's plot area (about).
constexpr int kMirrorColumns = 320;
// The window's edge, the gap between the karts' group and the pages, and the
// group's width at least.
constexpr int kMargin = 8;
constexpr int kGap = 6;
constexpr int kKartGroupWidth = 232;

const char* const kBoxNames[kKarts] = {"Prvni", "Druha", "Treti", "Ctvrta", "Pata", "Sesta", "Sedma", "Osma"};
const char* const kBoxCaptions[kKarts] = {"první motokára", "druhá motokára", "třetí motokára",
                                          "čtvrtá motokára", "pátá motokára", "šestá motokára",
                                          "sedmá motokára", "osmá motokára"};
const char* const kMirrorTitles[kKarts] = {"První motokára", "Druhá motokára", "Třetí motokára",
                                           "Čtvrtá motokára", "pátá motokára", "šestá motokára",
                                           "sedmá motokára", "osmá motokára"};

// The colour boxes' choices: the sixteen basic colours.
struct NamedColour {
    const char* name;
    QRgb rgb;
};
constexpr NamedColour kColours[] = {
    {"černá", 0x000000},  {"kaštanová", 0x800000}, {"zelená", 0x008000},    {"olivová", 0x808000},
    {"námořnická", 0x000080}, {"fialová", 0x800080}, {"modrozelená", 0x008080}, {"šedá", 0x808080},
    {"stříbrná", 0xC0C0C0}, {"červená", 0xFF0000}, {"limetková", 0x00FF00}, {"žlutá", 0xFFFF00},
    {"modrá", 0x0000FF},   {"purpurová", 0xFF00FF}, {"azurová", 0x00FFFF},  {"bílá", 0xFFFFFF},
};
// Red, green, olive, navy, blue, purple, teal, black.
constexpr int kInitialColour[kKarts] = {9, 2, 3, 4, 12, 5, 6, 0};

QString Utf(const char* text) {
    return QString::fromUtf8(text);
}

// A diagonal cross, the mark of every point.
QImage CrossMark(const QColor& colour) {
    QImage image(9, 9, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setPen(QPen(colour, 1.5));
    p.drawLine(QPointF(1, 1), QPointF(8, 8));
    p.drawLine(QPointF(1, 8), QPointF(8, 1));
    return image;
}

// One pixel wide: wider lines are stroked as outlines, many times slower
// over thousands of laps.
QPen LinePen(const QColor& colour) {
    QPen pen(colour, 1);
    pen.setCosmetic(true);
    return pen;
}

QPushButton* Button(const char* name, const QString& caption, QWidget* parent = nullptr) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

// The y range of the points with x in [first, last] over all series.
bool TimeRange(const QList<QLineSeries*>& series, double first, double last, double* min, double* max) {
    bool any = false;
    for (const QLineSeries* s : series) {
        const QList<QPointF> points = s->points();
        for (const QPointF& p : points) {
            if (p.x() < first || p.x() > last)
                continue;
            *min = any ? std::min(*min, p.y()) : p.y();
            *max = any ? std::max(*max, p.y()) : p.y();
            any = true;
        }
    }
    return any;
}

// Returns the lowest time shown.
double SetTimeAxesAround(LapTimeAxes* axes, double first, double last, double min, double max) {
    const double margin = std::max((max - min) * 0.05, 500.0);
    axes->setRanges(first, last, min - margin, max + margin);
    return min - margin;
}

} // namespace

StatisticsDialog::StatisticsDialog(ChartKind kind, Sources sources, QWidget* parent)
    : QDialog(parent), kind_(kind), src_(std::move(sources)) {
    const bool laps = kind_ == ChartKind::Laps;
    setObjectName(laps ? QStringLiteral("TStat_Dlg") : QStringLiteral("TStat1_Dlg"));
    setWindowTitle(laps ? QStringLiteral("Statistika") : QStringLiteral("Statistika mezičasy na dráze"));
    // A fixed single border without border icons.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(969, 687);
    if (!src_.showError)
        src_.showError = [this](const QString& text) { QMessageBox::critical(this, QString(), text); };

    auto* group = new QGroupBox(QStringLiteral("Vyber motokáru"), this);
    buildKartBoxes(group);
    // As wide as the karts' captions and the longest colour name need; the
    // small charts and the buttons take the rest of the row.
    const int groupWidth = std::max(kKartGroupWidth, group->sizeHint().width());
    group->setGeometry(kMargin, 4, groupWidth, 272);
    const int right = kMargin + groupWidth + kGap;
    const int rightWidth = width() - kMargin - right;

    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    pages_->setGeometry(right, 4, rightWidth, 290);
    buildMirrors();
    // A page's small charts catch up with their karts when it comes up.
    connect(pages_, &QTabWidget::currentChanged, this, [this](int page) {
        for (int kart = page * 4 + 1; kart <= page * 4 + 4; ++kart)
            if (mirrorStale_[size_t(kart - 1)])
                updateMirror(kart);
    });

    auto* readoutCaption = new QLabel(QStringLiteral("Změřené hodnoty( čas / kola):"), this);
    readoutCaption->setGeometry(kMargin, 282, groupWidth, 18);
    readout_ = new QLabel(this);
    readout_->setObjectName(QStringLiteral("lbHodnota"));
    readout_->setGeometry(kMargin, 300, groupWidth, 20);
    QFont bold = readout_->font();
    bold.setBold(true);
    readout_->setFont(bold);

    auto* buttonArea = new QWidget(this);
    buttonArea->setGeometry(right, 296, rightWidth, 60);
    buildButtons(buttonArea);

    buildChart();
    view_->setParent(this);
    view_->setGeometry(8, 358, 953, 321);
}

StatisticsDialog::~StatisticsDialog() = default;

void StatisticsDialog::buildKartBoxes(QWidget* group) {
    auto* grid = new QGridLayout(group);
    for (int i = 0; i < kKarts; ++i) {
        auto* box = new QCheckBox(Utf(kBoxCaptions[i]));
        box->setObjectName(QLatin1String(kBoxNames[i]));
        auto* colours = new QComboBox;
        colours->setObjectName(QStringLiteral("ColorBox%1").arg(i + 1));
        for (const NamedColour& c : kColours) {
            QPixmap swatch(14, 14);
            swatch.fill(QColor(c.rgb));
            colours->addItem(QIcon(swatch), Utf(c.name), QColor(c.rgb));
        }
        colours->setCurrentIndex(kInitialColour[i]);
        grid->addWidget(box, i, 0);
        grid->addWidget(colours, i, 1);
        boxes_[size_t(i)] = box;
        colourBoxes_[size_t(i)] = colours;
        const int kart = i + 1;
        connect(box, &QCheckBox::toggled, this, [this, kart] { fill(kart); });
        // A new colour rebuilds the series in it.
        connect(colours, &QComboBox::currentIndexChanged, this, [this, kart] {
            QLineSeries* s = series(kart);
            s->setPen(LinePen(colourOf(kart)));
            s->setLightMarker(CrossMark(colourOf(kart)));
            s->clear();
            fill(kart);
        });
    }
}

void StatisticsDialog::buildChart() {
    chart_ = new QChart;
    chart_->setObjectName(QStringLiteral("Chart1"));
    chart_->setTitle(kind_ == ChartKind::Laps ? QStringLiteral("Časy jednotlivých kol")
                                              : QStringLiteral("Časy jednotlivých snímačů"));
    QFont title = chart_->titleFont();
    title.setBold(true);
    title.setItalic(true);
    title.setPointSize(11);
    chart_->setTitleFont(title);
    chart_->setTitleBrush(QBrush(Qt::blue));
    chart_->legend()->hide();
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->setMargins(QMargins(4, 30, 4, 4)); // room for the paging bar
    axes_ = new LapTimeAxes(chart_, this);
    for (int kart = 1; kart <= kKarts; ++kart) {
        auto* s = new QLineSeries;
        s->setObjectName(QStringLiteral("Series%1").arg(kart));
        s->setName(QStringLiteral("Series%1").arg(kart));
        s->setPen(LinePen(colourOf(kart)));
        s->setPointsVisible(true);
        s->setMarkerSize(9);
        s->setLightMarker(CrossMark(colourOf(kart)));
        s->setSelectedLightMarker(CrossMark(LeadColour(kind_, kart)));
        chart_->addSeries(s);
        s->attachAxis(axes_->lapAxis());
        s->attachAxis(axes_->timeAxis());
        series_[size_t(kart - 1)] = s;
    }
    view_ = new ReadoutChartView(chart_);
    view_->setObjectName(QStringLiteral("Chart1"));
    view_->setRenderHint(QPainter::Antialiasing, false);
    view_->cacheSeries();
    connect(view_, &ReadoutChartView::readout, this, [this](double time, double lap) {
        readout_->setText(chartlabels::ReadoutText(time, lap));
    });

    // The paging bar inside the chart.
    auto* bar = new QWidget(view_);
    bar->setGeometry(6, 4, 940, 26);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(QStringLiteral("Počet kol na stánku:")));
    pointsSpin_ = new QSpinBox;
    pointsSpin_->setObjectName(QStringLiteral("SpinPocetBodu"));
    pointsSpin_->setRange(0, 200);
    pointsSpin_->setValue(25);
    row->addWidget(pointsSpin_);
    auto* all = Button("btnZobrazitVse", QStringLiteral("Zobrazit vše"));
    auto* previous = Button("btnPredchozi", QStringLiteral("<"));
    previous->setToolTip(QStringLiteral("Předchozí strana"));
    auto* next = Button("btnDalsi", QStringLiteral(">"));
    next->setToolTip(QStringLiteral("Další strana"));
    row->addWidget(all);
    row->addWidget(previous);
    row->addWidget(next);
    row->addStretch();
    connect(pointsSpin_, &QSpinBox::valueChanged, this, [this](int value) {
        chart_->zoomReset();
        paging_.setPointsPerPage(value + 1);
        showPage();
    });
    connect(all, &QPushButton::clicked, this, [this] {
        paging_.showAll();
        showPage();
    });
    connect(previous, &QPushButton::clicked, this, [this] {
        paging_.previous();
        showPage();
    });
    connect(next, &QPushButton::clicked, this, [this] {
        paging_.next();
        showPage();
    });

    if (kind_ != ChartKind::Splits)
        return;
    auto* filter = Button("btnFiltruj", QStringLiteral("Filtruj snímače"));
    row->addWidget(filter);
    connect(filter, &QPushButton::clicked, this, &StatisticsDialog::showSensorChoice);
    sensorPanel_ = new QWidget(view_);
    sensorPanel_->setObjectName(QStringLiteral("pnFiltr"));
    sensorPanel_->setAutoFillBackground(true);
    sensorPanel_->setGeometry(600, 32, 340, 270);
    auto* panel = new QVBoxLayout(sensorPanel_);
    sensorList_ = new QListWidget;
    sensorList_->setObjectName(QStringLiteral("ChLSnimac"));
    for (int i = 1; i <= kSensorCount; ++i) {
        auto* item = new QListWidgetItem(QStringLiteral("Zobrazit snímač %1  -  ").arg(i, 2, 10, QLatin1Char('0')));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        sensorList_->addItem(item);
    }
    panel->addWidget(sensorList_);
    auto* show = Button("btnZobrazit", QStringLiteral("Zobrazit"));
    panel->addWidget(show);
    connect(show, &QPushButton::clicked, this, &StatisticsDialog::applySensorChoice);
    sensorPanel_->hide();
}

void StatisticsDialog::buildMirrors() {
    const QString captions[2] = {QStringLiteral("Motokáry 1..4   "),
                                 kind_ == ChartKind::Laps ? QStringLiteral("Motokáry 5..8   ")
                                                          : QStringLiteral("Motokáry 5..8  ")};
    for (int page = 0; page < 2; ++page) {
        auto* widget = new QWidget;
        auto* grid = new QGridLayout(widget);
        grid->setContentsMargins(2, 2, 2, 2);
        grid->setSpacing(2);
        for (int j = 0; j < 4; ++j) {
            const int i = page * 4 + j;
            auto* chart = new QChart;
            chart->setTitle(Utf(kMirrorTitles[i]));
            chart->legend()->hide();
            chart->setAnimationOptions(QChart::NoAnimation);
            chart->setMargins(QMargins(0, 0, 0, 0));
            QFont small = chart->titleFont();
            small.setPointSize(8);
            chart->setTitleFont(small);
            // The area is filled under the line's column tops and the line
            // drawn over it: the same picture as an area bounded by the line
            // itself, whose up-and-down in every column makes filling slow.
            auto* top = new QLineSeries;
            auto* floor = new QLineSeries;
            auto* area = new QAreaSeries(top, floor);
            area->setBrush(QColor(0x00, 0x80, 0x00));
            area->setPen(LinePen(QColor(0x00, 0x60, 0x00)));
            chart->addSeries(area);
            auto* line = new QLineSeries;
            line->setPen(LinePen(QColor(0x00, 0x60, 0x00)));
            chart->addSeries(line);
            auto* axes = new LapTimeAxes(chart, this);
            for (QCategoryAxis* axis : {axes->lapAxis(), axes->timeAxis()}) {
                QFont f = axis->labelsFont();
                f.setPointSize(6);
                axis->setLabelsFont(f);
                axis->setTitleFont(f);
            }
            for (QAbstractSeries* series : {static_cast<QAbstractSeries*>(area), static_cast<QAbstractSeries*>(line)}) {
                series->attachAxis(axes->lapAxis());
                series->attachAxis(axes->timeAxis());
            }
            auto* view = new QChartView(chart);
            view->setObjectName(QStringLiteral("DBChart%1").arg(i + 1));
            grid->addWidget(view, j / 2, j % 2);
            mirrors_[size_t(i)] = line;
            mirrorTops_[size_t(i)] = top;
            mirrorFloors_[size_t(i)] = floor;
            mirrorAxes_[size_t(i)] = axes;
        }
        pages_->addTab(widget, captions[page]);
    }
}

void StatisticsDialog::buildButtons(QWidget* area) {
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    auto* close = Button("btnZavrit", QStringLiteral("&Zavřít"));
    auto* printForm = Button("btnTiskFormulare", QStringLiteral("Tisk &celého formuláře"));
    auto* printChartButton = Button("btnTiskKol", QStringLiteral("Tisk jednotlivých &kol"));
    auto* toFile = Button("btnUlozGraf", QStringLiteral("Ulož graf do souboru"));
    auto* toClipboard = Button("btnGrafSchranka", QStringLiteral("Ulož graf do schránky"));
    auto* top = Button("btnTop20", QStringLiteral("Nejlepších dvacet časů"));
    QList<QPushButton*> buttons = {printForm, printChartButton, toFile, toClipboard, top};
    if (kind_ == ChartKind::Laps) {
        auto* splits = Button("btnMezicasy", QStringLiteral("   Mezičasy na dráze "));
        buttons << splits;
        connect(splits, &QPushButton::clicked, this, &StatisticsDialog::splitsRequested);
    }
    buttons << close;
    for (int i = 0; i < buttons.size(); ++i)
        grid->addWidget(buttons[i], i / 4, i % 4);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(printForm, &QPushButton::clicked, this, &StatisticsDialog::printWholeForm);
    connect(printChartButton, &QPushButton::clicked, this, &StatisticsDialog::printChart);
    connect(toFile, &QPushButton::clicked, this, &StatisticsDialog::saveChartToFile);
    connect(toClipboard, &QPushButton::clicked, this, &StatisticsDialog::copyChartToClipboard);
    connect(top, &QPushButton::clicked, this, &StatisticsDialog::showBestTwenty);
}

QList<QColor> StatisticsDialog::KartColours() {
    QList<QColor> colours;
    for (int i : kInitialColour)
        colours << QColor(kColours[i].rgb);
    return colours;
}

QColor StatisticsDialog::LeadColour(ChartKind kind, int kart) {
    switch (kart) {
    case 1:
        return Qt::red;
    case 2:
        return kind == ChartKind::Laps ? QColor(0xFF, 0xA5, 0x00) : QColor(Qt::yellow);
    case 3:
        return QColor(0x00, 0x00, 0x8B);
    default:
        return QColor(0x00, 0xFF, 0x00);
    }
}

QColor StatisticsDialog::colourOf(int kart) const {
    return colourBoxes_[size_t(kart - 1)]->currentData().value<QColor>();
}

SensorFilter StatisticsDialog::sensorFilter() const {
    SensorFilter filter;
    if (src_.sensorIds)
        filter.ids = src_.sensorIds();
    if (sensorList_)
        for (int i = 0; i < kSensorCount; ++i)
            filter.checked[size_t(i)] = sensorList_->item(i)->checkState() == Qt::Checked;
    return filter;
}

void StatisticsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (parentWidget()) // centred on the main window
        move(parentWidget()->window()->frameGeometry().center() - rect().center());
    activate();
}

void StatisticsDialog::activate() {
    activating_ = true;
    activationError_.clear();
    if (sensorList_) {
        sensorList_->item(0)->setCheckState(Qt::Checked);
        const auto descriptions =
            src_.sensorDescriptions ? src_.sensorDescriptions() : std::array<QString, kSensorCount>{};
        for (int i = 0; i < kSensorCount; ++i)
            sensorList_->item(i)->setText(QStringLiteral("Zobrazit snímač %1  -  ").arg(i + 1, 2, 10, QLatin1Char('0')) +
                                          descriptions[size_t(i)]);
    }
    // The first page first: the hidden page's small charts wait until it shows.
    pages_->setCurrentIndex(0);
    clearSeries();
    paging_.setPointsPerPage(pointsSpin_->value() + 1);
    showPage();
    const BoardList list = kind_ == ChartKind::Laps ? BoardList::Lap : BoardList::Track;
    for (QCheckBox* box : boxes_)
        box->setChecked(false);
    for (int kart = 1; kart <= kKarts; ++kart)
        if (!src_.board.lines(kart, list).isEmpty())
            boxes_[size_t(kart - 1)]->setChecked(true);
    activating_ = false;
    showPage();
    if (!activationError_.isEmpty())
        src_.showError(activationError_);
}

void StatisticsDialog::clearSeries() {
    for (int kart = 1; kart <= kKarts; ++kart) {
        series(kart)->clear();
        updateMirror(kart);
    }
}

void StatisticsDialog::fill(int kart) {
    QLineSeries* s = series(kart);
    KartPoints points;
    if (boxes_[size_t(kart - 1)]->isChecked()) {
        const BoardList list = kind_ == ChartKind::Laps ? BoardList::Lap : BoardList::Track;
        const SensorFilter filter = sensorFilter();
        points = BuildKartPoints(src_.board.lines(kart, list), kind_, kind_ == ChartKind::Splits ? &filter : nullptr);
    }
    s->clearPointsConfiguration();
    if (points.charted()) {
        // One replace: adding the points one by one redraws after each.
        s->replace(points.points);
        s->setPointConfiguration(0, QXYSeries::PointConfiguration::Color, LeadColour(kind_, kart));
        // A mark image ignores the point's colour: the lead point is drawn
        // as the selected one, whose mark is in the lead colour.
        s->deselectAllPoints();
        s->selectPoint(0);
    } else {
        s->clear();
    }
    updateMirror(kart);
    paging_.showAll();
    // An activation fills every kart and shows the page once, at its end.
    if (!activating_)
        showPage();
    if (points.error)
        reportFillError(*points.error);
}

void StatisticsDialog::reportFillError(const QString& message) {
    if (!activating_)
        src_.showError(message);
    else if (activationError_.isEmpty())
        activationError_ = message;
}

void StatisticsDialog::updateMirror(int kart) {
    // The charts of a hidden page cost as much as shown ones: they are left
    // stale until their page comes up.
    const bool shown = (kart - 1) / 4 == pages_->currentIndex();
    mirrorStale_[size_t(kart - 1)] = !shown;
    if (!shown)
        return;
    QLineSeries* mirror = mirrors_[size_t(kart - 1)];
    const QList<QPointF> points = series(kart)->points();
    // A small chart cannot show more than its pixels: the same line, thinned.
    mirror->replace(ThinToColumns(points, kMirrorColumns));
    mirrorTops_[size_t(kart - 1)]->replace(ThinToColumns(points, kMirrorColumns, ColumnKeep::Highest));
    double min = 0, max = 0;
    const double last = std::max<double>(1, double(points.size() - 1));
    if (!TimeRange({mirror}, 0, last, &min, &max))
        min = 0, max = 60'000;
    // The areas rise from the bottom of the chart, so that differences
    // show; a floor far below would also make each repaint fill that much.
    const double floor = SetTimeAxesAround(mirrorAxes_[size_t(kart - 1)], 0, last, min, max);
    mirrorFloors_[size_t(kart - 1)]->replace({QPointF(0, floor), QPointF(last, floor)});
}

void StatisticsDialog::showPage() {
    int count = 0;
    for (const QLineSeries* s : series_)
        count = std::max(count, int(s->count()));
    paging_.setPointCount(count);
    const double first = paging_.firstX();
    const double last = paging_.lastX();
    double min = 0, max = 0;
    if (!TimeRange(QList<QLineSeries*>(series_.begin(), series_.end()), first, last, &min, &max))
        min = 0, max = 60'000;
    SetTimeAxesAround(axes_, first, last, min, max);
}

QString StatisticsDialog::readoutText() const {
    return readout_->text();
}

QImage StatisticsDialog::chartImage() const {
    QImage image(view_->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    view_->render(&painter);
    return image;
}

void StatisticsDialog::printWholeForm() {
    if (!src_.printer || !src_.printer->confirmAsIs(windowTitle(), this))
        return;
    const QImage form = grab().toImage();
    const QString problem = src_.printer->paint(windowTitle(), [&](QPainter& painter, const QRect& page) {
        const QSize size = form.size().scaled(page.size(), Qt::KeepAspectRatio);
        painter.drawImage(QRect(page.topLeft(), size), form);
    });
    if (!problem.isEmpty())
        src_.showError(problem);
}

void StatisticsDialog::printChart() {
    if (!src_.printer)
        return;
    QPrinter& printer = src_.printer->printer();
    const QPageLayout::Orientation before = printer.pageLayout().orientation();
    // Put back whatever happens: the sheets share this printer.
    struct Restore {
        QPrinter& printer;
        QPageLayout::Orientation orientation;
        ~Restore() { printer.setPageOrientation(orientation); }
    } restore{printer, before};
    if (!src_.printer->confirmAsIs(chart_->title(), this))
        return;
    printer.setPageOrientation(QPageLayout::Landscape);
    const QString problem = src_.printer->paint(chart_->title(), [this](QPainter& painter, const QRect& page) {
        painter.fillRect(page, Qt::white);
        view_->renderUncached(painter, page);
    });
    if (!problem.isEmpty())
        src_.showError(problem);
}

void StatisticsDialog::saveChartToFile() {
    if (!src_.saveFile)
        return;
    const auto chosen = src_.saveFile(kind_ == ChartKind::Laps ? QStringLiteral("graf") : QStringLiteral("graf_mezicasy"),
                                      QStringLiteral("bitmapa (*.bmp)|*.bmp"));
    if (!chosen)
        return;
    QString path = *chosen;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".bmp");
    QSaveFile file(path);
    QString problem;
    if (!file.open(QIODevice::WriteOnly)) {
        problem = file.errorString();
    } else {
        QImageWriter writer(&file, "bmp");
        if (!writer.write(chartImage()))
            problem = writer.errorString();
        else if (!file.commit())
            problem = file.errorString();
    }
    if (!problem.isEmpty())
        src_.showError(QStringLiteral("Graf nelze uložit do souboru %1: %2").arg(path, problem));
}

void StatisticsDialog::copyChartToClipboard() {
    QGuiApplication::clipboard()->setImage(chartImage());
}

void StatisticsDialog::showBestTwenty() {
    if (src_.bestTwenty)
        src_.bestTwenty();
    view_->viewport()->update();
}

void StatisticsDialog::showSensorChoice() {
    sensorPanel_->show();
    sensorPanel_->raise();
}

void StatisticsDialog::applySensorChoice() {
    clearSeries();
    for (int kart = 1; kart <= kKarts; ++kart)
        if (!src_.board.lines(kart, BoardList::Track).isEmpty())
            fill(kart);
    sensorPanel_->hide();
    view_->viewport()->update();
}

} // namespace vartemo

#include "moc_statisticsdialog.cpp"
