#pragma once

#include <QString>

namespace vartemo {

// The program folder of the station running for this user, found through
// its single-instance lock and its process: empty when none runs, "?" when
// one runs whose folder cannot be told.
QString RunningStationFolder();

} // namespace vartemo
