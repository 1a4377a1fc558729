#include "link/link.h"

#include "document/document.h"

#include <QCoreApplication>

#include <cstring>

// The restore point read before a transmission writes anything, and the read-back that
// proves a transmission in which anything was resent.

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("Link", text);
}
} // namespace

Configuration &Link::readTarget()
{
    return readingAside() ? m_aside : m_document.stagingConfig;
}

void Link::transmitHelloAnswered(quint8 count)
{
    if (m_stage == Stage::ReadingBack) {
        // Everything written is read: the settings and the records sent.
        m_aside = Configuration();
        m_aside.deviceChannels = count;
        m_aside.channelCount = quint8(qMin<int>(m_snapshot.channelCount, kMaxChannels));
        nextReadoutRequest(kHelloByte);
        return;
    }
    m_document.stagingConfig.deviceChannels = count;
    if (m_restorePointHook) {
        m_stage = Stage::ReadingPrevious;
        m_aside = Configuration();
        m_aside.channelCount = m_aside.deviceChannels = count;
        nextReadoutRequest(kHelloByte);
        return;
    }
    m_state.transmitHelloEvent = true;
}

void Link::readoutComplete()
{
    switch (m_stage) {
    case Stage::ReadingPrevious: {
        m_stage = Stage::Plain;
        QString why;
        if (!m_restorePointHook(m_aside, &why)) {
            m_failure = Failure::Refused;
            m_refusal = why;
            failExchange();
            return;
        }
        // Now the transmission goes on as without a restore point.
        m_state.transmitHelloEvent = true;
        return;
    }
    case Stage::ReadingBack:
        m_stage = Stage::Plain;
        if (!readBackMatches()) {
            m_failure = Failure::Differs;
            failExchange();
            return;
        }
        m_proven = true;
        m_state.completeEvent = true;
        return;
    default:
        m_state.completeEvent = true;
        return;
    }
}

void Link::allWritten()
{
    if (!m_resent) {
        m_stage = Stage::Plain;
        m_state.completeEvent = true;
        return;
    }
    // The switch is released as at the end of any connection and then asked again,
    // in a connection of its own, what it holds after it.
    endWaits();
    sendClosingFrame();
    m_stage = Stage::Reconnecting;
    m_reconnectTicks = 0;
}

void Link::reconnectTick()
{
    constexpr int kClosingTicks = kClosingDelayMs / kProtocolTickMs;
    constexpr int kDelayTicks = kConnectionDelayMs / kProtocolTickMs;
    ++m_reconnectTicks;
    if (m_reconnectTicks == kClosingTicks) {
        if (!writeLeadIn())
            failExchange();
    } else if (m_reconnectTicks >= kClosingTicks + kDelayTicks) {
        // Whatever arrived late belongs to the connection that is over.
        LinkState &s = m_state;
        s.rxState = kRxIdle;
        s.rxIndex = 0;
        s.pendingFrames = 0;
        s.rxIdleTicks = 0;
        s.naksSent = 0;
        s.naksReceived = 0;
        m_droppedBytes = false;
        m_nakDue = false;
        m_lastAnswer = LinkFrame();
        if (!sendHello()) {
            failExchange();
            return;
        }
        m_stage = Stage::ReadingBack;
    }
}

// Compared as the records go over the wire, so only what was written counts.
bool Link::readBackMatches()
{
    const Configuration &sent = m_snapshot;
    const Configuration &held = m_aside;
    m_switchingDiffers = sent.switchingEnabled != held.switchingEnabled;
    m_speedDiffers = sent.mouseSpeed != held.mouseSpeed;
    m_differingChannels.clear();
    const int count = qMin<int>(sent.channelCount, kMaxChannels);
    for (int i = 0; i < count; ++i) {
        quint8 a[kRecordLength];
        quint8 b[kRecordLength];
        encodeChannelRecord(quint8(i), sent.channels[i], a);
        encodeChannelRecord(quint8(i), held.channels[i], b);
        if (std::memcmp(a, b, sizeof a) != 0)
            m_differingChannels.append(i + 1);
    }
    return !m_switchingDiffers && !m_speedDiffers && m_differingChannels.isEmpty();
}

QString Link::failureReason() const
{
    const QString cause = m_cause == Cause::NoAnswer ? tr("the switch did not answer in time.")
                                                     : tr("its answers could not be used.");
    switch (m_failure) {
    case Failure::None:
        return QString();
    case Failure::Refused:
        return m_refusal;
    case Failure::ReadPrevious:
        return tr("Could not read the switch's present configuration: %1").arg(cause);
    case Failure::ReadBack:
        return tr("Could not read the switch back after resends: %1").arg(cause);
    case Failure::Differs:
        break;
    }
    QStringList parts;
    const qsizetype n = m_differingChannels.size();
    if (n == 1) {
        parts << tr("Channel %1 differs after read-back.").arg(m_differingChannels.first());
    } else if (n > 1) {
        QStringList numbers;
        for (qsizetype k = 0; k + 1 < n; ++k)
            numbers << QString::number(m_differingChannels.at(k));
        parts << tr("Channels %1 and %2 differ after read-back.")
                         .arg(numbers.join(QLatin1String(", ")))
                         .arg(m_differingChannels.last());
    }
    if (m_switchingDiffers)
        parts << tr("Orvanel Switching differs after read-back.");
    if (m_speedDiffers)
        parts << tr("The mouse speed differs after read-back.");
    return parts.join(QLatin1Char(' '));
}
