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
    for (const QString &name : portNames)
        m_probes.push_back(std::make_unique<SwitchProbe>(name, bitrates));
    m_pending = int(m_probes.size());
    for (size_t i = 0; i < m_probes.size(); ++i) {
        connect(m_probes[i].get(), &SwitchProbe::finished, this, [this, i] {
            --m_pending;
            emit portDone(int(i));
            if (m_pending == 0)
                emit finished();
        });
    }
    if (m_probes.empty()) {
        emit finished();
        return;
    }
    for (const auto &probe : m_probes)
        probe->start();
}

void PortFinder::stop()
{
    for (const auto &probe : m_probes) {
        probe->disconnect(this);
        probe->stop();
    }
    m_pending = 0;
}
