#include "link/switchprobe.h"

#include <QCoreApplication>

QString switchModelText(int channels, int bitrate)
{
    return QCoreApplication::translate("SwitchProbe", "Vorrix %1 at %2 bit/s")
            .arg(channels)
            .arg(bitrate);
}

SwitchProbe::SwitchProbe(const QString &portName, const QList<int> &bitrates, QObject *parent)
    : QObject(parent)
    , m_portName(portName)
    , m_bitrates(bitrates)
    , m_connection(m_document)
{
    connect(&m_connection, &LinkConnection::finished, this, &SwitchProbe::found);
    connect(&m_connection, &LinkConnection::failed, this, &SwitchProbe::failed);
    connect(&m_connection, &LinkConnection::closed, this, &SwitchProbe::closed);
}

SwitchProbe::~SwitchProbe()
{
    stop();
}

void SwitchProbe::start()
{
    if (m_running)
        return;
    m_running = true;
    m_result = ProbeResult();
    if (m_bitrates.isEmpty())
        return closed();
    LinkConnection::Request request;
    request.port = m_portName;
    request.bitrates = m_bitrates;
    request.probe = true;
    request.helloDeadlineMs = kProbeWindowMs;
    m_connection.start(request);
}

void SwitchProbe::stop()
{
    if (!m_running)
        return;
    m_running = false;
    m_connection.closeNow();
}

void SwitchProbe::found()
{
    m_result.outcome = ProbeResult::Outcome::Found;
    m_result.channels = m_document.stagingConfig.deviceChannels;
    m_result.bitrate = m_connection.bitrate();
    m_connection.close();
}

void SwitchProbe::failed(LinkConnection::Failure failure, const QString &reason)
{
    if (failure != LinkConnection::Failure::NoAnswer) {
        m_result.outcome = ProbeResult::Outcome::PortFailed;
        m_result.reason = reason;
    }
    m_connection.close();
}

// The closing frame has had its time on the line before the port closed.
void SwitchProbe::closed()
{
    if (!m_running)
        return;
    m_running = false;
    emit finished();
}
