#pragma once

#include <QString>

class QSerialPort;

// Why a serial port could not be opened, in words for the operator: no such port, in
// use by another program, permission denied (on Linux naming the group whose members
// may open serial ports), or else the system's own text. `name` is the name the port
// was asked for; `port` holds the error of the failed opening.
QString portOpenFailureReason(const QSerialPort &port, const QString &name);

// The far end of an open port went away (an adapter pulled out, an emulator ended).
QString portLostReason();
