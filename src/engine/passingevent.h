#pragma once

#include <QMetaType>
#include <QString>

namespace vartemo {

// One passing reported by a code-sending sensor: the code that identifies the
// kart and where it came from (the sender's IPv4 address for network sensors,
// empty for serial and infrared receivers). Both texts hold at most 255
// characters; longer input is cut.
struct PassingEvent {
    static constexpr qsizetype kMaxLength = 255;

    PassingEvent() = default;
    PassingEvent(const QString& code, const QString& source = {})
        : code(code.left(kMaxLength)), source(source.left(kMaxLength)) {}

    QString code;
    QString source;
};

} // namespace vartemo

Q_DECLARE_METATYPE(vartemo::PassingEvent)
