#include "engine/processorloadtext.h"

namespace vartemo {

std::optional<LoadColour> ProcessorLoadColour(int percent) {
    if (percent > 100)
        return std::nullopt;
    if (percent < 40)
        return LoadColour::Lime;
    if (percent < 60)
        return LoadColour::Yellow;
    if (percent < 90)
        return LoadColour::Olive;
    return LoadColour::Red;
}

QString ProcessorLoadText(int percent) {
    return QStringLiteral(" CPU:%1%").arg(percent, 3, 10, QChar(u'0'));
}

} // namespace vartemo
