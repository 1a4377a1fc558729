#include "link/goingback.h"

#include "document/configdiff.h"

#include <QCoreApplication>

Link::RestorePointHook holdsWhatWasSent(const QString &port, const Configuration &sent,
                                        const Configuration &back, const QTime &sentAt)
{
    return [port, sent, back, sentAt](const Configuration &held, QString *why) {
        // What was written is compared, and the switch must be of the restore point's
        // kind: a transmission may have written fewer records than the switch has.
        ConfigChanges changes = compareConfigurations(sent, held);
        changes.channelCount = held.channelCount != back.channelCount;
        if (changes.isEmpty())
            return true;
        if (why)
            *why = QCoreApplication::translate("WayBack",
                                               "The switch on %1 no longer holds the "
                                               "configuration sent at %2; it was not changed.")
                           .arg(port, sentAt.toString(QStringLiteral("HH:mm:ss")));
        return false;
    };
}

Link::RestorePointHook hasChannelCountOf(const QString &port, const Configuration &back)
{
    return [port, back](const Configuration &held, QString *why) {
        if (held.channelCount == back.channelCount)
            return true;
        if (why)
            *why = QCoreApplication::translate("WayBack",
                                               "The switch on %1 has %2 channels, but the "
                                               "restore point is of a switch with %3; it was "
                                               "not changed.")
                           .arg(port)
                           .arg(held.channelCount)
                           .arg(back.channelCount);
        return false;
    };
}
