#pragma once

#include "document/configuration.h"

#include <QStringList>

// The differences between two configurations as operator lines, `a`'s value first:
// "Channel count: 4 → 8", "Orvanel Switching: on → off", "Mouse speed: 5 → 7", then
// one line for each channel that differs, naming each differing field among placed,
// left, top, right, bottom and the resolution ("1920 X 1080"), e.g.
// "Channel 2: left 0 → 2, right 2 → 4". Channels are compared
// below the smaller of the two channel counts; a differing count is its own line.
// deviceChannels is not compared: a readout puts the switch's count into
// channelCount. Empty when the two are equal. Texts are in the current language.
QStringList diffConfigurations(const Configuration &a, const Configuration &b);
