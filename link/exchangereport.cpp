#include "link/exchangereport.h"

#include "document/configdiff.h"
#include "link/link.h"
#include "link/portfault.h"
#include "link/serialportsetup.h"

#include <algorithm>

ExchangeReport::ExchangeReport(QObject *parent)
    : QObject(parent)
{
}

void ExchangeReport::begin(Action action, const QString &port)
{
    m_running = true;
    m_action = action;
    m_port = port;
    m_step = Step{Phase::Hello};
    m_portReason = Reason::None;
    m_portDetail.clear();
    emit progressChanged(progress());
}

void ExchangeReport::track(const Link &link, const Configuration &staging)
{
    // A failure raised on this tick is told by exchangeFailed(), which names the step
    // tracked before it.
    if (!m_running || link.state().errorEvent)
        return;
    Step step = m_step;
    switch (link.outstandingCommand()) {
    case kCmdSwitchingState:
    case kCmdMouseSpeed:
        step = Step{Phase::Settings, 0, 0, true};
        break;
    case kCmdWriteSwitching:
    case kCmdWriteMouseSpeed:
        step = Step{Phase::Settings};
        break;
    case kCmdChannelRecord:
    case kCmdWriteRecord:
        step = Step{Phase::Record, link.outstandingRecord() + 1,
                    std::min<int>(staging.channelCount, kMaxChannels),
                    link.outstandingCommand() == kCmdChannelRecord};
        break;
    default:
        // The hello was answered and nothing is asked yet (the channel-count question
        // may be open); otherwise between two steps, or at the end, the last one stands.
        if (m_step.phase == Phase::Hello && !link.state().awaitingHello)
            step = Step{Phase::HelloAnswered};
        break;
    }
    if (step == m_step)
        return;
    m_step = step;
    emit progressChanged(progress());
}

ExchangeReport::Reason ExchangeReport::portReason(QSerialPort::SerialPortError error,
                                                  const QString &path, QString *detail)
{
    switch (classifyPortFault(error, path)) {
    case PortFault::None:
        return Reason::None;
    case PortFault::NoSuchPort:
        return Reason::NoSuchPort;
    case PortFault::PermissionDenied:
        *detail = serialPortGroup(path);
        return Reason::PermissionDenied;
    case PortFault::InUse:
        return Reason::InUse;
    case PortFault::DeviceRemoved:
        return Reason::DeviceRemoved;
    case PortFault::Other:
        break;
    }
    return Reason::PortError;
}

void ExchangeReport::openFailed(const QSerialPort &port, const QString &path)
{
    QString detail;
    const Reason reason = portReason(port.error(), resolvedPortName(path), &detail);
    fail(reason, reason == Reason::PortError ? port.errorString() : detail);
}

void ExchangeReport::writeFailed(const QSerialPort &port)
{
    QString detail;
    const Reason reason = portReason(port.error(), QString(), &detail);
    fail(reason, reason == Reason::PortError ? port.errorString() : detail);
}

void ExchangeReport::portFailed(QSerialPort::SerialPortError error)
{
    m_portReason = portReason(error, QString(), &m_portDetail);
}

void ExchangeReport::exchangeFailed(const QString &reason)
{
    if (m_portReason != Reason::None) {
        fail(m_portReason, m_portDetail);
        return;
    }
    if (!reason.isEmpty()) {
        fail(Reason::Explained, reason);
        return;
    }
    switch (m_step.phase) {
    case Phase::Hello:
        fail(Reason::BadHelloAnswer);
        break;
    case Phase::Settings:
        fail(Reason::Settings);
        break;
    case Phase::Record:
        fail(Reason::Record);
        break;
    case Phase::HelloAnswered:
    case Phase::None:
        fail(Reason::None);
        break;
    }
}

void ExchangeReport::noHelloAnswer()
{
    fail(Reason::NoHelloAnswer);
}

void ExchangeReport::cancelled()
{
    m_running = false;
    emit progressChanged(QString());
}

void ExchangeReport::readoutDone(const Configuration &shown, const Configuration &read)
{
    m_channels = read.channelCount;
    m_readoutUndone = false;
    finish(diffConfigurations(shown, read).isEmpty() ? Result::ReadSame : Result::Read);
}

void ExchangeReport::setReadoutUndone(bool undone)
{
    if (m_readoutUndone == undone)
        return;
    m_readoutUndone = undone;
    if (m_result == Result::Read)
        emit outcomeChanged();
}

void ExchangeReport::verified(const Configuration &shown, const Configuration &read)
{
    m_shown = shown;
    m_read = read;
    finish(Result::Verified);
}

void ExchangeReport::transmitted(const Configuration &sent)
{
    m_channels = sent.channelCount;
    finish(Result::Sent);
}

void ExchangeReport::wentBack(const QString &why)
{
    m_detail = why;
    finish(Result::WentBack);
}

void ExchangeReport::journalFailed(const QString &why)
{
    m_journalProblem = why;
    emit outcomeChanged();
}

void ExchangeReport::fail(Reason reason, const QString &detail)
{
    m_reason = reason;
    m_detail = detail;
    m_failedStep = m_step;
    finish(Result::Failed);
}

void ExchangeReport::finish(Result result)
{
    m_result = result;
    m_journalProblem.clear();
    m_resultAction = m_action;
    m_resultPort = m_port;
    m_time = m_clock ? m_clock() : QTime::currentTime();
    const bool wasRunning = m_running;
    m_running = false;
    if (wasRunning)
        emit progressChanged(QString());
    emit outcomeChanged();
}

