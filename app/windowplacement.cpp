#include "windowplacement.h"

QPoint windowPlacement(int screenCount, const QRect &primaryScreen, const QRect &virtualDesktop,
                       const QSize &windowSize)
{
    // An extent is one less than the size (right - left); halvings truncate.
    const int windowW = windowSize.width() - 1;
    const int windowH = windowSize.height() - 1;
    if (screenCount <= 1) {
        const int screenW = primaryScreen.width() - 1;
        const int screenH = primaryScreen.height() - 1;
        return {screenW / 2 - windowW / 2, screenH / 2 - windowH / 2};
    }
    const int desktopW = virtualDesktop.width() - 1;
    const int desktopH = virtualDesktop.height() - 1;
    return {(desktopW / 2) / 2 - windowW / 2, desktopH / 2 - windowH / 2};
}
