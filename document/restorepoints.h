#pragma once

#include "document/configuration.h"

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>

// The switch's configuration as it was before a write, kept as an .ovs file so that the
// write can be taken back. One file per restore point, named by the time in UTC, the
// port and the model (20261208T211719.123Z_dev-pts-3_Vorrix-8.ovs). Each port (the
// port part of the name) keeps its newest kept(), so restore points under other ports'
// names never push out this port's. Within a port the file's modification time is its
// age, and a new restore point is stamped with the later of now and 1 ms past the newest
// of its port: the newest is always the one saved last, also after the clock went back
// or files dated ahead came in. Equal times go by name. Only restore points are pruned:
// regular files with such a name that read as .ovs files. The paths an object saved are
// never pruned by it, so one object kept for a run never removes what the run saved.
class RestorePoints
{
public:
    static constexpr int kDefaultKept = 100;

    explicit RestorePoints(const QString &folder = defaultFolder());
    // restore-points in ovsDataFolder(); empty when there is no such folder.
    static QString defaultFolder();
    QString folder() const { return m_folder; }

    // Restore points kept for each port.
    int kept() const { return m_kept; }
    void setKept(int count) { m_kept = count < 1 ? 1 : count; }

    // Writes `config` as a new .ovs file named by the present time, `port` and the
    // model, and reads it back; returns its path, or an empty string with `error` set
    // and nothing left behind. Never replaces a file. Then removes the oldest restore
    // points of the port beyond kept().
    QString save(const Configuration &config, const QString &port, QString *error = nullptr);
    // The paths of the restore points of every port, newest first.
    QStringList list() const;

    // The file name for a restore point taken at `time`: any port name gives a name
    // that stands in a file name on every system (no separators, controls, reserved
    // characters or device names) and is at most about 100 characters long.
    static QString fileName(const QDateTime &time, const QString &port, int channelCount);
    // The port's part of such a name, at most 60 characters: letters and digits of ASCII,
    // '.' and '-' stay, every run of anything else becomes one '-' ("/dev/pts/3" gives
    // "dev-pts-3"); "port" when nothing is left.
    static QString portPart(const QString &port);

private:
    struct Point
    {
        QString path;
        QDateTime modified;
    };
    // Of one port part, or of all for an empty one; oldest first.
    QList<Point> points(const QString &port = QString()) const;
    void prune(const QString &port) const;

    QString m_folder;
    int m_kept = kDefaultKept;
    QSet<QString> m_saved;
};
