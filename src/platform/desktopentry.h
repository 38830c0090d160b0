#pragma once

#include <QString>

namespace vartemo {

// The keys of a launcher (desktop entry) the station writes to start itself
// on its program folder, each line ended by "\n":
//
//   Exec="/opt/vartemo/bin/vartemo" --home "/home/track/vartemo data"
//   Path=/home/track/vartemo data
//
// Every argument of Exec is quoted and escaped by the desktop-entry rules
// ('"', '`', '$' and '\' escaped inside the quotes, '%' doubled, then the
// string escapes of the file), so any folder name survives the desktop's
// parsing; Path is escaped as a plain string value.
QString DesktopEntryStartKeys(const QString& programPath, const QString& homeFolder);

} // namespace vartemo
