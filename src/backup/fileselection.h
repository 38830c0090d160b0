#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace vartemo {

// Which files a list of path masks names, in the order of the masks.
// A mask is a path whose last part may hold the wildcards * and ?; "*.*"
// names every file, with or without a dot, hidden ones too. A mask ending
// in " /s" also takes the same name part in every subfolder, depth first.
// Names match with the file system's case. Folders and anything that is not
// a regular file (or a link to one) are left out, and so is every file for
// which excluded(canonical path) is true. Paths come out absolute and
// clean, each once.
QStringList SelectFiles(const QStringList& masks, const std::function<bool(const QString&)>& excluded);

} // namespace vartemo
