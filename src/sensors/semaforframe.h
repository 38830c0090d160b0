#pragma once

#include "sensors/startlightport.h"

#include <QGroupBox>
#include <array>

namespace vartemo {

class Lamp;

// The frame " Semafor " of the main window: the on-screen copy of the start
// lights, lamps Led_cervena, LED_oranzova and Led_zelena.
class SemaforFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit SemaforFrame(QWidget* parent = nullptr);

    void showLamp(LitLamp lit);

    Lamp* redLamp() const { return lamps_[0]; }
    Lamp* orangeLamp() const { return lamps_[1]; }
    Lamp* greenLamp() const { return lamps_[2]; }

private:
    std::array<Lamp*, 3> lamps_{}; // red, orange, green
};

} // namespace vartemo
