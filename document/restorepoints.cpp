#include "document/restorepoints.h"

#include "document/datafolder.h"
#include "document/ovsfile.h"
#include "document/regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>

#include <algorithm>

namespace {

constexpr int kLongestPortPart = 60;
constexpr int kMaxTries = 100;
// Far more than the largest .ovs file: a file this long is no restore point anyway.
constexpr qint64 kLargestPoint = 4096;

// Captures the port part.
const QRegularExpression &restorePointName()
{
    static const QRegularExpression name(
            QStringLiteral("^\\d{8}T\\d{6}\\.\\d{3}Z_([A-Za-z0-9.-]+)_Vorrix-\\d+\\.ovs$"));
    return name;
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
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

QString RestorePoints::portPart(const QString &port)
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
        fail(error, QStringLiteral("cannot create the folder %1").arg(native(m_folder)));
        return QString();
    }
    const QString part = portPart(port);
    // Later than every restore point of the port, whatever the clock says now.
    QDateTime stamp = QDateTime::currentDateTimeUtc();
    const QList<Point> before = points(part);
    if (!before.isEmpty() && before.last().modified.addMSecs(1) > stamp)
        stamp = before.last().modified.addMSecs(1);
    const QByteArray bytes = encodeOvs(config);
    QFile file;
    for (int k = 0; k < kMaxTries && !file.isOpen(); ++k) {
        // A name already taken (a restore point of the same port in the same millisecond)
        // waits for the next millisecond.
        if (k > 0)
            QThread::msleep(1);
        file.setFileName(QDir(m_folder).filePath(
                fileName(QDateTime::currentDateTimeUtc(), port, config.channelCount)));
        // NewOnly: a restore point never replaces another one, even one being written.
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) && !file.exists()) {
            fail(error, QStringLiteral("cannot create %1: %2")
                                .arg(native(file.fileName()), file.errorString()));
            return QString();
        }
    }
    if (!file.isOpen()) {
        fail(error, QStringLiteral("cannot create a new file in %1").arg(native(m_folder)));
        return QString();
    }
    const QString path = file.fileName();
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        fail(error, QStringLiteral("cannot write %1: %2").arg(native(path), file.errorString()));
        file.close();
        file.remove();
        return QString();
    }
    // A time that cannot be set costs only the order among this port's restore points,
    // and this one is never pruned by this object anyway.
    (void)file.setFileTime(stamp, QFileDevice::FileModificationTime);
    file.close();
    // A write that only seemed to work (a full disk, a removable drive pulled, another
    // program at the file) must not let the switch be written without a way back.
    QByteArray back;
    if (!readRegularFile(path, bytes.size() + 1, back, SymLinks::Refuse) || back != bytes) {
        QFile::remove(path);
        fail(error, QStringLiteral("%1 does not read back as it was written").arg(native(path)));
        return QString();
    }
    m_saved.insert(path);
    prune(part);
    return path;
}

QList<RestorePoints::Point> RestorePoints::points(const QString &port) const
{
    const QDir dir(m_folder);
    // Neither links nor System entries (FIFOs, sockets, devices) are listed.
    const QFileInfoList infos = dir.entryInfoList({QStringLiteral("*.ovs")},
                                                  QDir::Files | QDir::NoSymLinks, QDir::Name);
    QList<Point> out;
    for (const QFileInfo &info : infos) {
        const QRegularExpressionMatch match = restorePointName().match(info.fileName());
        if (!match.hasMatch() || info.isSymLink() || !info.isFile()
            || (!port.isEmpty() && match.captured(1) != port))
            continue;
        const QString path = dir.filePath(info.fileName());
        QByteArray bytes;
        Configuration read;
        if (!readRegularFile(path, kLargestPoint, bytes, SymLinks::Refuse)
            || decodeOvs(bytes, read) != OvsLoadResult::Loaded)
            continue;
        out.append({path, info.fileTime(QFileDevice::FileModificationTime).toUTC()});
    }
    // Stable over the names' order: equal times go by name.
    std::stable_sort(out.begin(), out.end(),
                     [](const Point &a, const Point &b) { return a.modified < b.modified; });
    return out;
}

QStringList RestorePoints::list() const
{
    const QList<Point> all = points();
    QStringList paths;
    for (qsizetype k = all.size() - 1; k >= 0; --k)
        paths << all.at(k).path;
    return paths;
}

void RestorePoints::prune(const QString &port) const
{
    const QList<Point> ofPort = points(port);
    qsizetype excess = ofPort.size() - m_kept;
    for (qsizetype k = 0; k < ofPort.size() && excess > 0; ++k) {
        if (m_saved.contains(ofPort.at(k).path))
            continue;
        QFile::remove(ofPort.at(k).path);
        --excess;
    }
}
