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

#ifndef Q_OS_WIN
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// An entry is written in well under a millisecond; a lock held longer than this
// belongs to a program that hangs or died without cleaning up.
constexpr int kStaleLockMs = 10000;
constexpr int kLockWaitMs = 5000;

const char *const kFields[] = {"time",    "source", "action", "port",         "model",
                               "outcome", "reason", "file",   "restorePoint", "sha256"};

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

enum class Kind {
    File,    // a regular file or a link to one
    OwnFile, // a regular file, not a link
    Folder,  // a folder or a link to one
};

// What is wrong with what stands at `path`; empty when nothing or the wanted kind is
// there. Looked at without opening it.
QString wrongKind(const QString &path, Kind wanted)
{
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return QString();
    if (info.isSymLink() && wanted == Kind::OwnFile)
        return QStringLiteral("%1 is a link, not a file").arg(native(path));
    if (!info.exists())
        return QStringLiteral("%1 is a link that leads nowhere").arg(native(path));
    if (wanted == Kind::Folder)
        return info.isDir() ? QString() : QStringLiteral("%1 is not a folder").arg(native(path));
    if (info.isDir())
        return QStringLiteral("%1 is a folder, not a file").arg(native(path));
    return info.isFile() ? QString() : QStringLiteral("%1 is not a file").arg(native(path));
#else
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::lstat(name.constData(), &st) != 0)
        return QString(); // nothing there; what else keeps it from opening, the open says
    if (S_ISLNK(st.st_mode)) {
        if (wanted == Kind::OwnFile)
            return QStringLiteral("%1 is a symbolic link, not a file").arg(native(path));
        if (::stat(name.constData(), &st) != 0)
            return QStringLiteral("%1 is a link that leads nowhere").arg(native(path));
    }
    const mode_t type = st.st_mode & S_IFMT;
    if (wanted == Kind::Folder ? type == S_IFDIR : type == S_IFREG)
        return QString();
    QString what = QStringLiteral("something else");
    if (type == S_IFDIR)
        what = QStringLiteral("a folder");
    else if (type == S_IFREG)
        what = QStringLiteral("a file");
    else if (type == S_IFIFO)
        what = QStringLiteral("a FIFO");
    else if (type == S_IFSOCK)
        what = QStringLiteral("a socket");
    else if (type == S_IFCHR || type == S_IFBLK)
        what = QStringLiteral("a device");
    return QStringLiteral("%1 is %2, not %3")
            .arg(native(path), what,
                 wanted == Kind::Folder ? QStringLiteral("a folder") : QStringLiteral("a file"));
#endif
}

// Takes the lock or says why not. QLockFile::tryLock() sleeps 100 ms, 200 ms, 400 ms ...
// between its tries, so that under contention a waiter can lose for seconds to programs
// that came later; an entry holds the lock for well under a millisecond, so trying every
// millisecond is fair. QLockFile opens an existing lock file to see whether it is stale,
// which blocks on a FIFO: what is there is looked at before every try.
QString takeLock(QLockFile &lock, const QString &lockPath, const QString &journalPath)
{
    lock.setStaleLockTime(kStaleLockMs);
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (const QString wrong = wrongKind(lockPath, Kind::OwnFile); !wrong.isEmpty())
            return wrong;
        if (lock.tryLock(0))
            return QString();
        switch (lock.error()) {
        case QLockFile::LockFailedError:
            if (waited.hasExpired(kLockWaitMs))
                return QStringLiteral("%1 stays locked by another program")
                        .arg(native(journalPath));
            break;
        case QLockFile::PermissionError:
            return QStringLiteral("cannot create the lock file %1: permission denied")
                    .arg(native(lockPath));
        default:
            return QStringLiteral("cannot create the lock file %1").arg(native(lockPath));
        }
        QThread::msleep(1);
    }
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

QString lockPath(const QString &path)
{
    return path + QStringLiteral(".lock");
}

