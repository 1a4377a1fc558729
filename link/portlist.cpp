#include "portlist.h"

#include <QSerialPortInfo>

#include <algorithm>
#include <utility>

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
        m_extra.append({path, QStringLiteral("Command line"), path, true});
    }
    rebuild();
}

void PortList::refresh()
{
    m_found = m_enumerator();
    m_enumerated = true;
    rebuild();
}

void PortList::setFinding(const QString &portName, const ProbeResult &result)
{
    m_findings.insert(portName, result);
}

const ProbeResult *PortList::finding(const QString &portName) const
{
    const auto it = m_findings.constFind(portName);
    return it == m_findings.cend() ? nullptr : &it.value();
}

void PortList::rebuild()
{
    m_ports = m_extra;
    for (const PortDescription &port : std::as_const(m_found)) {
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
