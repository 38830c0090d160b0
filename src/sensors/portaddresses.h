#pragma once

#include "sensors/parallelportsettings.h"

#include <optional>

namespace vartemo {

// LptPortBase and SemaforPortBase: the base addresses of the input port and
// the light port, taken from their choices whenever a choice is set or
// changed. Empty when the choice names no valid address.
class PortAddresses {
public:
    explicit PortAddresses(const ParallelPortSettings& settings);

    void updateInputPort(); // LPT1_Start / LPT2_Start / LPTxx_Start changed
    void updateLightPort(); // Semafor_LPT1 / Semafor_LPT2 / Semafor_LPT3 changed

    std::optional<quint16> LptPortBase() const { return lptPortBase_; }
    std::optional<quint16> SemaforPortBase() const { return semaforPortBase_; }
    bool lightsShareInputPort() const { return lptPortBase_ && lptPortBase_ == semaforPortBase_; }

private:
    const ParallelPortSettings& settings_;
    std::optional<quint16> lptPortBase_;
    std::optional<quint16> semaforPortBase_;
};

} // namespace vartemo
