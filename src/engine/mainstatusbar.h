#pragma once

#include "engine/processorloadtext.h"

#include <QDateTime>
#include <QStatusBar>
#include <array>
#include <functional>

class QHBoxLayout;
class QLabel;
class QTimer;

namespace vartemo {

class Lamp;
class ProcessorLoad;

// The main window's status bar mxStatusBar1: eleven panels with the port
// lamps, the current operator, the processor load and the clock.
class MainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kPanelCount = 11;

    // What the tick reads: whether the parallel-port input is in use, whether
    // the serial port is open or an infrared decoder runs, the load, the time.
    struct Sources {
        std::function<bool()> lptInUse = [] { return false; };
        std::function<bool()> comReceiving = [] { return false; };
        ProcessorLoad* load = nullptr;
        std::function<QDateTime()> now = &QDateTime::currentDateTime;
    };

    explicit MainStatusBar(Sources sources, QWidget* parent = nullptr);

    QWidget* panel(int index) const { return panels_[size_t(index)]; }
    Lamp* lptLamp() const { return lptLamp_; }
    Lamp* comLamp() const { return comLamp_; }

    void setUserName(const QString& name);
    QString userName() const;

    // Panels 6, 8 and 9 follow the main window's layout.
    void ApplyLayout(bool showTrackLists);

    // Starts the 500 ms tick (once the main window has been shown).
    void startTicking();
    // One tick: lamps, clock, processor load.
    void MCPUUsage1Interval();
    // The colour panel 7 shows, nullopt before the first measurement.
    std::optional<LoadColour> loadColour() const { return loadColour_; }

    // The lamp colours of the two states: free (working) and busy (red).
    static QColor freeColour();
    static QColor busyColour();

signals:
    // Panel 5 was clicked: the log book window opens.
    void userPanelClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* addLabel(int index, const QString& text, int width, Qt::Alignment alignment = Qt::AlignLeft);
    QWidget* addLamp(int index, const QString& name, Lamp** lamp);
    void setWidth(int index, int width);
    void showLoad(int percent);

    Sources sources_;
    QHBoxLayout* row_ = nullptr;
    std::array<QWidget*, kPanelCount> panels_{};
    Lamp* lptLamp_ = nullptr;
    Lamp* comLamp_ = nullptr;
    QTimer* timer_ = nullptr;
    std::optional<LoadColour> loadColour_;
};

} // namespace vartemo
