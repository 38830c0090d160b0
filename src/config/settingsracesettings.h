#pragma once

#include "config/settings.h"
#include "engine/racesettings.h"

namespace vartemo {

// Race control reads its settings live from the settings model.
class SettingsRaceSettings final : public RaceSettings {
public:
    explicit SettingsRaceSettings(const Settings& settings) : s_(settings) {}

    bool useLights() const override { return on(SettingId::cbSemafor); }
    int lightPauseSeconds() const override { return s_.integer(SettingId::Prodleva); }
    bool lightsOffAfterRace() const override { return on(SettingId::cbSemaforVyp); }
    int lightsOffMinutes() const override { return s_.integer(SettingId::spSemaforVyp); }
    bool autoStart() const override { return on(SettingId::cbAutoStart); }
    int autoStartDelaySeconds() const override { return s_.integer(SettingId::SpinAutoStartCas); }
    bool externalStart() const override { return on(SettingId::cbExtStart); }
    bool autoStop() const override { return on(SettingId::cbAutoStop); }
    bool dropFirstLap() const override { return on(SettingId::PrvniKoloBox); }
    bool dropShortLaps() const override { return on(SettingId::Mazat); }
    int shortLapSeconds() const override { return s_.integer(SettingId::Spin_Mazat_Cas); }
    bool autoSave() const override { return on(SettingId::cbAutoSave); }
    bool showTrackLists() const override { return s_.showTrackSplits(); }
    bool autoPrint() const override { return on(SettingId::cbAutoTisk); }
    bool serviceCheck() const override { return on(SettingId::cbHlaseni); }
    bool inhibitScreenSaver() const override { return on(SettingId::cbSporic); }
    bool endSound() const override { return on(SettingId::cbHratZvuk); }
    int pricePerMinute() const override { return s_.integer(SettingId::spCena); }
    bool tvOutput() const override { return s_.tvOutput(); }
    bool useCom() const override { return s_.useSerial(); }
    bool useNetwork() const override { return s_.useNetwork(); }
    bool useParallelPort() const override { return s_.useParallelPort(); }

private:
    bool on(SettingId id) const { return s_.boolean(id); }
    const Settings& s_;
};

} // namespace vartemo
