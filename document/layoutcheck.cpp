#include "document/layoutcheck.h"

#include "document/crossings.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

// The editor makes no tile smaller than this in either direction.
constexpr int kMinTileCells = 2;
// The range of the mouse speed dialog's slider.
constexpr int kMinMouseSpeed = 1;
constexpr int kMaxMouseSpeed = 10;

bool hasArea(const ChannelEntry &e)
{
    return e.left < e.right && e.top < e.bottom;
}

// Both rectangles have an area.
bool shareCell(const ChannelEntry &a, const ChannelEntry &b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

QString channelList(const QList<int> &indices)
{
    QStringList numbers;
    for (const int i : indices)
        numbers << QString::number(i + 1);
    return numbers.join(QLatin1String(", "));
}

using K = LayoutProblemKind;

void addValueProblems(const Configuration &config, QList<LayoutProblem> &problems)
{
    const int count = config.channelCount;
    if (count != 2 && count != 4 && count != 8)
        problems.append({K::ChannelCount, {}, count});
    if (config.mouseSpeed < kMinMouseSpeed || config.mouseSpeed > kMaxMouseSpeed)
        problems.append({K::MouseSpeed, {}, config.mouseSpeed});
    if (config.switchingEnabled > 1)
        problems.append({K::SwitchingValue, {}, config.switchingEnabled});
}

// The screens that stand on the canvas, and which of them the pointer can pass between
// directly.
struct Screens
{
    int inUse = 0;
    bool screen[kMaxChannels] = {};
    int count = 0;
    bool linked[kMaxChannels][kMaxChannels] = {};
    bool switching = false; // Orvanel Switching on, with two screens or more
};

Screens screensOf(const Configuration &config)
{
    Screens s;
    s.inUse = std::min<int>(config.channelCount, kMaxChannels);
    for (int i = 0; i < s.inUse; ++i) {
        s.screen[i] = config.channels[i].placed == 1 && hasArea(config.channels[i]);
        s.count += s.screen[i];
    }
    // The pointer passes where the canvas draws a crossing.
    for (const Crossing &c : crossingsOf(config))
        s.linked[c.before][c.after] = s.linked[c.after][c.before] = true;
    for (int i = 0; i < kMaxChannels; ++i) {
        for (int j = 0; j < kMaxChannels; ++j) {
            const ChannelEntry &a = config.channels[i];
            const ChannelEntry &b = config.channels[j];
            if (i != j && s.screen[i] && s.screen[j] && shareCell(a, b))
                s.linked[i][j] = true;
        }
    }
    s.switching = config.switchingEnabled == 1 && s.count >= 2;
    return s;
}

void addChannelProblems(const Configuration &config, const Screens &s, int i,
                        QList<LayoutProblem> &problems)
{
    const ChannelEntry &e = config.channels[i];
    if (i >= s.inUse) {
        if (e.placed == 1)
            problems.append({K::BeyondCount, {i}, config.channelCount});
        return;
    }
    if (e.placed > 1) {
        problems.append({K::PlacedValue, {i}, e.placed});
        return;
    }
    if (e.placed == 0)
        return;
    if (!hasArea(e))
        problems.append({K::NoArea, {i}});
    else if (e.right - e.left < kMinTileCells || e.bottom - e.top < kMinTileCells)
        problems.append({K::TooSmall, {i}});
    if (e.resolutionX == 0 || e.resolutionY == 0)
        problems.append({K::NoResolution, {i}});
    if (!s.screen[i])
        return;
    for (int j = i + 1; j < kMaxChannels; ++j) {
        if (s.screen[j] && shareCell(e, config.channels[j]))
            problems.append({K::Overlap, {i, j}});
    }
    if (s.switching
        && std::none_of(s.linked[i], s.linked[i] + kMaxChannels, [](bool b) { return b; }))
        problems.append({K::Isolated, {i}});
}

// Groups of two or more screens, in the order of their lowest channel.
QList<QList<int>> groupsOf(const Screens &s)
{
    QList<QList<int>> groups;
    bool seen[kMaxChannels] = {};
    for (int first = 0; first < kMaxChannels; ++first) {
        if (!s.screen[first] || seen[first])
            continue;
        QList<int> group{first};
        seen[first] = true;
        for (qsizetype k = 0; k < group.size(); ++k) {
            for (int j = 0; j < kMaxChannels; ++j) {
                if (s.linked[group.at(k)][j] && !seen[j]) {
                    seen[j] = true;
                    group.append(j);
                }
            }
        }
        if (group.size() >= 2) {
            std::sort(group.begin(), group.end());
            groups.append(group);
        }
    }
    return groups;
}

} // namespace

