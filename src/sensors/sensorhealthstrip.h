#pragma once

#include "engine/sensorhealth.h"

#include <QWidget>
#include <array>

class QHBoxLayout;
class QLabel;

namespace vartemo {

class Lamp;

// The sensor status strip under the race board: "Čidla:" and one small lamp
// per source in use (green heard recently, grey quiet, red failing) with a
// short label and the figures in its tooltip, then the stuck contacts in
// red. A source's lamp is made the first time it is in use, so the strip
// costs a label until then.
class SensorHealthStrip : public QWidget {
    Q_OBJECT
public:
    explicit SensorHealthStrip(QWidget* parent = nullptr);

    // Shows the model as it stands at now; the tooltips are written again
    // only with figures: they cost text that the lamps do not.
    void showHealth(const SensorHealth& health, TimeUs now, bool figures);

    // "StavLPT1".."StavLPT4", "StavCOM", "StavIR1", "StavIR2", "StavUDP1"...
    static QString CellName(const SourceHealth& source, int slot);
    static QColor LampColour(SourceLamp lamp);
    // The cell of a source (its lamp and label), nullptr until first shown.
    QWidget* cell(int slot) const { return cells_[size_t(slot)].box; }
    Lamp* lamp(int slot) const { return cells_[size_t(slot)].lamp; }
    QLabel* notice() const { return notice_; }

private:
    struct Cell {
        QWidget* box = nullptr;
        Lamp* lamp = nullptr;
        std::optional<SourceLamp> shown;
    };
    Cell& makeCell(const SensorHealth& health, int slot);

    QHBoxLayout* row_ = nullptr;
    QLabel* notice_ = nullptr;
    std::array<Cell, SensorHealth::kSourceCount> cells_{};
};

} // namespace vartemo
