#include "link/switchjob.h"

#include "document/configdiff.h"
#include "document/journal.h"
#include "document/ovsfile.h"
#include "document/restorepoints.h"

#include <QCoreApplication>
#include <QRegularExpression>

SwitchJob::SwitchJob(const Plan &plan, QObject *parent)
    : QObject(parent)
    , m_plan(plan)
    , m_connection(m_document)
{
    if (m_plan.kind == Kind::Transmit)
        m_document.currentConfig = m_plan.send;
    else
        m_document.currentConfig.channelCount = quint8(m_plan.configuredChannels);
    m_document.stagingConfig = m_document.currentConfig;
    connect(&m_connection, &LinkConnection::finished, this, &SwitchJob::exchangeDone);
    connect(&m_connection, &LinkConnection::failed, this, &SwitchJob::exchangeFailed);
    // Nobody is asked: a switch with another channel count gets nothing unless the plan
    // says so.
    connect(&m_connection, &LinkConnection::countMismatch, this, [this] {
        m_stepOutcome = Outcome::Mismatch;
        m_connection.closeNow();
    });
    connect(&m_connection, &LinkConnection::closed, this, &SwitchJob::released);
    connect(&m_connection.report(), &ExchangeReport::progressChanged, this,
            &SwitchJob::progressChanged);
}

SwitchJob::~SwitchJob() = default;

void SwitchJob::start()
{
    if (m_outcome != Outcome::Running || m_connection.stage() != LinkConnection::Stage::Idle)
        return;
    connectFor(m_plan.kind == Kind::Transmit ? Step::Writing : Step::Reading, m_plan.bitrates);
}

void SwitchJob::connectFor(Step step, const QList<int> &bitrates)
{
    m_step = step;
    m_stepOutcome = Outcome::Running;
    LinkConnection::Request request;
    request.port = m_plan.port;
    request.bitrates = bitrates;
    request.continueOnMismatch = m_plan.continueOnMismatch;
    if (step == Step::Writing) {
        request.action = ExchangeReport::Action::Transmit;
        request.toSend = m_plan.send;
        const Link::RestorePointHook before
                = m_plan.restorePoints
                          ? restorePointSaver(*m_plan.restorePoints, m_plan.port, m_restorePoint)
                          : m_plan.check;
        // What the switch held is kept for going back, and for what it holds afterwards.
        request.beforeWrite = [this, before](const Configuration &previous, QString *why) {
            m_previous = previous;
            return !before || before(previous, why);
        };
    }
    m_connection.start(request);
}

void SwitchJob::exchangeDone()
{
    switch (m_step) {
    case Step::Reading:
        m_stepOutcome = Outcome::Done;
        break;
    case Step::Writing:
        m_wrote = true;
        m_stepOutcome = Outcome::Done;
        // The readout that verifies it follows the closing frame's quiet line.
        if (m_plan.verify)
            return m_connection.close();
        break;
    case Step::Verifying:
        m_differences = diffConfigurations(m_plan.send, m_document.stagingConfig);
        m_stepOutcome = m_differences.isEmpty() ? Outcome::Done : Outcome::Differs;
        break;
    }
    m_connection.closeNow();
}

void SwitchJob::exchangeFailed(LinkConnection::Failure failure, const QString &reason)
{
    m_failure = failure;
    m_reason = reason;
    if (m_step == Step::Writing)
        m_wrote = m_connection.link().wroteAnything();
    m_stepOutcome = Outcome::Failed;
    m_connection.closeNow();
}

void SwitchJob::cancel()
{
    if (m_outcome != Outcome::Running)
        return;
    if (m_step == Step::Writing)
        m_wrote = m_connection.link().wroteAnything();
    m_stepOutcome = Outcome::Cancelled;
    if (m_connection.stage() == LinkConnection::Stage::Idle)
        return concludeStep();
    m_connection.closeNow();
}

// The switch is released: what the step did goes into the journal, and the next step
// or the end follows.
void SwitchJob::released()
{
    if (m_outcome != Outcome::Running || m_stepOutcome == Outcome::Running)
        return;
    concludeStep();
}

