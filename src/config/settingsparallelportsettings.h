#pragma once

#include "config/settings.h"
#include "sensors/parallelportsettings.h"

namespace vartemo {

// The parallel port reads its settings live from the settings model.
class SettingsParallelPortSettings final : public ParallelPortSettings {
public:
    explicit SettingsParallelPortSettings(const Settings& settings) : settings_(settings) {}

    bool useParallelPort() const override { return settings_.useParallelPort(); }
    bool negateInputs() const override { return settings_.invertedInputs(); }
    bool hardwareControl() const override { return settings_.hardwareControl(); }
    PortChoice inputPort() const override {
        return {settings_.integer(SettingId::StartPort), settings_.text(SettingId::LPTxx_BASE)};
    }
    PortChoice lightPort() const override {
        return {settings_.integer(SettingId::SemaforPort), settings_.text(SettingId::Semafor_Base)};
    }
    quint8 idleValue() const override { return mask(SettingId::LptBit); }
    quint8 greenMask() const override { return mask(SettingId::ZelenaBit); }
    quint8 orangeMask() const override { return mask(SettingId::OranzovaBit); }
    quint8 redMask() const override { return mask(SettingId::CervenaBit); }
    int pulseLog0Ms() const override { return settings_.integer(SettingId::SpinLOG0); }
    int pulseLog1Ms() const override { return settings_.integer(SettingId::SpinLOG1); }

private:
    quint8 mask(SettingId id) const { return quint8(settings_.integer(id) & 0xFF); }

    const Settings& settings_;
};

} // namespace vartemo
