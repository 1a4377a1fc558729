#include "link/portwatch.h"

#include "link/portlist.h"

#include <QSet>

namespace {
QSet<QString> portNames(const QList<PortDescription> &ports)
{
    QSet<QString> names;
    for (const PortDescription &port : ports)
        names.insert(port.portName);
    return names;
}
} // namespace

PortWatch::PortWatch(const PortList &ports, QObject *parent)
    : QObject(parent)
    , m_ports(ports)
{
    m_timer.setInterval(kIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &PortWatch::check);
}

void PortWatch::start()
{
    m_timer.start();
}

void PortWatch::stop()
{
    m_timer.stop();
}

void PortWatch::check()
{
    const QSet<QString> now = portNames(m_ports.enumerate());
    const QSet<QString> before = portNames(m_ports.systemPortsFound());
    if (now == before)
        return;
    QStringList appeared = QSet<QString>(now).subtract(before).values();
    appeared.sort();
    emit portsChanged(appeared);
}