QString ExchangeReport::progress() const
{
    if (!m_running)
        return {};
    const bool sending = m_action == Action::Transmit && !m_step.reading;
    if (m_step.phase == Phase::Record) {
        const QString record = QString::number(m_step.record);
        const QString total = QString::number(m_step.total);
        return sending ? tr("Sending to %1: record %2 of %3").arg(m_port, record, total)
                       : tr("Reading from %1: record %2 of %3").arg(m_port, record, total);
    }
    return sending ? tr("Sending to %1…").arg(m_port) : tr("Reading from %1…").arg(m_port);
}

QString ExchangeReport::stepText() const
{
    if (!m_running)
        return {};
    const bool sending = m_action == Action::Transmit && !m_step.reading;
    if (m_step.phase == Phase::Record) {
        const QString record = QString::number(m_step.record);
        const QString total = QString::number(m_step.total);
        return sending ? tr("Sending: record %1 of %2").arg(record, total)
                       : tr("Reading: record %1 of %2").arg(record, total);
    }
    return sending ? tr("Sending…") : tr("Reading…");
}

QString ExchangeReport::outcome() const
{
    const QString text = outcomeText();
    if (m_journalProblem.isEmpty() || text.isEmpty())
        return text;
    return tr("%1 (not recorded: %2)").arg(text, m_journalProblem);
}

QString ExchangeReport::outcomeText() const
{
    const QString time = m_time.toString(QStringLiteral("HH:mm:ss"));
    const QString channels = QString::number(m_channels);
    switch (m_result) {
    case Result::None:
        return {};
    case Result::Read:
        if (m_readoutUndone)
            return tr("Readout from %1 at %2 undone").arg(m_resultPort, time);
        return tr("Read Vorrix %1 from %2 at %3").arg(channels, m_resultPort, time);
    case Result::ReadSame:
        return tr("The switch holds the configuration shown here (read from %1 at %2)")
                .arg(m_resultPort, time);
    case Result::Sent:
        return tr("Sent Vorrix %1 to %2 at %3").arg(channels, m_resultPort, time);
    case Result::Verified:
        return verifiedText(time);
    case Result::WentBack:
        return tr("Went back to the previous configuration at %1: %2").arg(time, m_detail);
    case Result::Failed:
        break;
    }
    const bool sending = m_resultAction == Action::Transmit;
    const QString reason = reasonText();
    if (reason.isEmpty()) {
        return sending ? tr("Sending to %1 failed at %2").arg(m_resultPort, time)
                       : tr("Reading from %1 failed at %2").arg(m_resultPort, time);
    }
    return sending ? tr("Sending to %1 failed at %2: %3").arg(m_resultPort, time, reason)
                   : tr("Reading from %1 failed at %2: %3").arg(m_resultPort, time, reason);
}

QString ExchangeReport::verifiedText(const QString &time) const
{
    const int common
            = std::min({int(m_shown.channelCount), int(m_read.channelCount), kMaxChannels});
    int channels = 0;
    for (int i = 0; i < common; ++i)
        channels += m_shown.channels[i] != m_read.channels[i];
    const bool settings = m_shown.channelCount != m_read.channelCount
                          || m_shown.switchingEnabled != m_read.switchingEnabled
                          || m_shown.mouseSpeed != m_read.mouseSpeed;
    const QString n = QString::number(channels);
    if (channels == 0) {
        return settings ? tr("Verified at %1: the switch differs in its settings").arg(time)
                        : tr("Verified at %1: the switch holds this configuration").arg(time);
    }
    if (channels == 1) {
        return settings ? tr("Verified at %1: the switch differs in its settings and in 1 channel")
                                  .arg(time)
                        : tr("Verified at %1: the switch differs in 1 channel").arg(time);
    }
    return settings ? tr("Verified at %1: the switch differs in its settings and in %2 channels")
                              .arg(time, n)
                    : tr("Verified at %1: the switch differs in %2 channels").arg(time, n);
}

QString ExchangeReport::outcomeDetails() const
{
    if (m_result != Result::Verified)
        return {};
    return diffConfigurations(m_shown, m_read).join(QLatin1Char('\n'));
}

ExchangeReport::LastExchange ExchangeReport::lastExchange() const
{
    LastExchange last;
    if (m_result == Result::None)
        return last;
    last.happened = true;
    last.port = m_resultPort;
    last.time = m_time;
    last.outcome = outcome();
    last.verified = m_result == Result::Verified;
    last.matched = last.verified && diffConfigurations(m_shown, m_read).isEmpty();
    last.shown = m_shown;
    return last;
}

QString ExchangeReport::reasonText() const
{
    const bool sending = m_resultAction == Action::Transmit;
    const QString record = QString::number(m_failedStep.record);
    const QString total = QString::number(m_failedStep.total);
    switch (m_reason) {
    case Reason::None:
        return {};
    case Reason::NoSuchPort:
        return tr("no such port");
    case Reason::PermissionDenied:
#ifdef Q_OS_LINUX
        return tr("permission denied (the port belongs to the group %1: add your user to it "
                  "and log in again)")
                .arg(m_detail);
#else
        return tr("permission denied");
#endif
    case Reason::InUse:
        return tr("the port is in use by another program");
    case Reason::DeviceRemoved:
        return tr("the device was removed");
    case Reason::PortError:
        return m_detail; // Qt's own words, in its catalogue's language
    case Reason::Explained:
        return m_detail;
    case Reason::NoHelloAnswer:
        return tr("no answer to the hello");
    case Reason::BadHelloAnswer:
        return tr("the switch answered the hello with an unknown channel count");
    case Reason::Settings:
        return sending ? tr("settings not acknowledged") : tr("settings not received");
    case Reason::Record:
        return sending ? tr("record %1 of %2 not acknowledged").arg(record, total)
                       : tr("record %1 of %2 not received").arg(record, total);
    }
    return {};
}
