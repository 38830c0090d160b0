#include "analysis/splitline.h"

namespace vartemo {

SplitLine SplitLine::Parse(const QString& line) {
    qsizetype end = line.size();
    while (end > 0 && line[end - 1] == u' ')
        --end;
    const QString text = line.left(end);
    const qsizetype blank = text.lastIndexOf(u' ');
    if (blank < 0)
        return {QString(), text};
    return {text.left(blank), text.mid(blank + 1)};
}

bool SplitLine::isWholeLap() const {
    return label.trimmed() == u"L";
}

} // namespace vartemo
