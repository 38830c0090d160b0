#pragma once

#include "core/clock.h"

#include <QMetaType>
#include <QString>
#include <optional>

namespace vartemo {

// One passing reported by a code-sending sensor: the code that identifies the
// kart, where it came from (the sender's IPv4 address for network sensors,
// empty for serial and infrared receivers) and when it happened on the
// station's monotonic clock, as early as the sensor could tell. A passing
// without a time is taken as happening when it is matched. Both texts hold at
// most 255 characters; longer input is cut.
struct PassingEvent {
    static constexpr qsizetype kMaxLength = 255;

    PassingEvent() = default;
    PassingEvent(const QString& code, const QString& source = {}, std::optional<TimeUs> at = {})
        : code(code.left(kMaxLength)), source(source.left(kMaxLength)), at(at) {}

    QString code;
    QString source;
    std::optional<TimeUs> at;
};

} // namespace vartemo

Q_DECLARE_METATYPE(vartemo::PassingEvent)
