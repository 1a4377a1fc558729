#pragma once

#include <QSerialPort>
#include <QString>

// What went wrong with a serial port, told apart once for every place that reports it.
enum class PortFault {
    None,
    NoSuchPort,
    PermissionDenied, // this user may not open the device
    InUse,            // another program holds it
    DeviceRemoved,    // the device went away under an open port
    Other,
};

// Classifies the error of a port that failed to open or failed under an exchange. With
// the device's resolved path, the file itself decides between a missing device, one the
// user may not open and one another program holds, which Qt reports alike.
PortFault classifyPortFault(QSerialPort::SerialPortError error, const QString &path = {});

// The group whose members may open the device at `path`; "dialout" when it is unknown.
QString serialPortGroup(const QString &path);

// Why a serial port could not be opened, in words for the operator: no such port, in
// use by another program, permission denied (on Linux naming the group whose members
// may open serial ports), or else the system's own text. `name` is the name the port
// was asked for; `port` holds the error of the failed opening.
QString portOpenFailureReason(const QSerialPort &port, const QString &name);

// The far end of an open port went away (an adapter pulled out, an emulator ended).
QString portLostReason();
