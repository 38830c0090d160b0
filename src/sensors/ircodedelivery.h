#pragma once

#include "core/clock.h"

#include <QObject>
#include <QString>
#include <optional>

namespace vartemo {

class LapComputation;

// Posts WM_IRCODE with the code to the top-level window whose caption is
// "Vartemo Kestral verze 2.3", looked up at each post. Safe from any thread;
// never waits for the main thread. Without such a window the code is lost.
void PostIrCodeToMainWindow(quint32 code, std::optional<TimeUs> frameStart = {});

// Installed on the main window: hands WM_IRCODE to the lap computation.
class IrCodeHandler final : public QObject {
    Q_OBJECT
public:
    explicit IrCodeHandler(LapComputation& laps, QObject* parent = nullptr)
        : QObject(parent), laps_(laps) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    LapComputation& laps_;
};

} // namespace vartemo
