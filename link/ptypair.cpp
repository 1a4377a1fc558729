#include "link/ptypair.h"

#ifdef Q_OS_WIN

PtyPair::~PtyPair() = default;

bool PtyPair::open()
{
    m_error = QStringLiteral("Windows has no pseudo-terminals");
    return false;
}

void PtyPair::close() {}

int PtyPair::clientBitrate() const
{
    return 0;
}

qint64 PtyPair::read(char *, qint64)
{
    return -1;
}

qint64 PtyPair::write(const char *, qint64)
{
    return 0;
}

#else

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PtyPair::~PtyPair()
{
    close();
}

bool PtyPair::open()
{
    close();
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (::openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        m_master = m_slave = -1;
        return false;
    }
    const int flags = ::fcntl(m_master, F_GETFL);
    ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK);
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
    m_slavePath = QString::fromLocal8Bit(name);
    return true;
}

void PtyPair::close()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = m_slave = -1;
    m_slavePath.clear();
}

qint64 PtyPair::read(char *data, qint64 maxSize)
{
    if (m_master < 0)
        return -1;
    for (;;) {
        const ssize_t n = ::read(m_master, data, size_t(maxSize));
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        // EAGAIN: drained. EIO cannot happen while the pair holds the slave open.
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
}

qint64 PtyPair::write(const char *data, qint64 size)
{
    qint64 written = 0;
    while (m_master >= 0 && written < size) {
        const ssize_t n = ::write(m_master, data + written, size_t(size - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // the client's input buffer is full
        written += n;
    }
    return written;
}

int PtyPair::clientBitrate() const
{
    termios t{};
    if (m_master < 0 || ::tcgetattr(m_master, &t) != 0)
        return 0;
    switch (::cfgetispeed(&t)) {
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return 0;
    }
}

#endif
