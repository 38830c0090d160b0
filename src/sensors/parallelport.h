#pragma once

#include "engine/lapcomputation.h"
#include "platform/portdriver.h"
#include "sensors/hardwarepulse.h"
#include "sensors/lptinputs.h"
#include "sensors/portaddresses.h"
#include "sensors/pulsetimer.h"
#include "sensors/startlightport.h"

namespace vartemo {

// The station's parallel port in one piece: the driver, the two port
// addresses, the inputs, the start lights and the hardware pulse with its two
// timers. Created once at start-up; the settings' change handlers call the
// update functions.
class ParallelPort {
public:
    ParallelPort(PortDriver driver, const ParallelPortSettings& settings);

    const PortDriver& driver() const { return driver_; }
    PortIo& io() { return *driver_.io; }
    PortAddresses& addresses() { return addresses_; }
    LptInputs& inputs() { return inputs_; }
    StartLightPort& lights() { return lights_; }
    HardwarePulse& pulse() { return pulse_; }

    // The lap computation's hooks for karts 1 to 4 and the pulse of a counted
    // lap; the other hooks are left empty for the caller to fill.
    LapComputation::Hooks lapHooks();

    // Re-reads the pulse lengths (the values loaded at start-up take effect here).
    void updatePulseLengths();

private:
    PortDriver driver_;
    const ParallelPortSettings& settings_;
    PortAddresses addresses_;
    LptInputs inputs_;
    StartLightPort lights_;
    QtPulseTimer hwLog0Timer_;
    QtPulseTimer hwLog1Timer_;
    HardwarePulse pulse_;
};

} // namespace vartemo
