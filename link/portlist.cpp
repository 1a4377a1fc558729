#include "portlist.h"

#include <QSerialPortInfo>

#include <algorithm>

PortList::PortList(Enumerator enumerator)
    : m_enumerator(enumerator ? std::move(enumerator) : Enumerator(&PortList::systemPorts))
{
}

void PortList::setExtraPorts(const QStringList &paths)
{
    m_extra.clear();
    for (const QString &path : paths) {
        if (path.isEmpty())
            continue;
        // A path is its own name: the system has no other name for a pseudo-terminal.
        // The description names where the port came from; like the --port option
        // itself, it stays untranslated.
        m_extra.append({path, QStringLiteral("Command line"), path});
    }
    refresh();
}

void PortList::refresh()
{
    m_ports = m_extra;
    const QList<PortDescription> found = m_enumerator();
    for (const PortDescription &port : found) {
        // A command-line path may also be listed by the system; show it once.
        const bool duplicate = std::any_of(m_extra.cbegin(), m_extra.cend(),
                                           [&port](const PortDescription &extra) {
                                               return extra.systemLocation == port.systemLocation
                                                      || extra.portName == port.portName;
                                           });
        if (!duplicate)
            m_ports.append(port);
    }
}

QList<PortDescription> PortList::systemPorts()
{
    QList<PortDescription> ports;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos)
        ports.append(PortDescription::fromInfo(info));
    return ports;
}
