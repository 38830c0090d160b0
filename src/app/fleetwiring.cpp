#include "app/fleetwiring.h"

#include "engine/racefeeds.h"
#include "fleet/kartfleet.h"
#include "fleet/thlasenidlg.h"
#include "fleet/tstav_karfrm.h"

namespace vartemo {

FleetWiring::FleetWiring(Parts parts)
    : parts_(std::move(parts)),
      fleet_(std::make_unique<KartFleet>(parts_.statusFile,
                                         KartFleet::Hooks{.addLogEntry = parts_.addLogEntry,
                                                          .currentOperator = parts_.currentOperator,
                                                          .now = &QDateTime::currentDateTime})),
      notices_(new THlaseniDlg(*fleet_, parts_.mainWindow)) {
    RaceFeeds& feeds = parts_.feeds;
    // STOP step 4: the ride's minutes, fuel, refuel check and the save.
    feeds.addOperatingMinutes = [this](const std::array<int, kKartCount>& minutes) {
        static_assert(kKartCount == kFleetKarts);
        return fleet_->AddRideMinutes(minutes);
    };
    // STOP step 15 (race control asks the setting): marks, log lines, notices.
    feeds.checkTasks = [this] { fleet_->CheckTasks(); };
    // First in the close, before what others put there (FTP, mixer levels).
    feeds.closing = [this, others = std::move(feeds.closing), showError = feeds.showError] {
        const QStringList messages = SaveAtClose();
        if (showError)
            for (const QString& m : messages)
                showError(m);
        if (others)
            others();
    };
}

FleetWiring::~FleetWiring() {
    // The windows show the fleet: they do not outlive it.
    delete window_.data();
    delete notices_.data();
}

QStringList FleetWiring::LoadAtStartup() {
    fleet_->LoadKartStatus();
    fleet_->RefreshKartTotals();
    fleet_->CheckFuel();
    if (const auto message = fleet_->unreadableDrivenMessage())
        return {*message};
    return {};
}

void FleetWiring::CheckTasksAndShowNotices() {
    fleet_->CheckTasks();
    // Above the splash window, which stays on top until start-up ends.
    notices_->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    ShowNotices();
    notices_->setWindowFlag(Qt::WindowStaysOnTopHint, false);
}

void FleetWiring::ShowNotices() {
    notices_->ShowNotices();
}

TStav_KarFrm& FleetWiring::statusWindow() {
    if (!window_) {
        window_ = new TStav_KarFrm(*fleet_, parts_.mainWindow);
        QObject::connect(window_, &TStav_KarFrm::logBookRequested, window_, [this] {
            if (parts_.showLogBook)
                parts_.showLogBook();
        });
    }
    return *window_;
}

void FleetWiring::ShowStatusWindow() {
    statusWindow().exec();
}

QStringList FleetWiring::SaveAtClose() {
    if (endingAfterRestore_)
        return {};
    QString error;
    if (fleet_->SaveKartStatus(&error))
        return {};
    return {error};
}

} // namespace vartemo
