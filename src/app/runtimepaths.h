#pragma once

#include <QString>

namespace vartemo {

// vartemo --paths: the program folder, the help's contents page, the
// toolkit's Czech translation and the three modules, one "name: path" line
// each ("missing" for a file not found), as the station would find them.
// Needs an application object. Returns the exit code: 0 when help,
// translation and modules are there.
int ShowRuntimePaths(const QString& home);

} // namespace vartemo
