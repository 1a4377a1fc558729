#include "windowplacement.h"

#include <algorithm>

QPoint windowPlacement(int screenCount, const QRect &primaryScreen, const QRect &virtualDesktop,
                       const QSize &windowSize)
{
    // An extent is one less than the size (right - left); halvings truncate.
    const int windowW = windowSize.width() - 1;
    const int windowH = windowSize.height() - 1;
    QPoint pos;
    if (screenCount <= 1) {
        const int screenW = primaryScreen.width() - 1;
        const int screenH = primaryScreen.height() - 1;
        pos = {screenW / 2 - windowW / 2, screenH / 2 - windowH / 2};
    } else {
        const int desktopW = virtualDesktop.width() - 1;
        const int desktopH = virtualDesktop.height() - 1;
        pos = {(desktopW / 2) / 2 - windowW / 2, desktopH / 2 - windowH / 2};
    }
    // On a screen smaller than the window, centring would push the title bar above the
    // top edge, where it can no longer be grabbed; keep the frame's corner on the desktop.
    return {std::max(pos.x(), 0), std::max(pos.y(), 0)};
}
