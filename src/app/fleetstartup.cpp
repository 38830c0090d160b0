// The kart fleet's places in the station's start-up.

#include "app/fleetwiring.h"
#include "app/logbookwiring.h"
#include "app/station.h"
#include "engine/commandbuttons.h"
#include "engine/tform1.h"
#include "fleet/kartfleet.h"

namespace vartemo {

// Start-up step 3: the fleet and its windows; the STOP and the close feed it.
void Station::createFleet() {
    fleet_ = std::make_unique<FleetWiring>(FleetWiring::Parts{
        .statusFile = folder_.path(QStringLiteral("stav.ini")),
        .feeds = race_.feeds(),
        .mainWindow = mainWindow_.get(),
        .addLogEntry = [this](const QString& line) { AddLogEntry(line); },
        .currentOperator = [this] { return logBook_.CurrentOperator(); },
        .showLogBook = [this] { logBookWindow_->show(); },
    });
    QObject::connect(commandButtons_, &CommandButtons::kartStatus, mainWindow_.get(),
                     [this] { fleet_->ShowStatusWindow(); });
}

// Start-up step 15: the records, their totals and the refuel check; the
// operator list (the log book window's); with "Zobrazit hlášení stavu
// motokár" the task check and the notices.
void Station::startFleet() {
    for (const QString& message : fleet_->LoadAtStartup())
        showStartupError(message);
    logBookWindow_->LoadOperators();
    if (raceSettings_.serviceCheck())
        fleet_->CheckTasksAndShowNotices();
}

} // namespace vartemo
