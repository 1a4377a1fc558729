#pragma once

#include "document/configuration.h"

#include <QDateTime>
#include <QString>

#include <optional>

// What a port's switch is known to hold and since when.
struct KnownConfiguration
{
    Configuration config;
    QDateTime time; // when it was last read or written
};

// What each port's switch held after the last successful exchange with it, so that a later
// check can tell a switch changed behind the operator's back. One ordinary .ovs file per
// port and model, replaced by every exchange; its modification time is the time it was
// remembered, so the file stays one that `ovsctl show` and the window open. Anything but a
// regular file in place of the folder or a file (a FIFO, a folder, a link) is neither
// opened nor replaced, and a file that does not read as an .ovs file of its model is unknown.
class LastKnown
{
public:
    explicit LastKnown(const QString &folder = defaultFolder());
    // last-known in ovsDataFolder(); empty when there is no such folder.
    static QString defaultFolder();
    QString folder() const;
    // What the switch of this channel count on `port` (any name of the port: it is
    // resolved with resolvedPortName()) was last known to hold; nullopt when nothing is
    // known or the file is unusable.
    std::optional<KnownConfiguration> recall(const QString &port, int channelCount) const;
    // The switch on `port` holds `config` now (its channelCount names the model). Written
    // safely; false with `error` set on failure.
    bool remember(const QString &port, const Configuration &config, QString *error = nullptr);
    // "dev-ttyUSB0_Vorrix-8.ovs": the port part as restore points name it.
    static QString fileName(const QString &port, int channelCount);

    // What a switch of `switchChannels` channels holds after a write of `sent` (which sends
    // its own channel count of records) into it: the sent settings and records, and above
    // the records sent the ones it held before, taken from `previous` (null when unknown).
    // nullopt when those are not known.
    static std::optional<Configuration>
    heldAfterWrite(const Configuration &sent, int switchChannels, const Configuration *previous);
    // Remembers heldAfterWrite() on `port`, or, when it is not known, forgets what was
    // known of that switch, which the write has made stale.
    bool rememberWrite(const QString &port, const Configuration &sent, int switchChannels,
                       const Configuration *previous, QString *error = nullptr);

    // Nothing is known any more of the switch of this channel count on `port`: a write
    // that failed part-way left it holding parts of two configurations.
    bool forget(const QString &port, int channelCount, QString *error = nullptr);

private:
    QString path(const QString &port, int channelCount) const;

    QString m_folder;
};
