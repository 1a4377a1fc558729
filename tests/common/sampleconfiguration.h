#pragma once

#include "document/configuration.h"

// A configuration in which every field of every entry differs from seed to seed, so
// that a record that arrives out of place or not at all shows.
inline Configuration sample(quint32 seed, int channels)
{
    Configuration c;
    c.channelCount = quint8(channels);
    c.switchingEnabled = seed & 1;
    c.mouseSpeed = quint8(1 + seed % 10);
    for (int i = 0; i < kMaxChannels; ++i) {
        const quint8 b = quint8(seed * 7 + 13 * i);
        c.channels[i] = ChannelEntry{quint8((i + seed) % 2), b,
                                     quint8(b + 1),          quint8(b + 2),
                                     quint8(b + 3),          quint16(640 + 9 * b),
                                     quint16(480 + 5 * b)};
    }
    return c;
}
