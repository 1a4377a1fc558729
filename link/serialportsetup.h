#pragma once

#include <QString>

class QSerialPort;

// Opens `portName` (a system name or an absolute device path) for reading and
// writing if it is not open yet, applies the line settings in the order rate (both
// directions), 8 data bits, no parity, one stop bit, no flow control, and discards
// stale input. False when the port reports any error; the caller shows the message.
bool openSerialPort(QSerialPort &port, const QString &portName, int bitrate);
