#include "link/serialportsetup.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QVariant>

bool openSerialPort(QSerialPort &port, const QString &name, int bitrate)
{
    // QSerialPort reads a relative name as a file under /dev; a path given relative
    // to the working directory (a link made by the emulator) is meant as it stands.
    const QString portName
            = !name.startsWith('/') && (name.contains('/') || QFileInfo::exists(name))
                      ? QFileInfo(name).absoluteFilePath()
                      : name;
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
