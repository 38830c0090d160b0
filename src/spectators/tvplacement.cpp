#include "spectators/tvplacement.h"

namespace vartemo {

QPoint TvPlacement(const QList<QRect>& screens, qsizetype primary) {
    if (primary < 0 || primary >= screens.size())
        return {0, 0};
    const QRect main = screens[primary];
    const QRect* right = nullptr;
    for (const QRect& s : screens) {
        if (s.left() <= main.right())
            continue;
        if (!right || s.left() < right->left() || (s.left() == right->left() && s.top() < right->top()))
            right = &s;
    }
    return right ? right->topLeft() : QPoint(main.width(), 0);
}

} // namespace vartemo
