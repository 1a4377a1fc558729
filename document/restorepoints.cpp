#include "document/restorepoints.h"

#include "document/datafolder.h"
#include "document/ovsfile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

namespace {

constexpr int kLongestPortPart = 60;
constexpr int kMaxTries = 100;

const QRegularExpression &restorePointName()
{
    static const QRegularExpression name(QStringLiteral("^\\d{8}T\\d{6}\\.\\d{3}Z_.*\\.ovs$"));
    return name;
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// Letters and digits of ASCII, '.' and '-' stay; every run of anything else becomes
// one '-'. "/dev/pts/3" gives "dev-pts-3".
QString portPart(const QString &port)
{
    QString out;
    for (const QChar c : port) {
        const char16_t u = c.unicode();
        const bool keep = (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z')
                          || u == '.' || u == '-';
        if (keep)
            out.append(c);
        else if (!out.endsWith(QLatin1Char('-')))
            out.append(QLatin1Char('-'));
    }
    out.truncate(kLongestPortPart);
    while (!out.isEmpty() && (out.front() == '-' || out.front() == '.'))
        out.remove(0, 1);
    while (!out.isEmpty() && (out.back() == '-' || out.back() == '.'))
        out.chop(1);
    return out.isEmpty() ? QStringLiteral("port") : out;
}

} // namespace

RestorePoints::RestorePoints(const QString &folder)
    : m_folder(folder)
{
}

QString RestorePoints::defaultFolder()
{
    const QString folder = ovsDataFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/restore-points");
}

QString RestorePoints::fileName(const QDateTime &time, const QString &port, int channelCount)
{
    return QStringLiteral("%1_%2_Vorrix-%3.ovs")
            .arg(time.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss.zzz'Z'")), portPart(port))
            .arg(channelCount);
}

QString RestorePoints::save(const Configuration &config, const QString &port, QString *error)
{
    if (m_folder.isEmpty()) {
        fail(error, QStringLiteral("there is no per-user data folder"));
        return QString();
    }
    if (!QDir().mkpath(m_folder)) {
        fail(error, QStringLiteral("cannot create the folder %1").arg(m_folder));
        return QString();
    }
    const QByteArray bytes = encodeOvs(config);
    QFile file;
    for (int k = 0; k < kMaxTries && !file.isOpen(); ++k) {
        // A name already taken (a restore point of the same port in the same millisecond)
        // waits for the next millisecond, so that names keep sorting by age.
        if (k > 0)
            QThread::msleep(1);
        file.setFileName(QDir(m_folder).filePath(
                fileName(QDateTime::currentDateTimeUtc(), port, config.channelCount)));
        // NewOnly: a restore point never replaces another one, even one being written.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && !file.exists()) {
            fail(error,
                 QStringLiteral("cannot create %1: %2").arg(file.fileName(), file.errorString()));
            return QString();
        }
    }
    if (!file.isOpen()) {
        fail(error, QStringLiteral("cannot create a new file in %1").arg(m_folder));
        return QString();
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        fail(error, QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString()));
        file.close();
        file.remove();
        return QString();
    }
    file.close();
    prune();
    return file.fileName();
}

QStringList RestorePoints::list() const
{
    const QDir dir(m_folder);
    QStringList names = dir.entryList({QStringLiteral("*.ovs")}, QDir::Files, QDir::Name);
    names = names.filter(restorePointName());
    QStringList paths;
    for (qsizetype k = names.size() - 1; k >= 0; --k)
        paths << dir.filePath(names.at(k));
    return paths;
}

void RestorePoints::prune() const
{
    const QStringList paths = list();
    for (qsizetype k = m_kept; k < paths.size(); ++k)
        QFile::remove(paths.at(k));
}
