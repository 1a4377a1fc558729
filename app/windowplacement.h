#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the main window first appears, from sizes only (no screen origin is added).
// One screen: centred on it. Several: centred on the left half of the whole desktop,
// which puts it on the left screen of two side by side.
QPoint windowPlacement(int screenCount, const QRect &primaryScreen, const QRect &virtualDesktop,
                       const QSize &windowSize);
