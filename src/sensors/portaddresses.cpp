#include "sensors/portaddresses.h"

namespace vartemo {

PortAddresses::PortAddresses(const ParallelPortSettings& settings) : settings_(settings) {
    updateInputPort();
    updateLightPort();
}

void PortAddresses::updateInputPort() {
    lptPortBase_ = PortBaseFromChoice(settings_.inputPort());
}

void PortAddresses::updateLightPort() {
    semaforPortBase_ = PortBaseFromChoice(settings_.lightPort());
}

} // namespace vartemo