void SwitchJob::concludeStep()
{
    const bool ok = m_stepOutcome == Outcome::Done;
    const QString why = m_stepOutcome == Outcome::Cancelled
                                ? QCoreApplication::translate("SwitchJob", "cancelled")
                                : failureMessage(m_failure, configuredChannels())
                                          + (m_reason.isEmpty() ? QString() : ' ' + m_reason);
    switch (m_step) {
    case Step::Reading: {
        Outcome outcome = m_stepOutcome;
        if (ok)
            rememberRead();
        if (ok && !m_plan.saveTo.isEmpty() && !writeOvsFile(m_plan.saveTo, read()))
            outcome = Outcome::SaveFailed;
        journal(m_plan.action, outcome == Outcome::Done,
                outcome == Outcome::SaveFailed
                        ? QCoreApplication::translate("CorvaneCfg", "Could not save file!")
                        : why,
                m_plan.saveTo, ok ? &read() : nullptr);
        return conclude(outcome);
    }
    case Step::Writing:
        journal(m_plan.action, ok,
                m_stepOutcome == Outcome::Mismatch
                        ? QStringLiteral("the switch has %1 channels, not %2")
                                  .arg(deviceChannels())
                                  .arg(m_plan.send.channelCount)
                        : why,
                m_plan.sendFrom, &m_plan.send, m_restorePoint);
        if (ok || m_wrote) {
            // A write that failed part-way leaves a switch of which nothing is known.
            QString error;
            LastKnown known;
            if (!(ok ? known.rememberWrite(m_plan.port, m_plan.send, deviceChannels(),
                                           m_previous ? &*m_previous : nullptr, &error)
                     : known.forget(m_plan.port, deviceChannels(), &error)))
                m_journalProblems << error;
        }
        if (ok && m_plan.verify)
            return connectFor(Step::Verifying, {bitrate()});
        return conclude(m_stepOutcome);
    case Step::Verifying:
        // Whatever it found, the switch holds what was read.
        if (ok || m_stepOutcome == Outcome::Differs)
            rememberRead();
        journal(QStringLiteral("verify"), ok,
                m_stepOutcome == Outcome::Differs
                        ? QStringLiteral("the switch does not hold what was sent: ")
                                  + m_differences.join(QStringLiteral("; "))
                        : why,
                m_plan.sendFrom, ok ? &read() : nullptr);
        return conclude(m_stepOutcome);
    }
}

void SwitchJob::journal(const QString &action, bool ok, const QString &reason, const QString &file,
                        const Configuration *config, const QString &restorePoint)
{
    QString error;
    if (!Journal().append(Journal::exchangeEntry(m_plan.source, action, m_plan.port, ok, reason,
                                                 file, config, restorePoint),
                          &error))
        m_journalProblems << error;
}

void SwitchJob::rememberRead()
{
    LastKnown known;
    m_knownBefore = known.recall(m_plan.port, read().channelCount);
    QString error;
    if (!known.remember(m_plan.port, read(), &error))
        m_journalProblems << error;
}

void SwitchJob::conclude(Outcome outcome)
{
    m_outcome = outcome;
    emit finished();
}

Link::RestorePointHook restorePointSaver(RestorePoints &points, const QString &port,
                                         QString &savedPath)
{
    return [&points, port, &savedPath](const Configuration &previous, QString *why) {
        QString error;
        savedPath = points.save(previous, port, &error);
        if (!savedPath.isEmpty())
            return true;
        if (why)
            *why = QCoreApplication::translate("SwitchJob",
                                               "The switch's configuration could not be kept "
                                               "as a restore point (%1); nothing was sent.")
                           .arg(error);
        return false;
    };
}

QString backupFileName(const QString &port)
{
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    const QStringList parts = port.split(separators, Qt::SkipEmptyParts);
    QString name = parts.isEmpty() ? QString() : parts.last();
    for (QChar &c : name) {
        if (c.unicode() < 0x20 || QStringLiteral("<>:\"|?*").contains(c))
            c = QLatin1Char('_');
    }
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("_");
#ifdef Q_OS_WIN
    // COM3.ovs would name the port itself, not a file.
    static const QRegularExpression reserved(QStringLiteral("^(CON|PRN|AUX|NUL|COM\\d|LPT\\d)$"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (reserved.match(name).hasMatch())
        name += QLatin1Char('_');
#endif
    return name + QStringLiteral(".ovs");
}
