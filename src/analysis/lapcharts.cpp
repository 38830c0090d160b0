#include "analysis/lapcharts.h"

#include "analysis/chartlabels.h"

#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QMouseEvent>
#include <QXYSeries>

#include <vector>

namespace vartemo {

namespace {
// Room a label needs along its axis, in pixels.
constexpr int kTimeLabelSpacing = 24;
constexpr int kLapLabelSpacing = 34;

void SetCategories(QCategoryAxis* axis, const QList<double>& ticks, const std::function<QString(double)>& text) {
    for (const QString& label : axis->categoriesLabels())
        axis->remove(label);
    // A category ends at its label; the first one needs a start below it.
    const double span = axis->max() - axis->min();
    axis->setStartValue(axis->min() - std::max(span, 1.0) * 1e-6);
    for (double v : ticks)
        axis->append(text(v), v);
}
} // namespace

LapTimeAxes::LapTimeAxes(QChart* chart, QObject* parent)
    : QObject(parent), chart_(chart), lap_(new QCategoryAxis), time_(new QCategoryAxis) {
    lap_->setTitleText(QStringLiteral("kola"));
    time_->setTitleText(QStringLiteral("čas"));
    for (QCategoryAxis* axis : {lap_, time_}) {
        axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        connect(axis, &QValueAxis::rangeChanged, this, &LapTimeAxes::relabel);
    }
    chart->addAxis(lap_, Qt::AlignBottom);
    chart->addAxis(time_, Qt::AlignLeft);
    connect(chart, &QChart::plotAreaChanged, this, &LapTimeAxes::relabel);
    relabel();
}

void LapTimeAxes::setRanges(double firstLap, double lastLap, double minTime, double maxTime) {
    lap_->setRange(firstLap, lastLap);
    time_->setRange(minTime, maxTime);
}

void LapTimeAxes::relabel() {
    if (relabelling_)
        return;
    relabelling_ = true;
    QRectF area = chart_->plotArea();
    if (area.isEmpty()) // not laid out yet: a chart of the dialog's size
        area = QRectF(0, 0, 880, 240);
    const int timeCount = std::max(2, int(area.height() / kTimeLabelSpacing));
    const int lapCount = std::max(2, int(area.width() / kLapLabelSpacing));
    SetCategories(time_, chartlabels::TimeTicks(time_->min(), time_->max(), timeCount), &chartlabels::TimeText);
    SetCategories(lap_, chartlabels::LapTicks(lap_->min(), lap_->max(), lapCount),
                  [](double v) { return QString::number(qint64(v)); });
    relabelling_ = false;
}

ReadoutChartView::ReadoutChartView(QChart* chart, QWidget* parent)
    : QChartView(chart, parent), vertical_(new QGraphicsLineItem), horizontal_(new QGraphicsLineItem) {
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setRubberBand(QChartView::RectangleRubberBand);
    QPen pen(Qt::yellow);
    pen.setWidth(0); // one device pixel at any scale
    pen.setCosmetic(true);
    for (QGraphicsLineItem* line : {vertical_, horizontal_}) {
        line->setPen(pen);
        line->setZValue(1000);
        line->setVisible(false);
        scene()->addItem(line);
    }
}

void ReadoutChartView::cacheSeries() {
    const QList<QGraphicsItem*> items = chart()->childItems();
    for (QGraphicsItem* item : items) {
        // Titles change their text without telling a cache: they stay drawn
        // as they are (they are cheap); the series and axes are cached.
        if (item->type() == QGraphicsTextItem::Type || item->type() == QGraphicsSimpleTextItem::Type)
            continue;
        item->setCacheMode(QGraphicsItem::DeviceCoordinateCache);
    }
}

void ReadoutChartView::renderUncached(QPainter& painter, const QRect& target) {
    const QList<QGraphicsItem*> items = chart()->childItems();
    std::vector<QGraphicsItem::CacheMode> modes;
    modes.reserve(size_t(items.size()));
    for (QGraphicsItem* item : items) {
        modes.push_back(item->cacheMode());
        item->setCacheMode(QGraphicsItem::NoCache);
    }
    render(&painter, target);
    for (qsizetype i = 0; i < items.size(); ++i)
        items[i]->setCacheMode(modes[size_t(i)]);
}

bool ReadoutChartView::crosshairShown() const {
    return vertical_->isVisible();
}

void ReadoutChartView::mouseMoveEvent(QMouseEvent* event) {
    QChartView::mouseMoveEvent(event);
    const QPointF scenePos = mapToScene(event->position().toPoint());
    const QPointF chartPos = chart()->mapFromScene(scenePos);
    const QRectF area = chart()->plotArea();
    if (!area.contains(chartPos)) {
        vertical_->setVisible(false);
        horizontal_->setVisible(false);
        return;
    }
    const QRectF sceneArea = chart()->mapRectToScene(area);
    vertical_->setLine(scenePos.x(), sceneArea.top(), scenePos.x(), sceneArea.bottom());
    horizontal_->setLine(sceneArea.left(), scenePos.y(), sceneArea.right(), scenePos.y());
    vertical_->setVisible(true);
    horizontal_->setVisible(true);
    const QList<QAbstractSeries*> series = chart()->series();
    const QPointF value = chart()->mapToValue(chartPos, series.isEmpty() ? nullptr : series.first());
    emit readout(value.y(), value.x());
}

void ReadoutChartView::leaveEvent(QEvent* event) {
    vertical_->setVisible(false);
    horizontal_->setVisible(false);
    QChartView::leaveEvent(event);
}

} // namespace vartemo

#include "moc_lapcharts.cpp"
