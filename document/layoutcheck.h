#pragma once

#include "document/configuration.h"

#include <QList>
#include <QString>
#include <QStringList>

// What can be wrong with a configuration that loads fine: layouts the editor would
// never make, values the dialogs cannot set, and, with Orvanel Switching on, screens
// the pointer cannot reach. One check, used by ovsctl and the window.

enum class LayoutProblemKind {
    ChannelCount,   // channelCount is not 2, 4 or 8; value = the count
    MouseSpeed,     // mouseSpeed outside 1 to 10; value = the speed
    SwitchingValue, // switchingEnabled neither 0 nor 1; value = the stored value
    PlacedValue,    // placed neither 0 nor 1: neither a tile nor listed; value = the stored value
    BeyondCount,    // placed entry at or above channelCount; value = channelCount
    NoArea,         // placed, left >= right or top >= bottom
    TooSmall,       // placed, has an area, but narrower or lower than 2 cells
    NoResolution,   // placed, resolutionX or resolutionY is 0
    Overlap,        // two placed screens share a cell; channels = both
    Isolated,       // switching on: a screen that touches no other screen
    SeparateGroup,  // switching on: a group cut off from the others; channels = the group,
                    // value = the lowest channel index of the group it is cut off from
};

struct LayoutProblem
{
    LayoutProblemKind kind = LayoutProblemKind::ChannelCount;
    QList<int> channels; // channel indices 0 to 7, ascending; empty for whole-record problems
    int value = 0;

    bool operator==(const LayoutProblem &o) const
    {
        return kind == o.kind && channels == o.channels && value == o.value;
    }
    bool operator!=(const LayoutProblem &o) const { return !(*this == o); }
};

// Errors make the switch behave other than the layout shows (or cannot be sent as they
// are); notices are ordinary states of a layout in the making, such as a screen whose
// resolution is not set yet.
enum class LayoutSeverity { Error, Notice };
LayoutSeverity layoutProblemSeverity(LayoutProblemKind kind);
// The problems of `list` with the given severity, in their order.
QList<LayoutProblem> layoutProblemsOf(const QList<LayoutProblem> &list, LayoutSeverity severity);

// The problems of `config` in a fixed order: first the whole-record ones (channel
// count, mouse speed, switching value), then channel by channel (placement value,
// beyond the count, no area, too small, no resolution, overlaps with each higher
// channel, isolated), then the separate groups by their lowest channel.
//
// A screen is an entry with placed = 1 below channelCount (at most 8). Entries at or
// above channelCount are reported only when placed, and only as BeyondCount. Overlap,
// Isolated and SeparateGroup look only at screens with an area. Rectangles are
// half-open: columns [left, right), rows [top, bottom). Two screens touch when they
// share a piece of an edge of positive length; meeting at a corner does not let the
// pointer cross. Overlapping screens count as connected (the overlap is reported on
// its own). With fewer than two screens nothing is isolated. A group is cut off when
// it holds two or more screens and another such group exists; single screens are
// reported as Isolated instead.
QList<LayoutProblem> checkLayout(const Configuration &config);

// One line for the operator, in the current language, with channel numbers 1 to 8,
// e.g. "Channel 3 touches no other screen".
QString layoutProblemText(const LayoutProblem &problem);
QStringList layoutProblemTexts(const QList<LayoutProblem> &problems);
