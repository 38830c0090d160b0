#include "app/station.h"

#include "engine/tform1.h"

namespace vartemo {

Station::Station(const ProgramFolder& folder)
    : folder_(folder), laps_(board_, clock_, lapSettings_),
      mainWindow_(std::make_unique<TForm1>(board_)) {}

Station::~Station() = default;

void Station::show() {
    mainWindow_->show();
}

} // namespace vartemo
