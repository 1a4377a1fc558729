#include "rastergeometry.h"

#include "document/configuration.h"
#include "editor/editorstate.h"

#include <algorithm>

const char tileColour[] = "rgb(220,220,220)";

RasterRect rasterRectOf(const ChannelEntry &entry)
{
    return RasterRect{entry.left, entry.top, entry.right, entry.bottom};
}

void measureRaster(EditorState &state, int canvasWidth, int canvasHeight)
{
    state.canvasWidth = canvasWidth;
    state.canvasHeight = canvasHeight;
    state.rasterColumns = std::min(canvasWidth / state.cellWidth, kMaxRasterLines);
    state.rasterRows = std::min(canvasHeight / state.cellHeight, kMaxRasterLines);
    state.spareWidth = canvasWidth - state.rasterColumns * state.cellWidth;
    state.spareHeight = canvasHeight - state.rasterRows * state.cellHeight;
}

namespace {

std::optional<int> snapToLine(int pos, int origin, int cell, int lines)
{
    if (cell <= 0 || lines <= 0 || pos < origin || pos >= origin + lines * cell)
        return std::nullopt;
    const int c = (pos - origin) / cell;
    const int into = pos - (origin + c * cell);
    return into < cell / 2 ? c : c + 1;
}

int snapClamped(int pos, int origin, int cell, int lines)
{
    if (const auto line = snapToLine(pos, origin, cell, lines))
        return *line;
    return pos < origin ? 0 : std::max(lines, 0);
}

} // namespace

std::optional<int> snapToColumn(const EditorState &state, int x)
{
    return snapToLine(x, state.spareWidth / 2, state.cellWidth, state.rasterColumns);
}

std::optional<int> snapToRow(const EditorState &state, int y)
{
    return snapToLine(y, state.spareHeight / 2, state.cellHeight, state.rasterRows);
}

int snapToColumnClamped(const EditorState &state, int x)
{
    return snapClamped(x, state.spareWidth / 2, state.cellWidth, state.rasterColumns);
}

int snapToRowClamped(const EditorState &state, int y)
{
    return snapClamped(y, state.spareHeight / 2, state.cellHeight, state.rasterRows);
}

bool rectanglesOverlap(const RasterRect &a, const RasterRect &b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool standsOnCanvas(const ChannelEntry &entry)
{
    return entry.placed == 1 && entry.right > entry.left && entry.bottom > entry.top;
}

bool overlapsPlaced(const Configuration &config, const RasterRect &rect, const QList<int> &except)
{
    const int count = qMin<int>(config.channelCount, kMaxChannels);
    for (int j = 0; j < count; ++j) {
        if (config.channels[j].placed != 1 || except.contains(j))
            continue;
        if (rectanglesOverlap(rect, rasterRectOf(config.channels[j])))
            return true;
    }
    return false;
}

QPoint tilePosition(const EditorState &state, const ChannelEntry &entry)
{
    return QPoint(entry.left * state.cellWidth + state.spareWidth / 2,
                  entry.top * state.cellHeight + state.spareHeight / 2);
}

QSize tileSize(const EditorState &state, const ChannelEntry &entry)
{
    return QSize((entry.right - entry.left) * state.cellWidth + 1,
                 (entry.bottom - entry.top) * state.cellHeight + 1);
}

QRect pixelRectOf(const EditorState &state, const RasterRect &cells)
{
    return QRect(cells.left * state.cellWidth + state.spareWidth / 2,
                 cells.top * state.cellHeight + state.spareHeight / 2,
                 cells.width() * state.cellWidth + 1, cells.height() * state.cellHeight + 1);
}
