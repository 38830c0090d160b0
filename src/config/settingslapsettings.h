#pragma once

#include "config/settings.h"
#include "engine/lapsettings.h"

namespace vartemo {

// Lap computation reads its settings live from the settings model.
class SettingsLapSettings final : public LapSettings {
public:
    explicit SettingsLapSettings(const Settings& settings) : settings_(settings) {}

    int minLapTimeMs() const override { return settings_.minLapTimeMs(); }
    int correctionMs(int kart) const override { return settings_.correctionMs(kart); }
    bool useParallelPort() const override { return settings_.useParallelPort(); }
    bool hardwareControl() const override { return settings_.hardwareControl(); }
    bool tvOutput() const override { return settings_.tvOutput(); }
    QString lapSensorAddress() const override { return settings_.lapSensorAddress(); }
    QString kartCode(int kart, int which) const override { return settings_.kartCode(kart, which); }

private:
    const Settings& settings_;
};

} // namespace vartemo
