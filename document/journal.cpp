// Stand-in until the journal lands.
#include "document/journal.h"
#include "document/restorepoints.h"

#include "document/ovsfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

QString ovsDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

Journal::Journal(const QString &path)
    : m_path(path)
{
}

QString Journal::defaultPath()
{
    return ovsDataFolder() + QStringLiteral("/journal.jsonl");
}

bool Journal::append(const JournalEntry &e, QString *error)
{
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QFile f(m_path);
    if (!f.open(QIODevice::Append)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    QJsonObject o{{"time", e.time.toString(Qt::ISODate)},
                  {"source", e.source},
                  {"action", e.action},
                  {"port", e.port},
                  {"model", e.model},
                  {"outcome", e.outcome},
                  {"reason", e.reason},
                  {"file", e.file},
                  {"restorePoint", e.restorePoint},
                  {"sha256", e.sha256}};
    f.write(QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n');
    return true;
}

QList<JournalEntry> Journal::entries(int *damaged) const
{
    QList<JournalEntry> list;
    if (damaged)
        *damaged = 0;
    QFile f(m_path);
    if (!f.open(QIODevice::ReadOnly))
        return list;
    while (!f.atEnd()) {
        const QJsonObject o = QJsonDocument::fromJson(f.readLine()).object();
        if (o.isEmpty()) {
            if (damaged)
                ++*damaged;
            continue;
        }
        list << JournalEntry{QDateTime::fromString(o["time"].toString(), Qt::ISODate),
                             o["source"].toString(),
                             o["action"].toString(),
                             o["port"].toString(),
                             o["model"].toString(),
                             o["outcome"].toString(),
                             o["reason"].toString(),
                             o["file"].toString(),
                             o["restorePoint"].toString(),
                             o["sha256"].toString()};
    }
    return list;
}

QString Journal::sha256Of(const Configuration &config)
{
    return QString::fromLatin1(
            QCryptographicHash::hash(encodeOvs(config), QCryptographicHash::Sha256).toHex());
}

QString Journal::modelName(int channelCount)
{
    return QStringLiteral("Vorrix %1").arg(channelCount);
}

RestorePoints::RestorePoints(const QString &folder)
    : m_folder(folder)
{
}

QString RestorePoints::defaultFolder()
{
    return ovsDataFolder() + QStringLiteral("/restore-points");
}

QString RestorePoints::save(const Configuration &config, const QString &port, QString *error)
{
    QDir().mkpath(m_folder);
    QString name = port;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QString path
            = m_folder + QLatin1Char('/')
              + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmsszzz"))
              + QLatin1Char('-') + name + QStringLiteral(".ovs");
    if (!writeOvsFile(path, config)) {
        if (error)
            *error = QStringLiteral("cannot write %1").arg(path);
        return {};
    }
    return path;
}