// Something is there, be it only a link that leads nowhere.
bool present(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// Opens the journal to append to it, creating it when needed; `torn` tells that its last
// byte is no line end. What is opened must be a regular file: the path may have changed
// since it was looked at.
bool openToAppend(const QString &path, QFile &file, bool &torn, QString *error)
{
    torn = false;
#ifdef Q_OS_WIN
    file.setFileName(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return fail(error,
                    QStringLiteral("cannot open %1: %2").arg(native(path), file.errorString()));
    const qint64 size = file.size();
    char last = '\n';
    if (size > 0 && (!file.seek(size - 1) || !file.getChar(&last)))
        return fail(error,
                    QStringLiteral("cannot read %1: %2").arg(native(path), file.errorString()));
    torn = last != '\n';
    return file.seek(size)
           || fail(error,
                   QStringLiteral("cannot open %1: %2").arg(native(path), file.errorString()));
#else
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0)
        return fail(error, QStringLiteral("cannot open %1: %2")
                                   .arg(native(path), QString::fromLocal8Bit(::strerror(errno))));
    struct stat st;
    char last = '\n';
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return fail(error, QStringLiteral("%1 is not a file").arg(native(path)));
    }
    if (st.st_size > 0 && ::pread(fd, &last, 1, st.st_size - 1) != 1) {
        ::close(fd);
        return fail(error, QStringLiteral("cannot read %1").arg(native(path)));
    }
    torn = last != '\n';
    if (!file.open(fd, QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered,
                   QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(error,
                    QStringLiteral("cannot open %1: %2").arg(native(path), file.errorString()));
    }
    return true;
#endif
}

// Adds the entries of `path` to `out`: of a file larger than the bound only its newest
// lines, the one cut off at their start dropped.
void readLines(const QString &path, JournalReading &out)
{
    QString wrong = wrongKind(path, Kind::File);
    QByteArray bytes;
    bool cut = false;
    if (wrong.isEmpty() && present(path)
        && !readRegularFileEnd(path, Journal::kLargestReadBytes + 1, bytes, cut))
        wrong = QStringLiteral("cannot read %1").arg(native(path));
    if (!wrong.isEmpty()) {
        out.error = out.error.isEmpty() ? wrong : out.error + QStringLiteral("; ") + wrong;
        return;
    }
    // One byte more than the bound was read: a line that starts right at the bound
    // follows a line end and is kept whole.
    if (cut) {
        out.olderSkipped = true;
        const qsizetype end = bytes.indexOf('\n');
        bytes.remove(0, end < 0 ? bytes.size() : end + 1);
    }
    for (const QByteArray &line : bytes.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        QJsonParseError parseError;
        const QJsonDocument json = QJsonDocument::fromJson(line, &parseError);
        JournalEntry entry;
        if (parseError.error != QJsonParseError::NoError || !json.isObject()
            || !Journal::fromJson(json.object(), entry)) {
            ++out.damaged;
            continue;
        }
        out.entries.append(entry);
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
    const QString folder = QFileInfo(m_path).absolutePath();
    if (const QString wrong = wrongKind(folder, Kind::Folder); !wrong.isEmpty())
        return fail(error, wrong);
    if (!QDir().mkpath(folder))
        return fail(error, QStringLiteral("cannot create the folder %1").arg(native(folder)));

    QLockFile lock(lockPath(m_path));
    if (const QString why = takeLock(lock, lockPath(m_path), m_path); !why.isEmpty())
        return fail(error, why);

    // Stamped under the lock, so that entries without a time of their own follow each
    // other in time through the file.
    JournalEntry stamped = entry;
    if (!stamped.time.isValid())
        stamped.time = QDateTime::currentDateTime();
    stamped.file = native(stamped.file);
    stamped.restorePoint = native(stamped.restorePoint);
    QByteArray line = QJsonDocument(toJson(stamped)).toJson(QJsonDocument::Compact);
    line.append('\n');

    if (const QString wrong = wrongKind(m_path, Kind::File); !wrong.isEmpty())
        return fail(error, wrong);
    const QFileInfo info(m_path);
    if (info.exists() && info.size() > 0 && info.size() + line.size() > m_maxBytes) {
        const QString rotated = rotatedPath(m_path);
        if (const QString wrong = wrongKind(rotated, Kind::File); !wrong.isEmpty())
            return fail(error, wrong);
        QFile::remove(rotated);
        if (!QFile::rename(m_path, rotated))
            return fail(
                    error,
                    QStringLiteral("cannot rename %1 to %2").arg(native(m_path), native(rotated)));
    }

    // Unbuffered and appending: the line goes out in one write() at the end of the file.
    QFile file;
    bool torn = false;
    if (!openToAppend(m_path, file, torn, error))
        return false;
    // A line cut short by a power loss or a full disk must not swallow this entry.
    if (torn)
        line.prepend('\n');
    const qint64 before = file.size();
    if (file.write(line) != line.size()) {
        const QString reason = file.errorString();
        // A line cut short on a full disk would be a damaged line; take it back.
        file.resize(before);
        return fail(error, QStringLiteral("cannot write to %1: %2").arg(native(m_path), reason));
    }
    file.close();
    return true;
}

JournalReading Journal::read() const
{
    JournalReading out;
    if (m_path.isEmpty())
        return out;
    const QString folder = QFileInfo(m_path).absolutePath();
    out.error = wrongKind(folder, Kind::Folder);
    // Nothing journalled yet: no lock file to leave behind, and nothing to say.
    if (!out.error.isEmpty() || (!present(m_path) && !present(rotatedPath(m_path))))
        return out;
    // Under the lock, so that a rotation cannot come between the two reads. When the
    // lock cannot be had, reading anyway beats showing nothing.
    QLockFile lock(lockPath(m_path));
    out.unlocked = takeLock(lock, lockPath(m_path), m_path);
    readLines(rotatedPath(m_path), out);
    readLines(m_path, out);
    return out;
}

QList<JournalEntry> Journal::entries(int *damaged) const
{
    const JournalReading reading = read();
    if (damaged)
        *damaged = reading.damaged;
    return reading.entries;
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

JournalEntry Journal::exchangeEntry(const QString &source, const QString &action,
                                    const QString &port, bool ok, const QString &reason,
                                    const QString &file, const Configuration *config,
                                    const QString &restorePoint)
{
    JournalEntry entry;
    entry.source = source;
    entry.action = action;
    entry.port = port;
    entry.outcome = ok ? QStringLiteral("ok") : QStringLiteral("failed");
    if (!ok)
        entry.reason = reason.split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
    entry.file = file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath();
    entry.restorePoint = restorePoint;
    if (config) {
        entry.model = modelName(config->channelCount);
        entry.sha256 = sha256Of(*config);
    }
    return entry;
}
