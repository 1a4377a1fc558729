#pragma once

#include "link/portdescription.h"

#include <QList>
#include <QStringList>

#include <functional>

// The serial ports the port dialog offers: the ports given on the command line first,
// then the ports the system enumerates. Read anew on every refresh.
class PortList
{
public:
    using Enumerator = std::function<QList<PortDescription>()>;

    // Uses the system's enumeration unless another one is given (tests).
    explicit PortList(Enumerator enumerator = {});

    // Paths given with --port; they stay at the top of the list across refreshes.
    void setExtraPorts(const QStringList &paths);
    const QList<PortDescription> &extraPorts() const { return m_extra; }

    void refresh();

    const QList<PortDescription> &ports() const { return m_ports; }
    int size() const { return int(m_ports.size()); }
    const PortDescription &at(int row) const { return m_ports.at(row); }

    static QList<PortDescription> systemPorts();

private:
    Enumerator m_enumerator;
    QList<PortDescription> m_extra;
    QList<PortDescription> m_ports;
};
