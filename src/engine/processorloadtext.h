#pragma once

#include <QString>
#include <optional>

namespace vartemo {

// The colour steps of the status bar's processor-load panel.
enum class LoadColour { Lime, Yellow, Olive, Red };

// Lime below 40 %, yellow to 59, olive to 89, red to 100; nullopt above 100
// (a value the panel does not show).
std::optional<LoadColour> ProcessorLoadColour(int percent);
// " CPU:045%"
QString ProcessorLoadText(int percent);

} // namespace vartemo
