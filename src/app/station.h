#pragma once

#include "config/settings.h"
#include "config/settingslapsettings.h"
#include "config/settingsparallelportsettings.h"
#include "core/clock.h"
#include "core/programfolder.h"
#include "engine/lapcomputation.h"
#include "engine/raceboard.h"

#include <QTimer>
#include <memory>

namespace vartemo {

class ParallelPort;
class SemaforFrame;
class TForm1;

// The whole timing station of one run: every subsystem and window, created
// once at start-up in order and wired together here.
class Station {
public:
    // simulatedPortPath: the simulated parallel port to use instead of the real one.
    explicit Station(const ProgramFolder& folder, const QString& simulatedPortPath = {});
    ~Station();

    void show();
    TForm1& mainWindow() { return *mainWindow_; }
    Settings& settings() { return settings_; }
    ParallelPort& parallelPort() { return *parallelPort_; }

private:
    void connectSettings();
    void wireParallelPort();
    void onParallelPortSetting(SettingId id);

    ProgramFolder folder_;
    SteadyClock clock_;
    RaceBoard board_;
    Settings settings_;
    SettingsLapSettings lapSettings_;
    LapComputation laps_;
    SettingsParallelPortSettings parallelPortSettings_;
    std::unique_ptr<ParallelPort> parallelPort_;
    std::unique_ptr<TForm1> mainWindow_;
    SemaforFrame* semaforFrame_ = nullptr;
    // The eight kart polls, in kart order every 2 ms (until race control runs them).
    QTimer kartPollTimer_;
};

} // namespace vartemo
