#pragma once

namespace vartemo {

class LiveResultsWiring;
class TopTables;
class TvDisplayWiring;

// The TV display's best ten and the page's best tables read the best-twenty
// tables, and follow them after every save and every reload.
void ConnectSpectatorTables(TopTables& tables, TvDisplayWiring& tv, LiveResultsWiring& live);

} // namespace vartemo
