#pragma once

#include <QList>
#include <QtGlobal>

// The fixed-size value record of one switch set-up. Plain data: copied whole by
// assignment; the file codec and the link frames read and write it field by field.

constexpr int kMaxChannels = 8;

struct ChannelEntry
{
    quint8 placed = 0; // 1 = shown as a tile on the canvas
    quint8 left = 0;   // raster columns [left, right), rows [top, bottom)
    quint8 top = 0;
    quint8 right = 0;
    quint8 bottom = 0;
    quint16 resolutionX = 0; // pixels, 0 = not set
    quint16 resolutionY = 0;

    bool operator==(const ChannelEntry &o) const
    {
        return placed == o.placed && left == o.left && top == o.top && right == o.right
               && bottom == o.bottom && resolutionX == o.resolutionX
               && resolutionY == o.resolutionY;
    }
    bool operator!=(const ChannelEntry &o) const { return !(*this == o); }
};

struct Configuration
{
    quint8 channelCount = 8;   // 2, 4 or 8: the switch model
    quint8 deviceChannels = 8; // what the connected switch reported; never stored in files
    quint8 switchingEnabled = 1;
    quint8 mouseSpeed = 5; // 1 to 10
    ChannelEntry channels[kMaxChannels];

    bool operator==(const Configuration &o) const;
    bool operator!=(const Configuration &o) const { return !(*this == o); }
};

void resetConfiguration(Configuration &config);

// The smallest left or top, or the largest right or bottom, over the entries at the
// given indices (indices outside 0..7 are skipped); -1 when there are none.
enum class Extent { MinLeft, MinTop, MaxRight, MaxBottom };
int extentOf(const Configuration &config, const QList<int> &indices, Extent which);

// Extent of the placed entries among 0 .. channelCount - 1; -1 when none is placed.
int minLeft(const Configuration &config);
int minTop(const Configuration &config);
int maxRight(const Configuration &config);
int maxBottom(const Configuration &config);

#include <QMetaType>
Q_DECLARE_METATYPE(Configuration)
