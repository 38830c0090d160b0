#include "app/station.h"

#include "engine/tform1.h"
#include "platform/linuxmodemstatusport.h"
#include "sensors/ircodedelivery.h"
#include "sensors/receivers.h"

namespace vartemo {

Station::Station(const ProgramFolder& folder)
    : folder_(folder), laps_(board_, clock_, lapSettings_),
      mainWindow_(std::make_unique<TForm1>(board_)) {
    receivers_ = std::make_unique<Receivers>(Receivers::Dependencies{
        .laps = laps_,
        .settings = receiverSettings_,
        .registry = registry_,
        .infrared = {.postIrCode = PostIrCodeToMainWindow,
                     .showError = ShowReceiverError,
                     .logPath = folder_.path(QStringLiteral("log.txt"))},
        .makeModemPort = [] { return std::make_unique<LinuxModemStatusPort>(); },
        .showError = [](const QString& m) { ShowReceiverError(m, TForm1::MainCaption()); }});
    receivers_->loadDecoderSettings();
    irCodes_ = std::make_unique<IrCodeHandler>(laps_);
    mainWindow_->installEventFilter(irCodes_.get());
}

Station::~Station() = default;

void Station::show() {
    mainWindow_->show();
}

} // namespace vartemo
