#pragma once

#include "spectators/liveresultsserver.h"

#include <memory>

namespace vartemo {

// The HTTP side of the live results page, in the page's server module: the
// loop of the server library on its own thread, answering from the slot.
class LiveResultsHttp {
public:
    // Stops.
    virtual ~LiveResultsHttp() = default;
    virtual bool start(const QString& address, quint16 port, QString* error) = 0;
    virtual void stop() = 0;
    virtual bool running() const = 0;
    virtual quint16 port() const = 0;
};

// The module and its entry function, of type MakeLiveResultsHttp.
inline constexpr char kLiveResultsModule[] = "vartemo_liveresults";
inline constexpr char kLiveResultsModuleEntry[] = "vartemo_make_live_results_http";
using MakeLiveResultsHttp = LiveResultsHttp* (*)(const LiveSnapshotSlot* snapshots, const LiveResultsPage* page,
                                                 LiveResultsServer::Notice notice);

// The server on the HTTP library, as the module makes it; the fuzz targets
// link it directly. notice: each kind of refusal, once, on the server's thread.
std::unique_ptr<LiveResultsHttp> MakeLiveResultsDaemon(const LiveSnapshotSlot& snapshots,
                                                       const LiveResultsPage& page,
                                                       LiveResultsServer::Notice notice);

} // namespace vartemo
