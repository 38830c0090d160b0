#pragma once

#include "engine/raceboard.h"

#include <QString>
#include <array>

namespace vartemo {

// The settings lap computation reads, read live at the moment they are needed
// (the operator may change them during a ride).
class LapSettings {
public:
    virtual ~LapSettings() = default;

    virtual int minLapTimeMs() const = 0;           // "Prodleva mezi jednotlivými koly"
    virtual int correctionMs(int kart) const = 0;   // "Chyba měření", per kart
    virtual bool useParallelPort() const = 0;       // "Použít LPT"
    virtual bool hardwareControl() const = 0;       // "Použít hardwarové řízení vartemy"
    virtual bool tvOutput() const = 0;              // "Použít TV výstup"
    virtual QString lapSensorAddress() const = 0;   // IP0: network lap sensor
    // which = 1 for the first code of the kart, 2 for the second.
    virtual QString kartCode(int kart, int which) const = 0;
};

// Plain values, for tests and for running without a settings file.
class FixedLapSettings final : public LapSettings {
public:
    int minLapTime = 2000;
    std::array<int, kKartCount> correction{};
    bool parallelPort = false;
    bool hwControl = false;
    bool tv = false;
    QString lapSensor;
    std::array<QString, kKartCount> firstCode;
    std::array<QString, kKartCount> secondCode;

    int minLapTimeMs() const override { return minLapTime; }
    int correctionMs(int kart) const override { return correction[idx(kart)]; }
    bool useParallelPort() const override { return parallelPort; }
    bool hardwareControl() const override { return hwControl; }
    bool tvOutput() const override { return tv; }
    QString lapSensorAddress() const override { return lapSensor; }
    QString kartCode(int kart, int which) const override {
        return which == 1 ? firstCode[idx(kart)] : secondCode[idx(kart)];
    }

private:
    static size_t idx(int kart) { return static_cast<size_t>(kart - 1); }
};

} // namespace vartemo
