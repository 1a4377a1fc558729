#include "app/languagefile.h"

#include "document/regularfile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#ifndef Q_OS_WIN
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
// Longer than either word with a byte order mark and CR LF: a longer first line is no
// word anyway, so reading no further gives the same answer for a file of any size.
constexpr qint64 kReadLimit = 16;
// Notepad starts a file saved as UTF-8 with it.
const char kByteOrderMark[] = "\xEF\xBB\xBF";

#ifndef Q_OS_WIN
bool writeWord(int fd, const QByteArray &word)
{
    return ::write(fd, word.constData(), size_t(word.size())) == ssize_t(word.size())
           && ::fsync(fd) == 0;
}

// No new file can be made in a folder the user may not write to. A regular file there
// that the user may write to is then rewritten in place; anything else is left alone.
bool rewriteInPlace(const QByteArray &target, const QByteArray &word)
{
    const int fd
            = ::open(target.constData(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::ftruncate(fd, 0) == 0
              && writeWord(fd, word);
    ok = ::close(fd) == 0 && ok;
    return ok;
}
#endif
} // namespace

bool readLanguageWord(const QString &path, QByteArray &word)
{
    // Reading through a link is harmless; writing through one is what is never done.
    QByteArray bytes;
    if (!readRegularFile(path, kReadLimit, bytes, SymLinks::Follow))
        return false;
    if (bytes.startsWith(kByteOrderMark))
        bytes.remove(0, qsizetype(sizeof kByteOrderMark) - 1);
    const qsizetype end = bytes.indexOf('\n');
    word = end >= 0 ? bytes.left(end) : bytes;
    if (word.endsWith('\r'))
        word.chop(1);
    return true;
}

bool writeLanguageWord(const QString &path, const QByteArray &word)
{
    // Rewriting the same bytes would cost a disk sync on every start.
    QByteArray current;
    if (readRegularFile(path, word.size() + 1, current, SymLinks::Follow) && current == word)
        return true;
    // Something else someone put there on purpose (a link, a FIFO, a socket, a device, a
    // folder) is not ours to replace, nor to write through.
    const QFileInfo entry(path);
    if (entry.isSymLink() || (entry.exists() && !entry.isFile()))
        return false;

#ifdef Q_OS_WIN
    // Written beside and moved over the old file, so an interrupted write leaves the old
    // choice; in a folder the user may not write to, a writable file is rewritten in
    // place.
    return saveFileContents(path, word);
#else
    // A new file beside the old one, renamed over its name: an interrupted write leaves the
    // old choice rather than a cut word. A link that appeared meanwhile would be replaced,
    // not written through. O_EXCL with O_NOFOLLOW never opens anything that was
    // already there under the temporary name.
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        temporary
                = target + ".new-" + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    0666);
        if (fd < 0 && errno == EACCES)
            return rewriteInPlace(target, word);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    bool ok = writeWord(fd, word);
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(temporary.constData(), target.constData()) == 0;
    if (!ok)
        ::unlink(temporary.constData());
    return ok;
#endif
}
