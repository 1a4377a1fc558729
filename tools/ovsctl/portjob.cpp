#include "portjob.h"

#include "messages.h"
#include "ovsctljournal.h"

#include "document/configdiff.h"

#include <QTimer>

QString switchModelText(int channels, int bitrate)
{
    return QString("Vorrix %1 at %2 bit/s").arg(channels).arg(bitrate);
}

namespace {

// A failure of several lines (the port's message and its reason) as one.
QString oneLine(const QString &text)
{
    return text.split('\n', Qt::SkipEmptyParts).join(' ');
}

} // namespace

PortJob::PortJob(const Plan &plan, QObject *parent)
    : QObject(parent)
    , m_plan(plan)
{
    if (m_plan.direction == kDirectionTransmit) {
        m_document.currentConfig = m_plan.send;
    } else {
        // As ovsctl read: a 4-channel configuration picks the message for a silent switch.
        m_document.currentConfig.channelCount = 4;
    }
    m_document.stagingConfig = m_document.currentConfig;
}

PortJob::~PortJob() = default;

void PortJob::start()
{
    m_nextBitrate = 1;
    connectAt(m_plan.direction, m_plan.bitrates.value(0, 115200));
}

void PortJob::connectAt(quint8 direction, int bitrate)
{
    m_bitrate = bitrate;
    DeviceSession::Options options;
    options.port = m_plan.port;
    options.bitrate = bitrate;
    options.direction = direction;
    options.continueOnMismatch = m_plan.continueOnMismatch;
    if (direction == kDirectionReadout && !m_verifying)
        options.outputFile = m_plan.saveTo;
    if (direction == kDirectionTransmit && m_plan.restorePoints)
        options.restorePointHook
                = restorePointSaver(*m_plan.restorePoints, m_plan.port, m_restorePoint);
    // Sessions that ended stay until the job goes: the last one is still on the stack
    // that emitted its finished().
    m_sessions.push_back(std::make_unique<DeviceSession>(options, m_document));
    DeviceSession *session = m_sessions.back().get();
    connect(session, &DeviceSession::finished, this, &PortJob::sessionFinished);
    session->start();
}

void PortJob::afterQuietLine(quint8 direction, int bitrate)
{
    QTimer::singleShot(kClosingDelayMs, Qt::PreciseTimer, this,
                       [this, direction, bitrate] { connectAt(direction, bitrate); });
}

void PortJob::sessionFinished()
{
    const DeviceSession &s = *m_sessions.back();
    if (s.helloUnanswered() && m_nextBitrate < m_plan.bitrates.size()) {
        const quint8 direction = m_verifying ? kDirectionReadout : m_plan.direction;
        return afterQuietLine(direction, m_plan.bitrates.at(m_nextBitrate++));
    }
    if (s.exitCode() != ExitOk)
        return conclude(false, oneLine(s.errorText()));
    const Configuration &read = m_document.stagingConfig;
    if (m_plan.direction == kDirectionReadout) {
        return conclude(true,
                        QString("%1, saved to %2")
                                .arg(switchModelText(read.channelCount, m_bitrate), m_plan.saveTo));
    }
    if (!m_verifying && m_plan.verify) {
        addToJournal("restore", m_plan.port, true, QString(), m_plan.sendFrom, &m_plan.send,
                     m_restorePoint);
        m_verifying = true;
        // The bitrate that answered is the one to verify at.
        m_nextBitrate = m_plan.bitrates.size();
        return afterQuietLine(kDirectionReadout, m_bitrate);
    }
    if (!m_verifying)
        return conclude(true, s.output());
    const QStringList differences = diffConfigurations(m_plan.send, read);
    if (differences.isEmpty())
        return conclude(true,
                        Msg::transmissionComplete() + " Verified: the switch holds what was sent.");
    conclude(false, Msg::transmissionComplete()
                            + " Verification failed: the switch does not hold what was sent "
                              "(sent → stored): "
                            + differences.join("; "));
}

void PortJob::conclude(bool ok, const QString &text)
{
    const Configuration *read = ok ? &m_document.stagingConfig : nullptr;
    if (m_plan.direction == kDirectionReadout)
        addToJournal("backup", m_plan.port, ok, text, m_plan.saveTo, read);
    else if (m_verifying)
        addToJournal("verify", m_plan.port, ok, text, m_plan.sendFrom, read);
    else
        addToJournal("restore", m_plan.port, ok, text, m_plan.sendFrom, &m_plan.send,
                     m_restorePoint);
    m_finished = true;
    m_succeeded = ok;
    m_text = text;
    emit finished();
}
