#pragma once

#include "core/clock.h"
#include "core/programfolder.h"
#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/raceboard.h"
#include "engine/racecontrol.h"
#include "engine/racesettings.h"

#include <memory>

namespace vartemo {

class TForm1;

// The whole timing station of one run: every subsystem and window, created
// once at start-up in order and wired together here.
class Station {
public:
    explicit Station(const ProgramFolder& folder);
    ~Station();

    void show();
    TForm1& mainWindow() { return *mainWindow_; }
    RaceControl& raceControl() { return race_; }

private:
    ProgramFolder folder_;
    SteadyClock clock_;
    RaceBoard board_;
    FixedLapSettings lapSettings_;
    LapComputation laps_;
    FixedRaceSettings raceSettings_;
    RaceControl race_;
    std::unique_ptr<TForm1> mainWindow_;
};

} // namespace vartemo
