#include "sensors/parallelport.h"

namespace vartemo {

ParallelPort::ParallelPort(PortDriver driver, const ParallelPortSettings& settings)
    : driver_(std::move(driver)), settings_(settings), addresses_(settings),
      inputs_(*driver_.io, addresses_, settings), lights_(*driver_.io, addresses_, settings),
      pulse_(*driver_.io, addresses_, hwLog0Timer_, hwLog1Timer_) {
    updatePulseLengths();
}

LapComputation::Hooks ParallelPort::lapHooks() {
    LapComputation::Hooks hooks;
    hooks.kartInputActive = [this](int kart) { return inputs_.kartInputActive(kart); };
    hooks.startPulse = [this] { pulse_.StartPulse(); };
    return hooks;
}

void ParallelPort::updatePulseLengths() {
    pulse_.setLog0Ms(settings_.pulseLog0Ms());
    pulse_.setLog1Ms(settings_.pulseLog1Ms());
}

} // namespace vartemo
