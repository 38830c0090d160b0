#pragma once

#include <QString>

namespace vartemo {

// --replay-journal: prints the ride a journal holds as the lines the board
// showed (the way to check a disputed time). 0 when a ride was printed,
// 1 with a message when the file holds none.
int ReplayJournal(const QString& path);

} // namespace vartemo
