#pragma once

#include "core/clock.h"
#include "core/programfolder.h"
#include "engine/lapcomputation.h"
#include "engine/lapsettings.h"
#include "engine/raceboard.h"
#include "platform/registrystore.h"
#include "sensors/receiversettings.h"

#include <memory>

namespace vartemo {

class TForm1;
class IrCodeHandler;
class Receivers;

// The whole timing station of one run: every subsystem and window, created
// once at start-up in order and wired together here.
class Station {
public:
    explicit Station(const ProgramFolder& folder);
    ~Station();

    void show();
    TForm1& mainWindow() { return *mainWindow_; }
    Receivers& receivers() { return *receivers_; }

private:
    ProgramFolder folder_;
    SteadyClock clock_;
    RaceBoard board_;
    FixedLapSettings lapSettings_;
    LapComputation laps_;
    std::unique_ptr<TForm1> mainWindow_;
    // Until the registry file and the settings model are wired in.
    MemoryRegistryStore registry_;
    FixedReceiverSettings receiverSettings_;
    std::unique_ptr<Receivers> receivers_;
    std::unique_ptr<IrCodeHandler> irCodes_;
};

} // namespace vartemo
