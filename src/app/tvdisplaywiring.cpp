#include "app/tvdisplaywiring.h"

#include "config/settings.h"
#include "engine/lapcomputation.h"
#include "engine/racecontrol.h"
#include "spectators/ttv_out_frm.h"
#include "spectators/tvplacement.h"

#include <QGuiApplication>
#include <QScreen>

namespace vartemo {

std::pair<QList<QRect>, qsizetype> DesktopScreens() {
    QList<QRect> geometries;
    qsizetype primary = 0;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* s : screens) {
        if (s == QGuiApplication::primaryScreen())
            primary = geometries.size();
        geometries.append(s->geometry());
    }
    return {geometries, primary};
}

TvDisplayWiring::TvDisplayWiring(Settings& settings, RaceControl& race, LapComputation& laps)
    : settings_(settings), race_(race), laps_(laps), window_(std::make_unique<TTV_Out_Frm>()),
      screens_(&DesktopScreens) {
    RaceFeeds& feeds = race_.feeds();
    TTV_Out_Frm* tv = window_.get();
    feeds.showTvDriverNames = [tv](const std::array<QString, kKartCount>& names) { tv->ShowDriverNames(names); };
    feeds.showTvClock = [tv](int m, int s, int ms) { tv->ShowClock(m, s, ms); };
    feeds.setTvRaceLength = [tv](int length) { tv->SetRaceLength(length); };
    feeds.setTvLengthLabel = [tv](const QString& label) { tv->SetLengthLabel(label); };
    // The parallel port's two hooks stay as they are.
    LapComputation::Hooks hooks = laps_.hooks();
    hooks.updateRaceRow = [tv](int kart, const QString& driver, int linesBefore, TimeMs lap) {
        tv->UpdateRaceRow(kart, driver, linesBefore, lap);
    };
    laps_.setHooks(std::move(hooks));
    // Before the settings load: the file's values act as the dialog's changes.
    QObject::connect(&settings_, &Settings::changed, tv, [this](SettingId id) { onSetting(id); });
}

TvDisplayWiring::~TvDisplayWiring() {
    RaceFeeds& feeds = race_.feeds();
    feeds.showTvDriverNames = {};
    feeds.showTvClock = {};
    feeds.setTvRaceLength = {};
    feeds.setTvLengthLabel = {};
    LapComputation::Hooks hooks = laps_.hooks();
    hooks.updateRaceRow = {};
    laps_.setHooks(std::move(hooks));
}

void TvDisplayWiring::setBestTables(BestTablesSource source) {
    window_->setBestTables(std::move(source));
    BestTablesChanged();
}

void TvDisplayWiring::BestTablesChanged() {
    if (settings_.tvOutput())
        window_->refreshBestTen();
}

void TvDisplayWiring::onSetting(SettingId id) {
    switch (id) {
    case SettingId::TV_OUT_Box:
        applyShowHide();
        break;
    case SettingId::PruhlednyForm_Box:
        if (settings_.boolean(id)) {
            window_->PruhlednyForm();
        } else {
            window_->leaveSeeThrough();
            window_->SetRaceLength(race_.raceLength());
            window_->SetLengthLabel(RaceControl::TvLengthLabel(race_.countsMinutes()));
            applyShowHide();
        }
        break;
    case SettingId::Typ_zobrazeni_Group:
        window_->setDisplayMode(settings_.integer(id));
        break;
    default:
        break;
    }
}

void TvDisplayWiring::applyShowHide() {
    if (!settings_.tvOutput()) {
        window_->hide();
        return;
    }
    const auto [screens, primary] = screens_();
    window_->showAt(TvPlacement(screens, primary));
}

} // namespace vartemo
