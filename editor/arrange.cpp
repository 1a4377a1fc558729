#include "editor/arrange.h"

#include "editor/editorstate.h"
#include "editor/rastergeometry.h"

#include <algorithm>
#include <cmath>

QList<int> tilesToArrange(const Configuration &config, const QList<int> &selected)
{
    const int count = std::min<int>(config.channelCount, kMaxChannels);
    QList<int> tiles;
    QList<int> all;
    for (int i = 0; i < count; ++i) {
        if (!standsOnCanvas(config.channels[i]))
            continue;
        all.append(i);
        if (selected.contains(i))
            tiles.append(i);
    }
    return tiles.isEmpty() ? all : tiles;
}

std::optional<Configuration> arranged(const Configuration &config, const QList<int> &tiles,
                                      Arrangement how)
{
    if (tiles.isEmpty())
        return config;
    QList<int> order = tiles;
    std::sort(order.begin(), order.end());
    const int n = int(order.size());
    const int perRow = how == Arrangement::Row ? n : int(std::ceil(std::sqrt(double(n))));

    int left = kMaxRasterLines;
    int top = kMaxRasterLines;
    for (const int i : order) {
        left = std::min<int>(left, config.channels[i].left);
        top = std::min<int>(top, config.channels[i].top);
    }

    QList<RasterRect> done;
    for (int first = 0; first < n; first += perRow) {
        const int last = std::min(first + perRow, n);
        QList<RasterRect> row;
        int x = left;
        for (int k = first; k < last; ++k) {
            const RasterRect old = rasterRectOf(config.channels[order.at(k)]);
            row.append({x, 0, x + old.width(), old.height()});
            x += old.width();
        }
        // Directly below whatever was arranged above these columns.
        int rowTop = top;
        for (const RasterRect &above : std::as_const(done)) {
            if (above.left < x && left < above.right)
                rowTop = std::max(rowTop, above.bottom);
        }
        for (RasterRect &r : row) {
            r.top = rowTop;
            r.bottom += rowTop;
            done.append(r);
        }
    }

    Configuration after = config;
    for (int k = 0; k < n; ++k) {
        const RasterRect &r = done.at(k);
        if (r.right > kMaxRasterLines || r.bottom > kMaxRasterLines
            || overlapsPlaced(config, r, order))
            return std::nullopt;
        ChannelEntry &e = after.channels[order.at(k)];
        e.left = quint8(r.left);
        e.top = quint8(r.top);
        e.right = quint8(r.right);
        e.bottom = quint8(r.bottom);
    }
    return after;
}
