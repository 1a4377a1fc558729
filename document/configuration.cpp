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

namespace {

// Folds one field over the placed entries in range; -1 when there are none.
template<typename Field, typename Pick>
int placedExtent(const Configuration &config, Field field, Pick pick)
{
    int result = -1;
    const int count = std::min<int>(config.channelCount, kMaxChannels);
    for (int i = 0; i < count; ++i) {
        const ChannelEntry &e = config.channels[i];
        if (e.placed != 1)
            continue;
        const int value = e.*field;
        result = result < 0 ? value : pick(result, value);
    }
    return result;
}

int smaller(int a, int b)
{
    return std::min(a, b);
}
int larger(int a, int b)
{
    return std::max(a, b);
}

} // namespace

int minLeft(const Configuration &config)
{
    return placedExtent(config, &ChannelEntry::left, smaller);
}

int minTop(const Configuration &config)
{
    return placedExtent(config, &ChannelEntry::top, smaller);
}

int maxRight(const Configuration &config)
{
    return placedExtent(config, &ChannelEntry::right, larger);
}

int maxBottom(const Configuration &config)
{
    return placedExtent(config, &ChannelEntry::bottom, larger);
}
