#pragma once

#include <QChartView>
#include <QObject>

class QCategoryAxis;
class QChart;
class QGraphicsLineItem;

namespace vartemo {

// The axes of a statistics chart: laps across ("kola"), times up ("čas").
// Both are category axes whose labels are computed again on every range
// change, since a printf-style format cannot write minutes and seconds: the
// time axis in "mm:ss:zzz", the lap axis at whole laps.
class LapTimeAxes : public QObject {
    Q_OBJECT
public:
    explicit LapTimeAxes(QChart* chart, QObject* parent = nullptr);

    QCategoryAxis* lapAxis() const { return lap_; }
    QCategoryAxis* timeAxis() const { return time_; }
    void setRanges(double firstLap, double lastLap, double minTime, double maxTime);

private:
    void relabel();

    QChart* chart_;
    QCategoryAxis* lap_;
    QCategoryAxis* time_;
    bool relabelling_ = false;
};

// The main chart's view: rubber-band zoom and the readout. Over the plotting
// area a yellow crosshair follows the pointer and the value under it is
// reported; outside, the crosshair goes and the last value stays. The
// crosshair is a scene item of its own and the series are cached, so a move
// repaints no series.
class ReadoutChartView : public QChartView {
    Q_OBJECT
public:
    explicit ReadoutChartView(QChart* chart, QWidget* parent = nullptr);

    // Series are cached as device pixmaps; called after series were added.
    void cacheSeries();
    bool crosshairShown() const;
    // The chart drawn as lines and text onto a printer's page: the device
    // pixmaps of the screen would be drawn there as page-sized images.
    void renderUncached(QPainter& painter, const QRect& target);

signals:
    // The time (ms) and lap under the pointer, in the axes of the first series.
    void readout(double timeMs, double lap);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QGraphicsLineItem* vertical_;
    QGraphicsLineItem* horizontal_;
};

} // namespace vartemo
