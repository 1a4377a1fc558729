#pragma once

#include <QString>

class QSerialPortInfo;

// One serial port as the port dialog lists it. The system's enumeration cannot
// describe ports given on the command line (pseudo-terminals, unusual device
// paths), so the program keeps its own description.
struct PortDescription
{
    QString portName;         // what the system calls it (COM3, ttyUSB0, /dev/pts/4)
    QString description;      // human-readable
    QString systemLocation;   // what QSerialPort::setPortName() is given
    bool commandLine = false; // given with --port; views name it in their own language

    bool isNull() const { return portName.isEmpty(); }
    static PortDescription fromInfo(const QSerialPortInfo &info);
};
