#include "document/journal.h"

#include "document/datafolder.h"
#include "document/ovsfile.h"
#include "document/regularfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLockFile>
#include <QThread>

namespace {

// An entry is written in well under a millisecond; a lock held longer than this
// belongs to a program that hangs or died without cleaning up.
constexpr int kStaleLockMs = 10000;
constexpr int kLockWaitMs = 5000;
// The two files are read whole; anything beyond this is not our journal.
constexpr qint64 kLargestReadBytes = 64 * 1024 * 1024;

const char *const kFields[] = {"time",    "source", "action", "port",         "model",
                               "outcome", "reason", "file",   "restorePoint", "sha256"};

// QLockFile::tryLock() sleeps 100 ms, 200 ms, 400 ms ... between its tries, so that
// under contention a waiter can lose for seconds to programs that came later. An entry
// holds the lock for well under a millisecond: trying every millisecond is fair.
bool takeLock(QLockFile &lock)
{
    lock.setStaleLockTime(kStaleLockMs);
    QElapsedTimer waited;
    waited.start();
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || waited.hasExpired(kLockWaitMs))
            return false;
        QThread::msleep(1);
    }
    return true;
}

// Qt writes a local time without its offset and UTC as "Z"; the offset is always
// written here, "+00:00" included, so that every line says which clock it used.
QString isoTimeWithOffset(const QDateTime &time)
{
    if (!time.isValid())
        return QString();
    const int offset = time.offsetFromUtc();
    const int minutes = qAbs(offset) / 60;
    return time.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz"))
           + QLatin1Char(offset < 0 ? '-' : '+')
           + QStringLiteral("%1:%2")
                     .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                     .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QString rotatedPath(const QString &path)
{
    return path + QStringLiteral(".1");
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

void readLines(const QString &path, QList<JournalEntry> &out, int &damaged)
{
    QByteArray bytes;
    if (!readRegularFile(path, kLargestReadBytes, bytes))
        return;
    for (const QByteArray &line : bytes.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        QJsonParseError parseError;
        const QJsonDocument json = QJsonDocument::fromJson(line, &parseError);
        JournalEntry entry;
        if (parseError.error != QJsonParseError::NoError || !json.isObject()
            || !Journal::fromJson(json.object(), entry)) {
            ++damaged;
            continue;
        }
        out.append(entry);
    }
}

} // namespace

bool JournalEntry::operator==(const JournalEntry &o) const
{
    return time == o.time && source == o.source && action == o.action && port == o.port
           && model == o.model && outcome == o.outcome && reason == o.reason && file == o.file
           && restorePoint == o.restorePoint && sha256 == o.sha256;
}

Journal::Journal(const QString &path)
    : m_path(path)
{
}

QString Journal::defaultPath()
{
    // No data folder (no home at all): no journal, rather than one at the root.
    const QString folder = ovsDataFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/journal.jsonl");
}

bool Journal::append(const JournalEntry &entry, QString *error)
{
    if (m_path.isEmpty())
        return fail(error, QStringLiteral("there is no per-user data folder"));
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return fail(error, QStringLiteral("cannot create the folder of %1").arg(m_path));

    QLockFile lock(m_path + QStringLiteral(".lock"));
    if (!takeLock(lock))
        return fail(error, QStringLiteral("%1 stays locked by another program").arg(m_path));

    // Stamped under the lock, so that entries without a time of their own follow each
    // other in time through the file.
    JournalEntry stamped = entry;
    if (!stamped.time.isValid())
        stamped.time = QDateTime::currentDateTime();
    QByteArray line = QJsonDocument(toJson(stamped)).toJson(QJsonDocument::Compact);
    line.append('\n');

    // Opening a FIFO would block, and anything but a file is not our journal.
    const QFileInfo info(m_path);
    if (info.exists() && !info.isFile())
        return fail(error, QStringLiteral("%1 is not a file").arg(m_path));
    if (info.exists() && info.size() > 0 && info.size() + line.size() > m_maxBytes) {
        QFile::remove(rotatedPath(m_path));
        if (!QFile::rename(m_path, rotatedPath(m_path)))
            return fail(error,
                        QStringLiteral("cannot rename %1 to %2").arg(m_path, rotatedPath(m_path)));
    }

    // Unbuffered and appending: the line goes out in one write() at the end of the file.
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return fail(error, QStringLiteral("cannot open %1: %2").arg(m_path, file.errorString()));
    const qint64 before = file.size();
    if (file.write(line) != line.size()) {
        const QString reason = file.errorString();
        // A line cut short on a full disk would be a damaged line; take it back.
        file.resize(before);
        return fail(error, QStringLiteral("cannot write to %1: %2").arg(m_path, reason));
    }
    file.close();
    return true;
}

QList<JournalEntry> Journal::entries(int *damaged) const
{
    QList<JournalEntry> out;
    int bad = 0;
    // Under the lock, so that a rotation cannot come between the two reads. When the
    // lock cannot be had, reading anyway beats showing nothing.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    takeLock(lock);
    readLines(rotatedPath(m_path), out, bad);
    readLines(m_path, out, bad);
    if (damaged)
        *damaged = bad;
    return out;
}

QJsonObject Journal::toJson(const JournalEntry &entry)
{
    return QJsonObject{
            {QStringLiteral("time"), isoTimeWithOffset(entry.time)},
            {QStringLiteral("source"), entry.source},
            {QStringLiteral("action"), entry.action},
            {QStringLiteral("port"), entry.port},
            {QStringLiteral("model"), entry.model},
            {QStringLiteral("outcome"), entry.outcome},
            {QStringLiteral("reason"), entry.reason},
            {QStringLiteral("file"), entry.file},
            {QStringLiteral("restorePoint"), entry.restorePoint},
            {QStringLiteral("sha256"), entry.sha256},
    };
}

bool Journal::fromJson(const QJsonObject &object, JournalEntry &entry)
{
    for (const char *field : kFields) {
        if (!object.value(QLatin1String(field)).isString())
            return false;
    }
    auto text = [&object](const char *field) {
        return object.value(QLatin1String(field)).toString();
    };
    entry.time = QDateTime::fromString(text("time"), Qt::ISODateWithMs);
    entry.source = text("source");
    entry.action = text("action");
    entry.port = text("port");
    entry.model = text("model");
    entry.outcome = text("outcome");
    entry.reason = text("reason");
    entry.file = text("file");
    entry.restorePoint = text("restorePoint");
    entry.sha256 = text("sha256");
    return entry.time.isValid();
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
