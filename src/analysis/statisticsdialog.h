#pragma once

#include "analysis/chartpaging.h"
#include "analysis/kartseries.h"
#include "analysis/savefileprompt.h"

#include <QColor>
#include <QDialog>
#include <QImage>
#include <array>
#include <functional>

class QAreaSeries;
class QChart;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineSeries;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QWidget;

namespace vartemo {

class LapTimeAxes;
class RaceBoard;
class ReadoutChartView;
class StationPrinter;

// The two chart dialogs of a ride: every lap of each kart (TStat_Dlg) or
// every line of its track list (TStat1_Dlg), one line series per kart in
// its chosen colour, small per-kart charts on two pages, the readout, paging
// and zoom, printing, the bitmap to a file or the clipboard. Filled afresh
// each time the dialog shows.
class StatisticsDialog : public QDialog {
    Q_OBJECT
public:
    struct Sources {
        const RaceBoard& board;
        // ID1..ID10 and Popis1..Popis10 of the settings (split chart).
        std::function<std::array<QString, kSensorCount>()> sensorIds;
        std::function<std::array<QString, kSensorCount>()> sensorDescriptions;
        StationPrinter* printer = nullptr;          // the lap-sheet window's
        SaveFilePrompt saveFile;                    // the main window's save dialog
        std::function<void()> bestTwenty;           // "Nejlepších dvacet časů"
        std::function<void(const QString&)> showError; // default: a message box
    };

    StatisticsDialog(ChartKind kind, Sources sources, QWidget* parent = nullptr);
    ~StatisticsDialog() override;

    ChartKind kind() const { return kind_; }

    // Activation: the series cleared, every kart with data checked and filled.
    void activate();
    // A kart's fill from its list (kart 1..8), as a change of its box runs it.
    void fill(int kart);

    QLineSeries* series(int kart) const { return series_[size_t(kart - 1)]; }
    QLineSeries* mirror(int kart) const { return mirrors_[size_t(kart - 1)]; }
    ChartPaging& paging() { return paging_; }
    QChart* chart() const { return chart_; }
    ReadoutChartView* chartView() const { return view_; }
    QString readoutText() const;
    // The sensor choice as the check list holds it.
    SensorFilter sensorFilter() const;

    // Chart1 as a bitmap on white.
    QImage chartImage() const;
    // The buttons' actions.
    void printWholeForm();
    void printChart();
    void saveChartToFile();
    void copyChartToClipboard();
    void showBestTwenty();
    void showSensorChoice();  // "Filtruj snímače"
    void applySensorChoice(); // "Zobrazit"

    static QList<QColor> KartColours();
    static QColor LeadColour(ChartKind kind, int kart);

signals:
    // "   Mezičasy na dráze " (lap dialog only).
    void splitsRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildKartBoxes(QWidget* group);
    void buildChart();
    void buildMirrors();
    void buildButtons(QWidget* area);
    void clearSeries();
    void showPage();
    void updateMirror(int kart);
    void reportFillError(const QString& message);
    QColor colourOf(int kart) const;

    ChartKind kind_;
    Sources src_;
    QChart* chart_ = nullptr;
    ReadoutChartView* view_ = nullptr;
    LapTimeAxes* axes_ = nullptr;
    std::array<QLineSeries*, 8> series_{};
    std::array<QCheckBox*, 8> boxes_{};
    std::array<QComboBox*, 8> colourBoxes_{};
    std::array<QLineSeries*, 8> mirrors_{};
    std::array<QLineSeries*, 8> mirrorTops_{};   // the upper edges of the areas
    std::array<QLineSeries*, 8> mirrorFloors_{}; // the lower edges of the areas
    std::array<LapTimeAxes*, 8> mirrorAxes_{};
    std::array<bool, 8> mirrorStale_{}; // on the hidden page, not yet caught up
    QTabWidget* pages_ = nullptr;
    QSpinBox* pointsSpin_ = nullptr;
    QLabel* readout_ = nullptr;
    QWidget* sensorPanel_ = nullptr;
    QListWidget* sensorList_ = nullptr;
    ChartPaging paging_;
    // During an activation the first unreadable line is told once, at its end.
    bool activating_ = false;
    QString activationError_;
};

// "Statistika": every lap of each kart.
class TStat_Dlg : public StatisticsDialog {
    Q_OBJECT
public:
    explicit TStat_Dlg(Sources sources, QWidget* parent = nullptr)
        : StatisticsDialog(ChartKind::Laps, std::move(sources), parent) {}
};

// "Statistika mezičasy na dráze": the track lists, filtered by sensor.
class TStat1_Dlg : public StatisticsDialog {
    Q_OBJECT
public:
    explicit TStat1_Dlg(Sources sources, QWidget* parent = nullptr)
        : StatisticsDialog(ChartKind::Splits, std::move(sources), parent) {}
};

} // namespace vartemo
