#pragma once

#include "config/settings.h"
#include "config/settingslapsettings.h"
#include "config/settingsracesettings.h"
#include "core/clock.h"
#include "core/programfolder.h"
#include "engine/lapcomputation.h"
#include "engine/raceboard.h"
#include "platform/autostartentry.h"
#include "platform/fileregistrystore.h"
#include "engine/racecontrol.h"
#include "sensors/settingsreceiversettings.h"

#include <memory>

namespace vartemo {

class TForm1;
class IrCodeHandler;
class Receivers;

// The whole timing station of one run: every subsystem and window, created
// once at start-up in order and wired together here.
class Station {
public:
    explicit Station(const ProgramFolder& folder);
    ~Station();

    void show();
    TForm1& mainWindow() { return *mainWindow_; }
    Settings& settings() { return settings_; }
    RaceControl& raceControl() { return race_; }
    Receivers& receivers() { return *receivers_; }

private:
    void connectSettings();
    std::unique_ptr<Receivers> createReceivers();

    ProgramFolder folder_;
    SteadyClock clock_;
    RaceBoard board_;
    FileRegistryStore registry_;
    AutostartEntry autostart_{registry_};
    Settings settings_;
    SettingsLapSettings lapSettings_;
    LapComputation laps_;
    SettingsReceiverSettings receiverSettings_;
    std::unique_ptr<Receivers> receivers_;
    SettingsRaceSettings raceSettings_;
    RaceControl race_;
    std::unique_ptr<TForm1> mainWindow_;
    std::unique_ptr<IrCodeHandler> irCodes_;
};

} // namespace vartemo
