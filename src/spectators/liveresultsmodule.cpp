// The live results page's server module: the station loads it when it first
// serves the page, so that a start does not load the HTTP library and the
// libraries it brings.
#include "spectators/liveresultshttp.h"

#include <QtGlobal>

#include <type_traits>

extern "C" Q_DECL_EXPORT vartemo::LiveResultsHttp* vartemo_make_live_results_http(
    const vartemo::LiveSnapshotSlot* snapshots, const vartemo::LiveResultsPage* page,
    vartemo::LiveResultsServer::Notice notice) {
    return vartemo::MakeLiveResultsDaemon(*snapshots, *page, std::move(notice)).release();
}

static_assert(std::is_same_v<decltype(&vartemo_make_live_results_http), vartemo::MakeLiveResultsHttp>);
