#pragma once

#include <QRect>
#include <QScreen>
#include <QWidget>

namespace vartemo {

// Moves the window to the middle of the free area of the screen it is on,
// at its present size.
inline void CentreOnScreen(QWidget& window) {
    if (const QScreen* screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}

} // namespace vartemo
