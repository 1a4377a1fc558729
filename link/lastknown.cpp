#include "link/lastknown.h"

#include "document/datafolder.h"
#include "document/ovsfile.h"
#include "document/regularfile.h"
#include "document/restorepoints.h"
#include "link/serialportsetup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Far more than the largest .ovs file: a file this long is no configuration anyway.
constexpr qint64 kLargestFile = 4096;

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

// What keeps `path` from being used as a folder or a file of our own; empty when nothing or
// such a thing is there. Looked at without opening it: opening a FIFO blocks.
QString inTheWay(const QString &path, bool folder)
{
    const QString wanted = folder ? QStringLiteral("a folder") : QStringLiteral("a file");
    const QFileInfo info(path);
    if (info.isSymLink())
        return QStringLiteral("%1 is a link, not %2").arg(native(path), wanted);
    if (!info.exists() || (folder ? info.isDir() : info.isFile()))
        return QString();
    const QString what = info.isDir()    ? QStringLiteral("a folder")
                         : info.isFile() ? QStringLiteral("a file")
                                         : QStringLiteral("a FIFO, a device or a socket");
    return QStringLiteral("%1 is %2, not %3").arg(native(path), what, wanted);
}

} // namespace

LastKnown::LastKnown(const QString &folder)
    : m_folder(folder)
{
}

QString LastKnown::defaultFolder()
{
    const QString folder = ovsDataFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/last-known");
}

QString LastKnown::folder() const
{
    return m_folder;
}

QString LastKnown::fileName(const QString &port, int channelCount)
{
    return QStringLiteral("%1_Vorrix-%2.ovs")
            .arg(RestorePoints::portPart(resolvedPortName(port)))
            .arg(channelCount);
}

QString LastKnown::path(const QString &port, int channelCount) const
{
    return QDir(m_folder).filePath(fileName(port, channelCount));
}

std::optional<KnownConfiguration> LastKnown::recall(const QString &port, int channelCount) const
{
    // What lies behind a link was not written here.
    if (m_folder.isEmpty() || !inTheWay(m_folder, true).isEmpty())
        return std::nullopt;
    const QString file = path(port, channelCount);
    QByteArray bytes;
    if (!readRegularFile(file, kLargestFile, bytes, SymLinks::Refuse))
        return std::nullopt;
    KnownConfiguration known;
    if (decodeOvs(bytes, known.config) != OvsLoadResult::Loaded
        || known.config.channelCount != channelCount)
        return std::nullopt;
    known.config.deviceChannels = known.config.channelCount;
    known.time = QFileInfo(file).fileTime(QFileDevice::FileModificationTime);
    return known;
}

bool LastKnown::remember(const QString &port, const Configuration &config, QString *error)
{
    if (m_folder.isEmpty())
        return fail(error, QStringLiteral("there is no per-user data folder"));
    if (const QString wrong = inTheWay(m_folder, true); !wrong.isEmpty())
        return fail(error, wrong);
    if (!QDir().mkpath(m_folder))
        return fail(error, QStringLiteral("cannot create the folder %1").arg(native(m_folder)));
    const QString file = path(port, config.channelCount);
    // A save renames a new file over the path, which would replace a FIFO, a device node
    // or a link, and the in-place write in a read-only folder would go through a link.
    if (const QString wrong = inTheWay(file, false); !wrong.isEmpty())
        return fail(error, wrong);
    if (!saveFileContents(file, encodeOvs(config)))
        return fail(error, QStringLiteral("cannot write %1").arg(native(file)));
    return true;
}

bool LastKnown::forget(const QString &port, int channelCount, QString *error)
{
    if (m_folder.isEmpty() || !inTheWay(m_folder, true).isEmpty())
        return true;
    const QString file = path(port, channelCount);
    // Only what remember() leaves is removed; anything else reads as unknown anyway.
    const QFileInfo info(file);
    if (info.isSymLink() || !info.isFile() || QFile::remove(file))
        return true;
    return fail(error, QStringLiteral("cannot remove %1").arg(native(file)));
}

std::optional<Configuration> LastKnown::heldAfterWrite(const Configuration &sent,
                                                       int switchChannels,
                                                       const Configuration *previous)
{
    if (switchChannels < 1 || switchChannels > kMaxChannels)
        return std::nullopt;
    const int written = qMin<int>(sent.channelCount, switchChannels);
    Configuration held;
    // A write sends its own count of records; a switch with more channels keeps its
    // records above them.
    if (written < switchChannels) {
        if (!previous || previous->channelCount != switchChannels)
            return std::nullopt;
        held = *previous;
    }
    held.channelCount = held.deviceChannels = quint8(switchChannels);
    held.switchingEnabled = sent.switchingEnabled;
    held.mouseSpeed = sent.mouseSpeed;
    for (int i = 0; i < written; ++i)
        held.channels[i] = sent.channels[i];
    return held;
}

bool LastKnown::rememberWrite(const QString &port, const Configuration &sent, int switchChannels,
                              const Configuration *previous, QString *error)
{
    const std::optional<Configuration> held = heldAfterWrite(sent, switchChannels, previous);
    return held ? remember(port, *held, error) : forget(port, switchChannels, error);
}
