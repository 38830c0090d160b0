#pragma once

#include "config/settingid.h"
#include "spectators/besttables.h"

#include <QList>
#include <QRect>
#include <functional>
#include <memory>

namespace vartemo {

class LapComputation;
class RaceControl;
class Settings;
class TTV_Out_Frm;

// The TV display in the station: made at start-up, written by race control
// (names, clock, length) and by every counted lap, shown, hidden and made
// see-through by the "TVOUT" settings, loaded or changed in the dialog.
class TvDisplayWiring {
public:
    // The screens' geometries and the primary's index, for the placement.
    using ScreenSource = std::function<std::pair<QList<QRect>, qsizetype>()>;

    TvDisplayWiring(Settings& settings, RaceControl& race, LapComputation& laps);
    ~TvDisplayWiring();

    TTV_Out_Frm& window() { return *window_; }
    void setBestTables(BestTablesSource source);
    void setScreens(ScreenSource screens) { screens_ = std::move(screens); }
    // The best-twenty tables changed: the best ten again while the TV is in use.
    void BestTablesChanged();

private:
    void onSetting(SettingId id);
    void applyShowHide();

    Settings& settings_;
    RaceControl& race_;
    LapComputation& laps_;
    std::unique_ptr<TTV_Out_Frm> window_;
    ScreenSource screens_;
};

// The desktop's screens as Qt sees them.
std::pair<QList<QRect>, qsizetype> DesktopScreens();

} // namespace vartemo
