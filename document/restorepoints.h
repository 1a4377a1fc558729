#pragma once

#include "document/configuration.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// The switch's configuration as it was before a write, kept as an .ovs file so that the
// write can be taken back. One file per restore point, named by the time in UTC, the
// port and the model (20261208T211719.123Z_dev-pts-3_Vorrix-8.ovs), so that names sort
// by age. Only the newest kept() are kept: each save removes the oldest beyond that.
class RestorePoints
{
public:
    static constexpr int kDefaultKept = 100;

    explicit RestorePoints(const QString &folder = defaultFolder());
    // restore-points in ovsDataFolder(); empty when there is no such folder.
    static QString defaultFolder();
    QString folder() const { return m_folder; }

    int kept() const { return m_kept; }
    void setKept(int count) { m_kept = count < 1 ? 1 : count; }

    // Writes `config` as a new .ovs file named by the present time, `port` and the
    // model; returns its path, or an empty string with `error` set. Never replaces a
    // file. Removes the oldest restore points beyond kept().
    QString save(const Configuration &config, const QString &port, QString *error = nullptr);
    // The paths of the restore points, newest first.
    QStringList list() const;

    // The file name for a restore point taken at `time`: any port name gives a name
    // that stands in a file name on every system (no separators, controls, reserved
    // characters or device names) and is at most about 100 characters long.
    static QString fileName(const QDateTime &time, const QString &port, int channelCount);

private:
    void prune() const;

    QString m_folder;
    int m_kept = kDefaultKept;
};
