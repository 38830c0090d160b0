#include "platform/portchoice.h"

namespace vartemo {

std::optional<quint16> PortBaseFromChoice(const PortChoice& choice) {
    switch (choice.choice) {
    case 1:
        return kLpt1Base;
    case 2:
        return kLpt2Base;
    case 3:
        break;
    default: // no choice made yet
        return std::nullopt;
    }
    const QString text = choice.baseText.trimmed();
    if (text.isEmpty() || text.size() > 4 || text.startsWith(u'+') || text.startsWith(u'-'))
        return std::nullopt;
    bool ok = false;
    const uint base = text.toUInt(&ok, 16);
    // The status register sits at base + 1, so the last address cannot be a base.
    if (!ok || base == 0 || base > 0xFFFE)
        return std::nullopt;
    return quint16(base);
}

} // namespace vartemo
