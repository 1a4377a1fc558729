#include "link/serialportsetup.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QThread>
#include <QVariant>

QString resolvedPortName(const QString &name)
{
    if (name.isEmpty())
        return name;
#ifdef Q_OS_WIN
    // COM3, \\.\COM10: Windows names its ports, they are no files, and it keeps no
    // lock files; the system refuses a second opening of a port by itself.
    return name;
#else
    // QSerialPort reads a relative name as a file under /dev; a path given relative
    // to the working directory (a link made by the emulator) is meant as it stands.
    QString path = name;
    if (!name.startsWith('/')) {
        if (name.contains('/') || QFileInfo::exists(name))
            path = QFileInfo(name).absoluteFilePath();
        else if (QFileInfo::exists(QStringLiteral("/dev/") + name))
            path = QStringLiteral("/dev/") + name;
    }
    // The port's lock file is named after the path it is opened by. Opened by the
    // device itself rather than by one of its links (/dev/serial/by-id/..., a udev
    // alias), every name of one device shares the lock, so a second program that
    // reaches the device under another name finds it in use.
    if (path.startsWith('/')) {
        const QString canonical = QFileInfo(path).canonicalFilePath();
        if (!canonical.isEmpty())
            path = canonical;
    }
    return path;
#endif
}

bool openSerialPort(QSerialPort &port, const QString &name, int bitrate)
{
    const QString portName = resolvedPortName(name);
    // portName() shortens device paths, so the name asked for is kept on the port.
    const char *const kRequested = "ovsRequestedPortName";
    if (!port.isOpen() || port.property(kRequested).toString() != portName) {
        if (port.isOpen())
            port.close();
        port.setPortName(portName);
        port.setProperty(kRequested, portName);
        // An error left from an earlier connection must not fail this one.
        port.clearError();
        if (!port.open(QIODevice::ReadWrite))
            return false;
    }
    const bool settingsOk = port.setBaudRate(bitrate, QSerialPort::AllDirections)
                            && port.setDataBits(QSerialPort::Data8)
                            && port.setParity(QSerialPort::NoParity)
                            && port.setStopBits(QSerialPort::OneStop)
                            && port.setFlowControl(QSerialPort::NoFlowControl);
    // Qt 6.4 keeps input that arrived before open().
    port.clear();
    return settingsOk && port.error() == QSerialPort::NoError;
}

void drainSerialPort(QSerialPort &port, int msecs)
{
#ifdef Q_OS_WIN
    // Qt 6.4's waitForBytesWritten() on Windows takes a completion from an empty queue
    // when the event loop has already handled two completions reported together (seen
    // under Wine after a transmission), and crashes. flush() hands the bytes to the
    // system at once; they need only their time on the line.
    const qint64 queued = port.bytesToWrite();
    port.flush();
    const int baud = qMax(port.baudRate(), 1);
    const qint64 lineMs = (queued * 10 * 1000 + baud - 1) / baud + 5;
    if (queued > 0)
        QThread::msleep(ulong(qMin<qint64>(lineMs, msecs)));
#else
    port.flush();
    if (port.bytesToWrite() > 0)
        port.waitForBytesWritten(msecs);
#endif
}
