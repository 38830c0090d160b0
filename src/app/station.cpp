#include "app/station.h"

#include "about/tsplashscreen.h"
#include "app/startupstatus.h"
#include "engine/tform1.h"
#include "platform/processorload.h"
#include "platform/systeminfo.h"

namespace vartemo {

Station::Station(const ProgramFolder& folder)
    : folder_(folder), splash_(ShowSplash()), laps_(board_, clock_, lapSettings_),
      mainWindow_(std::make_unique<TForm1>(board_)), logBook_(folder.path(QStringLiteral("vartemo.den"))),
      programLog_(folder.path(QStringLiteral("vartemo.log"))),
      systemInfo_(std::make_unique<LinuxSystemInfoSource>()),
      processorLoad_(std::make_unique<ProcStatProcessorLoad>()),
      serialReceiver_(std::make_unique<NoSerialReceiver>()),
      setting_([](const QString&, const QString&) { return QString(); }) {}

Station::~Station() {
    ShutDown();
}

void Station::show() {
    StartUp();
}

} // namespace vartemo
