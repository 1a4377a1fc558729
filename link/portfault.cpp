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

QString portOpenFailureReason(const QSerialPort &port, const QString &name)
{
#ifndef Q_OS_WIN
    // Qt reports a lock held by another program and a device the user may not open
    // alike; the file itself tells them apart.
    const QString path = resolvedPortName(name);
    if (path.startsWith(QLatin1Char('/'))) {
        if (!QFileInfo::exists(path))
            return tr("No such port.");
        if (::access(QFile::encodeName(path).constData(), R_OK | W_OK) != 0 && errno == EACCES)
            return permissionDenied();
    }
#else
    Q_UNUSED(name)
#endif
    switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
        return tr("No such port.");
    case QSerialPort::PermissionError:
        return tr("The port is in use by another program.");
    case QSerialPort::NoError:
        break;
    default:
        if (!port.errorString().isEmpty())
            return port.errorString();
        break;
    }
    return tr("The port refused the line settings.");
}

QString portLostReason()
{
    return tr("The port went away.");
}
