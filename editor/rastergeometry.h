#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

struct ChannelEntry;
struct Configuration;
struct EditorState;

// A rectangle of raster cells: columns [left, right), rows [top, bottom).
struct RasterRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const RasterRect &o) const
    {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

RasterRect rasterRectOf(const ChannelEntry &entry);

// Whether the entry is shown as a tile: placed, with an area. Any other entry (one that
// was never placed, or one a file describes without an area) is offered in the channel
// list, so that it can be placed again.
bool standsOnCanvas(const ChannelEntry &entry);

// Recomputes the raster fields of the state for a canvas of the given size.
void measureRaster(EditorState &state, int canvasWidth, int canvasHeight);

// The raster line nearest to a canvas x (y); no result outside the raster's cells.
std::optional<int> snapToColumn(const EditorState &state, int x);
std::optional<int> snapToRow(const EditorState &state, int y);

// Like snapToColumn/snapToRow, but a position left of (above) the raster gives the first
// line and one beyond it the last, so a drop or a resize never lands on a stale line.
int snapToColumnClamped(const EditorState &state, int x);
int snapToRowClamped(const EditorState &state, int y);

// Half-open overlap: rectangles that only touch along a line do not overlap.
bool rectanglesOverlap(const RasterRect &a, const RasterRect &b);
// Whether rect overlaps a placed entry below the channel count, other than those in
// `except` (indices).
bool overlapsPlaced(const Configuration &config, const RasterRect &rect, const QList<int> &except);

// Where the tile of an entry stands on the canvas and how large it is: one pixel more
// than its cells, so that the borders of touching tiles share a pixel line.
QPoint tilePosition(const EditorState &state, const ChannelEntry &entry);
QSize tileSize(const EditorState &state, const ChannelEntry &entry);
// The same for any rectangle of cells.
QRect pixelRectOf(const EditorState &state, const RasterRect &cells);

// The background of every tile that is shown.
extern const char tileColour[];
