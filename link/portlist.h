#pragma once

#include "link/portdescription.h"
#include "link/switchprobe.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <functional>

// The serial ports the port dialog offers: the ports given on the command line first,
// then the ports the system enumerates. Read anew on every refresh; the system is not
// asked before the first one. What a probe found on a port is kept by port name for
// as long as the list lives.
class PortList
{
public:
    using Enumerator = std::function<QList<PortDescription>()>;

    // Uses the system's enumeration unless another one is given (tests).
    explicit PortList(Enumerator enumerator = {});

    // Paths given with --port; they stay at the top of the list across refreshes.
    // Setting them does not enumerate the system's ports.
    void setExtraPorts(const QStringList &paths);
    const QList<PortDescription> &extraPorts() const { return m_extra; }

    void refresh();
    bool isEnumerated() const { return m_enumerated; }
    // Asks the system without changing the list: for a watch that compares.
    QList<PortDescription> enumerate() const { return m_enumerator(); }
    // The system's ports as the last refresh found them.
    const QList<PortDescription> &systemPortsFound() const { return m_found; }

    void setFinding(const QString &portName, const ProbeResult &result);
    // Null when no probe has finished on that port.
    const ProbeResult *finding(const QString &portName) const;

    const QList<PortDescription> &ports() const { return m_ports; }
    int size() const { return int(m_ports.size()); }
    const PortDescription &at(int row) const { return m_ports.at(row); }

    static QList<PortDescription> systemPorts();

private:
    void rebuild();

    Enumerator m_enumerator;
    QList<PortDescription> m_extra;
    QList<PortDescription> m_found;
    QList<PortDescription> m_ports;
    QHash<QString, ProbeResult> m_findings;
    bool m_enumerated = false;
};
