#pragma once

#include "platform/portchoice.h"

#include <QtGlobal>

namespace vartemo {

// The settings the parallel port works from, read live when needed.
class ParallelPortSettings {
public:
    virtual ~ParallelPortSettings() = default;

    virtual bool useParallelPort() const = 0; // "Použít LPT"
    virtual bool negateInputs() const = 0;    // "Negace vstupů": active while the bit reads 1
    virtual bool hardwareControl() const = 0; // "Použít hardwarové řízení vartemy"
    virtual PortChoice inputPort() const = 0; // sensors, start button, idle value, pulse
    virtual PortChoice lightPort() const = 0; // start lights
    // Data-register masks (bit i = pin i + 2).
    virtual quint8 idleValue() const = 0; // " Stav paralelního portu po spuštění "
    virtual quint8 greenMask() const = 0;
    virtual quint8 orangeMask() const = 0;
    virtual quint8 redMask() const = 0;
    virtual int pulseLog0Ms() const = 0; // "Délka pulzu LOG0 :"
    virtual int pulseLog1Ms() const = 0; // "Délka pulzu LOG1 :"
};

// Plain values with the defaults of a fresh installation.
class FixedParallelPortSettings final : public ParallelPortSettings {
public:
    bool useLpt = true;
    bool negate = true;
    bool hwControl = true;
    PortChoice input;
    PortChoice lights;
    quint8 idle = 0;
    quint8 green = 0;
    quint8 orange = 0;
    quint8 red = 0;
    int log0 = 150;
    int log1 = 150;

    bool useParallelPort() const override { return useLpt; }
    bool negateInputs() const override { return negate; }
    bool hardwareControl() const override { return hwControl; }
    PortChoice inputPort() const override { return input; }
    PortChoice lightPort() const override { return lights; }
    quint8 idleValue() const override { return idle; }
    quint8 greenMask() const override { return green; }
    quint8 orangeMask() const override { return orange; }
    quint8 redMask() const override { return red; }
    int pulseLog0Ms() const override { return log0; }
    int pulseLog1Ms() const override { return log1; }
};

} // namespace vartemo
