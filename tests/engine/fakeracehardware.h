#pragma once

#include "engine/racehardware.h"

#include <QStringList>
#include <vector>

namespace vartemo::testing {

// Records what race control switches on the lights and the receivers, and
// answers the input questions with set values.
struct FakeLights : StartLights {
    std::vector<int> states;
    int maskReloads = 0;
    int idleWrites = 0;
    void SetLights(int state) override { states.push_back(state); }
    void reloadLightMasks() override { ++maskReloads; }
    void writeIdleValue() override { ++idleWrites; }
    int last() const { return states.empty() ? -1 : states.back(); }
};

struct FakeInputs : StartInputs {
    bool button = false;
    bool kartInput = false;
    int reads = 0;
    void readStatus() override { ++reads; }
    bool externalStartPressed() const override { return button; }
    bool anyKartInputActive() const override { return kartInput; }
};

struct FakeReceivers : ReceiverControl {
    bool detected = true;
    bool rxd = true;
    bool open = false;
    QStringList calls;
    bool serialReceiverDetected() const override { return detected; }
    bool serialInputIsRxd() const override { return rxd; }
    bool serialPortOpen() const override { return open; }
    void openSerialPort() override { open = true; calls << "open"; }
    void closeSerialPort() override { open = false; calls << "close"; }
    void startInfraredDecoders() override { calls << "decoders"; }
    void activateNetwork(bool rebind) override { calls << (rebind ? "network+rebind" : "network"); }
    void deactivateNetwork() override { calls << "network off"; }
};

} // namespace vartemo::testing
