#include "portjob.h"

#include "messages.h"
#include "ovsctljournal.h"

#include "document/configdiff.h"

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
    runSession(m_plan.direction, m_plan.bitrates);
}

void PortJob::runSession(quint8 direction, const QList<int> &bitrates)
{
    DeviceSession::Options options;
    options.port = m_plan.port;
    options.bitrates = bitrates;
    options.direction = direction;
    options.continueOnMismatch = m_plan.continueOnMismatch;
    if (direction == kDirectionReadout && !m_verifying)
        options.outputFile = m_plan.saveTo;
    if (direction == kDirectionTransmit) {
        if (m_plan.restorePoints)
            options.restorePointHook
                    = restorePointSaver(*m_plan.restorePoints, m_plan.port, m_restorePoint);
        options.connectionFollows = m_plan.verify;
    }
    // Sessions that ended stay until the job goes: the last one is still on the stack
    // that emitted its finished().
    m_sessions.push_back(std::make_unique<DeviceSession>(options, m_document));
    DeviceSession *session = m_sessions.back().get();
    QObject::connect(session, &DeviceSession::finished, this, &PortJob::sessionFinished);
    session->start();
}

void PortJob::sessionFinished()
{
    const DeviceSession &s = *m_sessions.back();
    if (s.exitCode() != ExitOk) {
        if (!m_verifying && s.wroteAnything())
            printWayBack(m_plan.port, s.bitrate(), m_restorePoint);
        return conclude(false, oneLine(s.errorText()));
    }
    const Configuration &read = m_document.stagingConfig;
    if (m_plan.direction == kDirectionReadout) {
        return conclude(
                true, QString("%1, saved to %2")
                              .arg(switchModelText(read.channelCount, s.bitrate()), m_plan.saveTo));
    }
    if (!m_verifying && m_plan.verify) {
        addToJournal("restore", m_plan.port, true, QString(), m_plan.sendFrom, &m_plan.send,
                     m_restorePoint);
        m_verifying = true;
        // At the bitrate that answered, after the transmission's quiet line.
        return runSession(kDirectionReadout, {s.bitrate()});
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
