#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the main window first appears, from sizes only (no screen origin is added).
// One screen: centred on it. Several: centred on the left half of the whole desktop,
// which puts it on the left screen of two side by side. Never left of or above the
// origin, so the title bar stays reachable on a screen smaller than the window.
QPoint windowPlacement(int screenCount, const QRect &primaryScreen, const QRect &virtualDesktop,
                       const QSize &windowSize);
