#pragma once

#include "config/settings.h"
#include "config/settingslapsettings.h"
#include "config/tnastavdlg.h"
#include "core/clock.h"
#include "engine/lapcomputation.h"
#include "engine/raceboard.h"
#include "recordingreceivers.h"

#include <QStringList>
#include <QTemporaryDir>

namespace vartemo::testing {

// The settings dialog over a settings file in a folder of its own, a lap
// computation on a hand-moved clock, and receivers and port that write every
// call into one shared log.
struct SettingsDialogRig {
    QTemporaryDir dir;
    QStringList log;
    Settings settings{dir.path()};
    RaceBoard board;
    ManualClock clock;
    SettingsLapSettings lapSettings{settings};
    LapComputation laps{board, clock, lapSettings};
    RecordingReceivers receivers{log};
    RecordingPortIo portIo{log};
    TNastavDlg dialog{{settings, laps, receivers, portIo, dir.path()}};
};

} // namespace vartemo::testing
