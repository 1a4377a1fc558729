#include "configuration.h"

#include <algorithm>

bool Configuration::operator==(const Configuration &o) const
{
    return channelCount == o.channelCount && deviceChannels == o.deviceChannels
           && switchingEnabled == o.switchingEnabled && mouseSpeed == o.mouseSpeed
           && std::equal(std::begin(channels), std::end(channels), std::begin(o.channels));
}

void resetConfiguration(Configuration &config)
{
    config = Configuration();
}

int extentOf(const Configuration &config, const QList<int> &indices, Extent which)
{
    int result = -1;
    for (const int i : indices) {
        if (i < 0 || i >= kMaxChannels)
            continue;
        const ChannelEntry &e = config.channels[i];
        switch (which) {
        case Extent::MinLeft:
            result = result < 0 ? e.left : std::min<int>(result, e.left);
            break;
        case Extent::MinTop:
            result = result < 0 ? e.top : std::min<int>(result, e.top);
            break;
        case Extent::MaxRight:
            result = std::max<int>(result, e.right);
            break;
        case Extent::MaxBottom:
            result = std::max<int>(result, e.bottom);
            break;
        }
    }
    return result;
}

namespace {

// The entries that take part in the layout: placed, and below the channel count.
QList<int> placedIndices(const Configuration &config)
{
    QList<int> indices;
    const int count = std::min<int>(config.channelCount, kMaxChannels);
    for (int i = 0; i < count; ++i) {
        if (config.channels[i].placed == 1)
            indices.append(i);
    }
    return indices;
}

} // namespace

int minLeft(const Configuration &config)
{
    return extentOf(config, placedIndices(config), Extent::MinLeft);
}

int minTop(const Configuration &config)
{
    return extentOf(config, placedIndices(config), Extent::MinTop);
}

int maxRight(const Configuration &config)
{
    return extentOf(config, placedIndices(config), Extent::MaxRight);
}

int maxBottom(const Configuration &config)
{
    return extentOf(config, placedIndices(config), Extent::MaxBottom);
}
