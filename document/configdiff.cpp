#include "document/configdiff.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

QString onOff(int value)
{
    if (value == 1)
        return QCoreApplication::translate("ConfigDiff", "on");
    if (value == 0)
        return QCoreApplication::translate("ConfigDiff", "off");
    return QString::number(value);
}

QString yesNo(int value)
{
    if (value == 1)
        return QCoreApplication::translate("ConfigDiff", "yes");
    if (value == 0)
        return QCoreApplication::translate("ConfigDiff", "no");
    return QString::number(value);
}

QString resolution(const ChannelEntry &e)
{
    return QString("%1 X %2").arg(e.resolutionX).arg(e.resolutionY);
}

} // namespace

QStringList diffConfigurations(const Configuration &a, const Configuration &b)
{
    QStringList lines;
    if (a.channelCount != b.channelCount) {
        lines << QCoreApplication::translate("ConfigDiff", "Channel count: %1 → %2")
                         .arg(a.channelCount)
                         .arg(b.channelCount);
    }
    if (a.switchingEnabled != b.switchingEnabled) {
        lines << QCoreApplication::translate("ConfigDiff", "Orvanel Switching: %1 → %2")
                         .arg(onOff(a.switchingEnabled), onOff(b.switchingEnabled));
    }
    if (a.mouseSpeed != b.mouseSpeed) {
        lines << QCoreApplication::translate("ConfigDiff", "Mouse speed: %1 → %2")
                         .arg(a.mouseSpeed)
                         .arg(b.mouseSpeed);
    }
    const int common = std::min({int(a.channelCount), int(b.channelCount), kMaxChannels});
    for (int i = 0; i < common; ++i) {
        const ChannelEntry &x = a.channels[i];
        const ChannelEntry &y = b.channels[i];
        // One line for each channel that differs, naming every field that does.
        QStringList fields;
        if (x.placed != y.placed) {
            fields << QCoreApplication::translate("ConfigDiff", "placed %1 → %2")
                              .arg(yesNo(x.placed), yesNo(y.placed));
        }
        const auto edge = [&fields](const char *text, int from, int to) {
            if (from != to) {
                fields << QCoreApplication::translate("ConfigDiff", text)
                                  .arg(QString::number(from), QString::number(to));
            }
        };
        edge(QT_TRANSLATE_NOOP("ConfigDiff", "left %1 → %2"), x.left, y.left);
        edge(QT_TRANSLATE_NOOP("ConfigDiff", "top %1 → %2"), x.top, y.top);
        edge(QT_TRANSLATE_NOOP("ConfigDiff", "right %1 → %2"), x.right, y.right);
        edge(QT_TRANSLATE_NOOP("ConfigDiff", "bottom %1 → %2"), x.bottom, y.bottom);
        if (x.resolutionX != y.resolutionX || x.resolutionY != y.resolutionY) {
            fields << QCoreApplication::translate("ConfigDiff", "resolution %1 → %2")
                              .arg(resolution(x), resolution(y));
        }
        if (!fields.isEmpty()) {
            lines << QCoreApplication::translate("ConfigDiff", "Channel %1: %2")
                             .arg(QString::number(i + 1), fields.join(QStringLiteral(", ")));
        }
    }
    return lines;
}

ConfigChanges compareConfigurations(const Configuration &a, const Configuration &b)
{
    ConfigChanges changes;
    changes.channelCount = a.channelCount != b.channelCount;
    changes.switching = a.switchingEnabled != b.switchingEnabled;
    changes.mouseSpeed = a.mouseSpeed != b.mouseSpeed;
    const int common = std::min({int(a.channelCount), int(b.channelCount), kMaxChannels});
    for (int i = 0; i < common; ++i) {
        if (a.channels[i] != b.channels[i])
            changes.channels.append(i + 1);
    }
    return changes;
}

namespace {

// "channel 2", "channels 2 and 5", "channels 1, 2 and 5"
QString channelList(const QList<int> &channels)
{
    if (channels.size() == 1)
        return QCoreApplication::translate("ConfigDiff", "channel %1").arg(channels.first());
    QStringList first;
    for (qsizetype k = 0; k + 1 < channels.size(); ++k)
        first << QString::number(channels.at(k));
    return QCoreApplication::translate("ConfigDiff", "channels %1 and %2")
            .arg(first.join(QStringLiteral(", ")))
            .arg(channels.last());
}

} // namespace

QString summarizeChanges(const Configuration &a, const Configuration &b, ChangeValues values)
{
    const ConfigChanges changes = compareConfigurations(a, b);
    const bool shown = values == ChangeValues::Shown;
    QStringList parts;
    if (changes.channelCount) {
        parts << (shown ? QCoreApplication::translate("ConfigDiff", "channel count %1 → %2")
                                  .arg(a.channelCount)
                                  .arg(b.channelCount)
                        : QCoreApplication::translate("ConfigDiff", "channel count"));
    }
    if (!changes.channels.isEmpty())
        parts << channelList(changes.channels);
    if (changes.switching) {
        parts << (shown ? QCoreApplication::translate("ConfigDiff", "Orvanel Switching %1 → %2")
                                  .arg(onOff(a.switchingEnabled), onOff(b.switchingEnabled))
                        : QCoreApplication::translate("ConfigDiff", "Orvanel Switching"));
    }
    if (changes.mouseSpeed) {
        parts << (shown ? QCoreApplication::translate("ConfigDiff", "mouse speed %1 → %2")
                                  .arg(a.mouseSpeed)
                                  .arg(b.mouseSpeed)
                        : QCoreApplication::translate("ConfigDiff", "mouse speed"));
    }
    return parts.join(QStringLiteral(", "));
}
