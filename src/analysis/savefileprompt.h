#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace vartemo {

// The main window's save dialog as the analysis windows use it: a proposed
// file name and a filter of caption|pattern pairs ("bitmapa (*.bmp)|*.bmp");
// the chosen path, nullopt when cancelled.
using SaveFilePrompt = std::function<std::optional<QString>(const QString& name, const QString& filter)>;

} // namespace vartemo