QList<LayoutProblem> checkLayout(const Configuration &config)
{
    QList<LayoutProblem> problems;
    addValueProblems(config, problems);
    const Screens screens = screensOf(config);
    for (int i = 0; i < kMaxChannels; ++i)
        addChannelProblems(config, screens, i, problems);
    if (!screens.switching)
        return problems;
    const QList<QList<int>> groups = groupsOf(screens);
    for (qsizetype g = 1; g < groups.size(); ++g)
        problems.append({K::SeparateGroup, groups.at(g), groups.first().first()});
    return problems;
}

LayoutSeverity layoutProblemSeverity(LayoutProblemKind kind)
{
    return kind == LayoutProblemKind::NoResolution ? LayoutSeverity::Notice : LayoutSeverity::Error;
}

QList<LayoutProblem> layoutProblemsOf(const QList<LayoutProblem> &list, LayoutSeverity severity)
{
    QList<LayoutProblem> chosen;
    for (const LayoutProblem &p : list) {
        if (layoutProblemSeverity(p.kind) == severity)
            chosen.append(p);
    }
    return chosen;
}

QString layoutProblemText(const LayoutProblem &p)
{
    const int channel = p.channels.isEmpty() ? 0 : p.channels.first() + 1;
    switch (p.kind) {
    case LayoutProblemKind::ChannelCount:
        return QCoreApplication::translate("LayoutCheck",
                                           "The channel count is %1, but a Vorrix has 2, 4 or 8 "
                                           "channels")
                .arg(p.value);
    case LayoutProblemKind::MouseSpeed:
        return QCoreApplication::translate("LayoutCheck",
                                           "The mouse speed is %1, but it can only be set from 1 "
                                           "to 10")
                .arg(p.value);
    case LayoutProblemKind::SwitchingValue:
        return QCoreApplication::translate("LayoutCheck",
                                           "Orvanel Switching holds %1, but it can only be on (1) "
                                           "or off (0)")
                .arg(p.value);
    case LayoutProblemKind::PlacedValue:
        return QCoreApplication::translate("LayoutCheck",
                                           "Channel %1 has the invalid placement value %2 (only 0 "
                                           "and 1 are valid)")
                .arg(channel)
                .arg(p.value);
    case LayoutProblemKind::BeyondCount:
        return QCoreApplication::translate("LayoutCheck",
                                           "Channel %1 is placed, but the configuration has only "
                                           "%2 channels")
                .arg(channel)
                .arg(p.value);
    case LayoutProblemKind::NoArea:
        return QCoreApplication::translate("LayoutCheck",
                                           "Channel %1 is placed but has no area, so it cannot be "
                                           "shown")
                .arg(channel);
    case LayoutProblemKind::TooSmall:
        return QCoreApplication::translate("LayoutCheck", "Channel %1 is smaller than 2 × 2 cells")
                .arg(channel);
    case LayoutProblemKind::NoResolution:
        return QCoreApplication::translate("LayoutCheck", "Channel %1 has no resolution")
                .arg(channel);
    case LayoutProblemKind::Overlap:
        return QCoreApplication::translate("LayoutCheck", "Channels %1 and %2 overlap")
                .arg(channel)
                .arg(p.channels.value(1) + 1);
    case LayoutProblemKind::Isolated:
        return QCoreApplication::translate("LayoutCheck", "Channel %1 touches no other screen")
                .arg(channel);
    case LayoutProblemKind::SeparateGroup:
        return QCoreApplication::translate("LayoutCheck",
                                           "Channels %1 form a group that the pointer cannot "
                                           "reach from channel %2")
                .arg(channelList(p.channels), QString::number(p.value + 1));
    }
    return QString();
}

QStringList layoutProblemTexts(const QList<LayoutProblem> &problems)
{
    QStringList lines;
    for (const LayoutProblem &p : problems)
        lines << layoutProblemText(p);
    return lines;
}
