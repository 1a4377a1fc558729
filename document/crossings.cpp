#include "document/crossings.h"

#include <algorithm>
#include <optional>

namespace {

bool isScreen(const ChannelEntry &e)
{
    return e.placed == 1 && e.left < e.right && e.top < e.bottom;
}

// The piece of edge a and b share with a on the left or above, if any.
std::optional<Crossing> sharedEdge(const ChannelEntry &a, int ia, const ChannelEntry &b, int ib)
{
    const int rowsFrom = std::max(a.top, b.top);
    const int rowsTo = std::min(a.bottom, b.bottom);
    if (a.right == b.left && rowsFrom < rowsTo)
        return Crossing{ia, ib, Crossing::Seam::Vertical, a.right, rowsFrom, rowsTo};
    const int columnsFrom = std::max(a.left, b.left);
    const int columnsTo = std::min(a.right, b.right);
    if (a.bottom == b.top && columnsFrom < columnsTo)
        return Crossing{ia, ib, Crossing::Seam::Horizontal, a.bottom, columnsFrom, columnsTo};
    return std::nullopt;
}

} // namespace

QList<Crossing> crossingsOf(const Configuration &config)
{
    QList<Crossing> crossings;
    if (config.switchingEnabled != 1)
        return crossings;
    const int count = std::min<int>(config.channelCount, kMaxChannels);
    for (int i = 0; i < count; ++i) {
        const ChannelEntry &a = config.channels[i];
        if (!isScreen(a))
            continue;
        for (int j = 0; j < count; ++j) {
            const ChannelEntry &b = config.channels[j];
            if (j == i || !isScreen(b))
                continue;
            if (const auto c = sharedEdge(a, i, b, j))
                crossings.append(*c);
        }
    }
    return crossings;
}

QList<Crossing> crossingsOfChannel(const Configuration &config, int channel)
{
    QList<Crossing> mine;
    for (const Crossing &c : crossingsOf(config)) {
        if (c.before == channel || c.after == channel)
            mine.append(c);
    }
    std::stable_sort(mine.begin(), mine.end(), [channel](const Crossing &a, const Crossing &b) {
        return neighbourOf(a, channel) < neighbourOf(b, channel);
    });
    return mine;
}
