#pragma once

#include "core/clock.h"

#include <QString>

namespace vartemo {

// "nn:ss:zzz": minutes within the hour, seconds, milliseconds. Hours are
// dropped (61 minutes shows as 01:00:000); a negative value shows its magnitude.
QString FormatTimeText(TimeMs ms);

// Reads "m:s:z" back: text up to the first ':' is minutes, up to the next the
// seconds, the rest milliseconds, each a decimal integer. Throws
// ConversionError when a part is not one.
TimeMs ParseTimeText(const QString& text);

} // namespace vartemo
