#include "app/languagefile.h"

#include "document/regularfile.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
// Longer than either word with CR LF: a longer first line is no word anyway, so reading
// no further gives the same answer for a file of any size.
constexpr qint64 kReadLimit = 16;
} // namespace

bool readLanguageWord(const QString &path, QByteArray &word)
{
    QByteArray bytes;
    if (!readRegularFile(path, kReadLimit, bytes, SymLinks::Refuse))
        return false;
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
    if (readRegularFile(path, word.size() + 1, current, SymLinks::Refuse) && current == word)
        return true;

    // A new file beside the old one, renamed over its name. rename() replaces whatever has
    // the name, a link itself and not its target, and an interrupted write leaves the old
    // choice rather than a cut word. O_EXCL with O_NOFOLLOW never opens anything that was
    // already there under the temporary name.
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        temporary
                = target + ".new-" + QByteArray::number(QRandomGenerator::global()->generate(), 16);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                    0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    bool ok = ::write(fd, word.constData(), size_t(word.size())) == ssize_t(word.size())
              && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(temporary.constData(), target.constData()) == 0;
    if (!ok)
        ::unlink(temporary.constData());
    return ok;
}
