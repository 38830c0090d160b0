#pragma once

#include "core/clock.h"

#include <QObject>
#include <QString>
#include <optional>

namespace vartemo {

class LapComputation;
class SensorHealth;

// Posts WM_IRCODE with the code to the top-level window whose caption is
// "Vartemo Kestral verze 2.3", looked up at each post. Safe from any thread;
// never waits for the main thread. Without such a window the code is lost.
// receiver: the infrared receiver (1 or 2) that saw the code, for its health.
void PostIrCodeToMainWindow(quint32 code, std::optional<TimeUs> frameStart = {}, int receiver = 0);

// Installed on the main window: hands WM_IRCODE to the lap computation, and
// what the code was to the health model of its receiver.
class IrCodeHandler final : public QObject {
    Q_OBJECT
public:
    explicit IrCodeHandler(LapComputation& laps, SensorHealth* health = nullptr, QObject* parent = nullptr)
        : QObject(parent), laps_(laps), health_(health) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    LapComputation& laps_;
    SensorHealth* health_;
};

} // namespace vartemo
