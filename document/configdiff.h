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

// What differs between two configurations, item by item, with the rules of
// diffConfigurations(): channels below the smaller channel count, 1-based.
struct ConfigChanges
{
    bool channelCount = false;
    bool switching = false;
    bool mouseSpeed = false;
    QList<int> channels;

    bool isEmpty() const
    {
        return !channelCount && !switching && !mouseSpeed && channels.isEmpty();
    }
};
ConfigChanges compareConfigurations(const Configuration &a, const Configuration &b);

// The differences in one short phrase, `a`'s values first where they are given:
// "channels 2 and 5, mouse speed 3 → 5", or without values "channels 2 and 5, mouse
// speed". Empty when the two are equal. In the current language.
enum class ChangeValues { Shown, Left };
QString summarizeChanges(const Configuration &a, const Configuration &b,
                         ChangeValues values = ChangeValues::Shown);
