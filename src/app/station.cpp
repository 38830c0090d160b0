#include "app/station.h"

#include "engine/lapfilecommands.h"
#include "engine/racecontrolpanel.h"
#include "engine/tform1.h"

#include <QMessageBox>

namespace vartemo {

Station::Station(const ProgramFolder& folder)
    : folder_(folder), laps_(board_, clock_, lapSettings_),
      race_(board_, laps_, clock_, raceSettings_, RaceControl::Hardware{}),
      mainWindow_(std::make_unique<TForm1>(board_)) {
    race_.setResultsFolder(folder_.resultsFolder());
    race_.feeds().showError = [this](const QString& message) {
        QMessageBox::critical(mainWindow_.get(), mainWindow_->windowTitle(), message);
    };
    new RaceControlPanel(*mainWindow_, race_);
    new LapFileCommands(*mainWindow_, board_, folder_.resultsFolder());
}

Station::~Station() = default;

void Station::show() {
    mainWindow_->show();
}

} // namespace vartemo
