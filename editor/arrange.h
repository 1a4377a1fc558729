#pragma once

#include "document/configuration.h"

#include <QList>

#include <optional>

// Arranging tiles in one step, worked out on a configuration without widgets.
//
// The tiles go in channel order, each keeping its size, from the top-left corner of the
// cells they cover together. A row puts them side by side with their tops aligned. A
// grid does the same in rows of ceil(sqrt(n)) tiles, so that n equal tiles form a
// square or the nearest to one. Within a row the tiles touch; each row goes directly
// below the lowest tile arranged so far that stands above its columns. With equal
// tiles the grid is a closed block; with unequal ones a short tile may leave a gap
// below it, yet every row touches the row above along a piece of edge, so the pointer
// reaches every tile.

enum class Arrangement { Row, Grid };

// The tiles an arrangement acts on: the selected channels that stand on the canvas, or
// every channel that stands on it when none of them is selected; ascending indices.
QList<int> tilesToArrange(const Configuration &config, const QList<int> &selected);

// The configuration with the tiles arranged; nothing when a tile would pass raster line
// 255 or cover a tile that is not arranged.
std::optional<Configuration> arranged(const Configuration &config, const QList<int> &tiles,
                                      Arrangement how);
