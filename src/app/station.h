#pragma once

#include "config/settings.h"
#include "config/settingslapsettings.h"
#include "config/settingsparallelportsettings.h"
#include "config/settingsracesettings.h"
#include "core/clock.h"
#include "core/programfolder.h"
#include "engine/lapcomputation.h"
#include "engine/raceboard.h"
#include "engine/racecontrol.h"
#include "platform/autostartentry.h"
#include "platform/fileregistrystore.h"
#include "engine/racecontrol.h"
#include "sensors/settingsreceiversettings.h"

#include <memory>

namespace vartemo {

class ParallelPort;
class SemaforFrame;
class TForm1;
class IrCodeHandler;
class Receivers;

// The whole timing station of one run: every subsystem and window, created
// once at start-up in order and wired together here.
class Station {
public:
    // simulatedPortPath: the simulated parallel port to use instead of the real one.
    explicit Station(const ProgramFolder& folder, const QString& simulatedPortPath = {});
    ~Station();

    void show();
    TForm1& mainWindow() { return *mainWindow_; }
    Receivers& receivers() { return *receivers_; }
    Settings& settings() { return settings_; }
    ParallelPort& parallelPort() { return *parallelPort_; }
    RaceControl& raceControl() { return race_; }

private:
    void connectSettings();
    std::unique_ptr<Receivers> createReceivers();
    void wireParallelPort();
    void onParallelPortSetting(SettingId id);

    ProgramFolder folder_;
    SteadyClock clock_;
    RaceBoard board_;
    FileRegistryStore registry_;
    AutostartEntry autostart_{registry_};
    Settings settings_;
    SettingsLapSettings lapSettings_;
    LapComputation laps_;
    SettingsParallelPortSettings parallelPortSettings_;
    std::unique_ptr<ParallelPort> parallelPort_;
    SettingsReceiverSettings receiverSettings_;
    std::unique_ptr<Receivers> receivers_;
    SettingsRaceSettings raceSettings_;
    RaceControl race_;
    std::unique_ptr<TForm1> mainWindow_;
    std::unique_ptr<IrCodeHandler> irCodes_;
    SemaforFrame* semaforFrame_ = nullptr;
};

} // namespace vartemo
