#pragma once

#include <QString>

class QSerialPort;

// The path a port is opened by: a path relative to the working directory made
// absolute, and links followed to the device, so that every name of one device opens
// it under the same name. Names of nothing that exists stay as they are, and so do
// Windows port names (COM3, \\.\COM10).
QString resolvedPortName(const QString &name);

// Opens `portName` (a system name or a device path) by its resolved name for reading
// and writing if it is not open yet, applies the line settings in the order rate (both
// directions), 8 data bits, no parity, one stop bit, no flow control, and discards
// stale input. False when the port reports any error; the caller shows the message.
bool openSerialPort(QSerialPort &port, const QString &portName, int bitrate);

// Lets what is queued for the port leave before the port closes, waiting at most
// `msecs`. Closing a port drops what it has not sent yet.
void drainSerialPort(QSerialPort &port, int msecs);
