#include "link/portfinder.h"

QList<int> probeBitrates(int onlyBitrate)
{
    if (onlyBitrate != 0)
        return {onlyBitrate};
    return {115200, 9600};
}

PortFinder::PortFinder(QObject *parent)
    : QObject(parent)
{
}

PortFinder::~PortFinder()
{
    stop();
}

void PortFinder::start(const QStringList &portNames, const QList<int> &bitrates)
{
    stop();
    m_probes.clear();
    add(portNames, bitrates);
}

void PortFinder::add(const QStringList &portNames, const QList<int> &bitrates)
{
    const size_t first = m_probes.size();
    for (const QString &name : portNames)
        m_probes.push_back(std::make_unique<SwitchProbe>(name, bitrates));
    m_pending += int(m_probes.size() - first);
    for (size_t i = first; i < m_probes.size(); ++i) {
        connect(m_probes[i].get(), &SwitchProbe::finished, this, [this, i] {
            --m_pending;
            emit portDone(int(i));
            if (m_pending == 0)
                emit finished();
        });
    }
    if (m_pending == 0) {
        emit finished();
        return;
    }
    for (size_t i = first; i < m_probes.size(); ++i)
        m_probes[i]->start();
}

void PortFinder::stop()
{
    for (const auto &probe : m_probes) {
        probe->disconnect(this);
        probe->stop();
    }
    m_pending = 0;
}
