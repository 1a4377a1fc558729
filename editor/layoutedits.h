#pragma once

#include "document/configuration.h"
#include "editor/dragpayload.h"
#include "editor/rastergeometry.h"

#include <QList>
#include <QPoint>
#include <QSize>

#include <optional>

struct EditorState;
class QKeyEvent;

// The edits of the layout editor worked out on a configuration, without widgets: where
// a drop lands, a move or resize by one cell, a removal. They change a copy; the caller
// hands the result to the document as one step.

// Where the tiles of a drop at d (canvas pixels) land, and whether the drop is allowed:
// inside raster lines 0 to 255, on no placed tile (members of a moved group block each
// other at their old places), and no two tiles of the drop on the same cells.
struct DropPlan
{
    QList<int> indices; // channel indices, in payload order
    QList<RasterRect> rects;
    bool allowed = true;
};
DropPlan planDrop(const EditorState &state, const Configuration &current,
                  const DragPayload &payload, QPoint d);
// The configuration with the tiles of the plan placed where it puts them.
Configuration withDrop(const Configuration &config, const DropPlan &plan);

// The tiles moved by `step` cells; nothing when one would leave the raster or cover a
// tile that is not moved.
std::optional<Configuration> movedTiles(const Configuration &config, const QList<int> &tiles,
                                        QPoint step);

// The tile with its right and bottom edges moved by `step` cells; nothing when it would
// fall below 2 x 2 cells, pass line 255 or cover another tile.
std::optional<Configuration> resizedTile(const Configuration &config, int channel, QPoint step);

// The tiles taken off the raster; their resolutions stay for when they come back.
Configuration withoutTiles(const Configuration &config, const QList<int> &tiles);

// What a key does on the canvas: arrows move the selection by a cell, Shift+arrows resize
// the focused tile, Delete removes the selection, Ctrl+A selects every tile, Escape none,
// Space toggles the focused tile, Enter asks for the focused tile's resolution.
struct KeyEdit
{
    enum Kind { None, SelectAll, ClearSelection, Remove, ToggleFocused, Move, Resize, Resolution };
    Kind kind = None;
    QPoint step; // Move and Resize: one cell in the arrow's direction
};
KeyEdit keyEditFor(const QKeyEvent &event);

// Pixels per auto-scroll step while a drag rests at `pointer` in a view of the given
// size: 2 to 16 within a band of one cell along each edge, more the nearer the edge.
QPoint autoScrollPace(QSize view, QPoint pointer, int cellWidth);
