#include "link/portfault.h"

#include "link/serialportsetup.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>

#ifndef Q_OS_WIN
#include <cerrno>
#include <unistd.h>
#endif

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("PortFault", text);
}

QString permissionDenied()
{
#ifdef Q_OS_LINUX
    return tr("Permission denied. Serial ports are open to the members of the group 'dialout' "
              "(sudo usermod -aG dialout $USER, then log in again).");
#else
    return tr("Permission denied.");
#endif
}

} // namespace

PortFault classifyPortFault(QSerialPort::SerialPortError error, const QString &path)
{
#ifndef Q_OS_WIN
    if (path.startsWith(QLatin1Char('/'))) {
        if (!QFileInfo::exists(path))
            return PortFault::NoSuchPort;
        if (::access(QFile::encodeName(path).constData(), R_OK | W_OK) != 0 && errno == EACCES)
            return PortFault::PermissionDenied;
    }
#else
    Q_UNUSED(path)
#endif
    switch (error) {
    case QSerialPort::NoError:
        return PortFault::None;
    case QSerialPort::DeviceNotFoundError:
        return PortFault::NoSuchPort;
    case QSerialPort::PermissionError:
        // The device itself may be opened (checked above), or on Windows, which opens a
        // port for one program at a time: another program holds it.
        return PortFault::InUse;
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
        // What Qt reports when the device goes away under an open port.
        return PortFault::DeviceRemoved;
    default:
        return PortFault::Other;
    }
}

QString serialPortGroup(const QString &path)
{
    const QString group = path.isEmpty() ? QString() : QFileInfo(path).group();
    return group.isEmpty() ? QStringLiteral("dialout") : group;
}

QString portOpenFailureReason(const QSerialPort &port, const QString &name)
{
    switch (classifyPortFault(port.error(), resolvedPortName(name))) {
    case PortFault::NoSuchPort:
        return tr("No such port.");
    case PortFault::PermissionDenied:
        return permissionDenied();
    case PortFault::InUse:
        return tr("The port is in use by another program.");
    case PortFault::None:
        return tr("The port refused the line settings.");
    case PortFault::DeviceRemoved:
    case PortFault::Other:
        break;
    }
    if (!port.errorString().isEmpty())
        return port.errorString();
    return tr("The port refused the line settings.");
}

QString portLostReason()
{
    return tr("The port went away.");
}
