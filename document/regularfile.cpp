#include "document/regularfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Opens `path` for reading when it is a regular file (or, with SymLinks::Follow, a link to
// one). Checked before the open: opening a FIFO blocks, and opening a device can act on it.
bool openRegularFile(const QString &path, SymLinks links, QFile &file)
{
    const QFileInfo info(path);
    if (!info.isFile() || (links == SymLinks::Refuse && info.isSymLink()))
        return false;

#ifdef Q_OS_WIN
    // Windows has no FIFOs or device nodes among the paths of files; its device names
    // (COM1, NUL) are no files to QFileInfo and were refused above.
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly);
#else
    // The path may change between the check and the open. O_NONBLOCK keeps a FIFO that
    // appeared meanwhile from blocking the open, O_NOCTTY keeps a terminal from becoming
    // ours, and the type of what was opened has the last word.
    int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    if (links == SymLinks::Refuse)
        flags |= O_NOFOLLOW;
    const int fd = ::open(QFile::encodeName(path).constData(), flags);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)
        || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#endif
}

} // namespace

bool readRegularFile(const QString &path, qint64 limit, QByteArray &bytes, SymLinks links)
{
    bytes.clear();
    QFile file;
    if (!openRegularFile(path, links, file))
        return false;
    bytes = file.read(limit);
    return file.error() == QFileDevice::NoError;
}

bool readRegularFileEnd(const QString &path, qint64 limit, QByteArray &bytes, bool &cut,
                        SymLinks links)
{
    bytes.clear();
    cut = false;
    QFile file;
    if (!openRegularFile(path, links, file))
        return false;
    const qint64 size = file.size();
    if (size > limit) {
        if (!file.seek(size - limit))
            return false;
        cut = true;
    }
    bytes = file.read(limit);
    return file.error() == QFileDevice::NoError;
}

bool isReplaceableFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink())
        return info.isFile(); // follows the link; false when it leads nowhere
    return !info.exists() || info.isFile();
}

bool saveFileContents(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // commit() alone can report success over a truncated file on a full disk.
    bool ok = file.write(bytes) == bytes.size() && file.flush();
    if (!ok)
        file.cancelWriting();
    ok = file.commit() && ok;
    return ok;
}

bool isSameFile(const QString &a, const QString &b)
{
#ifdef Q_OS_WIN
    const QString first = QFileInfo(a).canonicalFilePath();
    return !first.isEmpty()
           && first.compare(QFileInfo(b).canonicalFilePath(), Qt::CaseInsensitive) == 0;
#else
    struct stat sa;
    struct stat sb;
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0
           && ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev
           && sa.st_ino == sb.st_ino;
#endif
}
