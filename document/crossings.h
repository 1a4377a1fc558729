#pragma once

#include "document/configuration.h"

#include <QList>

// Where the pointer passes from one screen to the next: every piece of edge that two
// screens share. A screen is an entry with placed = 1 and an area, below channelCount.
// Rectangles are half-open, so touching screens meet on a raster line; a shared corner
// alone is no crossing, and screens that share cells have no crossing between them.

struct Crossing
{
    // Vertical: the seam is a column line, `before` is left of it and `after` right of
    // it. Horizontal: the seam is a row line, `before` above it and `after` below it.
    enum class Seam { Vertical, Horizontal };

    int before = 0; // channel index 0 to 7
    int after = 0;  // channel index 0 to 7
    Seam seam = Seam::Vertical;
    int line = 0; // the raster column (Vertical) or row (Horizontal) of the seam
    int from = 0; // the rows (Vertical) or columns (Horizontal) it covers: [from, to)
    int to = 0;

    bool operator==(const Crossing &o) const
    {
        return before == o.before && after == o.after && seam == o.seam && line == o.line
               && from == o.from && to == o.to;
    }
};

// Every crossing of the layout, ordered by `before`, then `after`; empty unless Orvanel
// Switching is on (switchingEnabled = 1). Two rectangles share at most one piece of edge.
QList<Crossing> crossingsOf(const Configuration &config);

// The screen a crossing leads to, seen from `channel`.
inline int neighbourOf(const Crossing &c, int channel)
{
    return c.before == channel ? c.after : c.before;
}

// The crossings of one channel's screen, ordered by the channel they lead to.
QList<Crossing> crossingsOfChannel(const Configuration &config, int channel);
