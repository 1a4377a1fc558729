#include "portdescription.h"

#include <QSerialPortInfo>

PortDescription PortDescription::fromInfo(const QSerialPortInfo &info)
{
    return {info.portName(), info.description(), info.systemLocation()};
}
