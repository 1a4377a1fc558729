#include "link/link.h"

#include "document/document.h"

// The exchange and its supervision: which acknowledgement counts, what follows it, and
// the waits that end every step.

// The wait runs on from where the acknowledgement bookkeeping last set it back, so a
// switch that keeps provoking repeats cannot hold an exchange open.
void Link::awaitReply(quint8 command, quint8 index)
{
    m_state.awaitingAck = true;
    m_outstanding = command;
    m_recordIndex = index;
    m_answerDue = false;
    m_request = m_state.lastSent;
    m_resendDue = false;
    m_writeResends = 0;
    m_lateTicks = 0;
}

void Link::endWaits()
{
    m_state.awaitingAck = false;
    m_state.awaitingHello = false;
    m_state.ackWaitTicks = 0;
    m_outstanding = kNothing;
    m_answerDue = false;
    m_resendDue = false;
}

void Link::acknowledged()
{
    m_state.awaitingAck = false;
    m_state.ackWaitTicks = 0;
    m_state.naksReceived = 0;
    m_resendDue = false;
}

// Ends the exchange with the transmission error. Both waits end with it, so the
// acknowledgement time-out cannot report the same failure a second time.
void Link::failExchange(Cause cause)
{
    m_state.errorEvent = true;
    endWaits();
    if (m_failure == Failure::None) {
        m_cause = cause;
        if (m_stage == Stage::ReadingPrevious)
            m_failure = Failure::ReadPrevious;
        else if (m_stage == Stage::Reconnecting || m_stage == Stage::ReadingBack)
            m_failure = Failure::ReadBack;
    }
    m_stage = Stage::Plain;
}

// Only the first acknowledgement of the outstanding frame counts, and for the hello
// only the one that answers it.
bool Link::counts(const LinkFrame &ack) const
{
    const quint8 command = ack.payload[0];
    if (command == kHelloByte)
        return m_state.awaitingHello;
    return m_state.awaitingAck && !m_answerDue && int(command) == m_outstanding;
}

bool Link::writeAckDue() const
{
    return m_state.awaitingAck
           && (m_outstanding == kCmdWriteRecord || m_outstanding == kCmdWriteSwitching
               || m_outstanding == kCmdWriteMouseSpeed);
}

// The write goes again only once the switch has had a whole wait to answer everything
// sent before it (a repeat it asked for included), so the first acknowledgement after
// this resend is the resend's own.
void Link::writeAckTimedOut()
{
    if (!m_resendDue || m_writeResends >= kMaxWriteResends) {
        failExchange(Cause::NoAnswer);
        return;
    }
    if (m_ticksSinceSent <= kAckTimeoutTicks)
        return;
    ++m_writeResends;
    m_resendDue = false;
    m_resent = true;
    m_state.ackWaitTicks = 0;
    m_lateTicks = 0;
    // Only what arrives after the resend counts: a frame that stalled before it, or
    // bytes dropped before it, cannot make it go again.
    m_state.rxState = kRxIdle;
    m_state.rxIndex = 0;
    m_droppedBytes = false;
    m_nakDue = false;
    sendFrame(m_request);
}

bool Link::lateFrameArriving()
{
    if (m_state.rxState == kRxIdle && !bytesWaiting())
        return false;
    return ++m_lateTicks <= kLateFrameTicks;
}

void Link::linkTick()
{
    LinkState &s = m_state;
    if (s.rxState != kRxIdle) {
        if (++s.rxIdleTicks > kReceiveTimeoutTicks) {
            s.rxIdleTicks = 0;
            s.rxIndex = 0;
            s.rxState = kRxIdle;
            askAgain(s.rxFrame.command, kNakReasonTimeout);
        }
    } else if (s.pendingFrames != 0) {
        --s.pendingFrames;
        const LinkFrame frame = s.rxFrame;
        processFrame(frame);
    } else if (m_nakDue) {
        if (!bytesWaiting())
            askAgain(m_nakCommand, kNakReasonCrc);
    } else if (m_droppedBytes && ++s.rxIdleTicks > kGarbageQuietTicks) {
        // Bytes that made no frame, then quiet: they are asked for again. While the
        // hello is unanswered, never up to the limit, so that a line at the wrong
        // bitrate still ends with the no-connection message.
        s.rxIdleTicks = 0;
        m_droppedBytes = false;
        if (s.awaitingAck || (s.awaitingHello && s.naksSent < kMaxRepeats))
            askAgain(s.rxFrame.command, kNakReasonCrc);
    }
    if (m_ticksSinceSent <= kAckTimeoutTicks)
        ++m_ticksSinceSent;
    if (s.awaitingAck && ++s.ackWaitTicks > kAckTimeoutTicks && !lateFrameArriving()) {
        if (writeAckDue())
            writeAckTimedOut();
        else
            failExchange(Cause::NoAnswer);
    }
    if (s.awaitingHello && ++s.ackWaitTicks > kAckTimeoutTicks) {
        s.awaitingHello = false;
        s.ackWaitTicks = 0;
        // The read-back's connection is part of the transmission: no answer fails it.
        if (m_stage == Stage::ReadingBack)
            failExchange(Cause::NoAnswer);
        else
            s.noConnectionEvent = true;
    }
    if (m_stage == Stage::Reconnecting)
        reconnectTick();
}

void Link::processFrame(const LinkFrame &frame)
{
    LinkState &s = m_state;
    // Between the two connections of a read-back nothing is answered: the switch has
    // been told that the transmission is over.
    if (m_stage == Stage::Reconnecting)
        return;
    // A repeat of a write makes the acknowledgements that follow ambiguous.
    if (writeAckDue() && frame.command != kCmdAck && !answers(frame.command))
        m_resent = true;
    switch (frame.command) {
    case kCmdChannelRecord:
    case kCmdSwitchingState:
    case kCmdMouseSpeed:
        processAnswer(frame);
        break;
    case kCmdAck:
        processAck(frame);
        break;
    case kCmdNak:
        if (s.naksReceived <= kMaxRepeats) {
            ++s.naksReceived;
            resendLastFrame();
        } else {
            s.naksReceived = 0;
            failExchange();
        }
        break;
    default:
        resendLastFrame();
        break;
    }
}

void Link::processAck(const LinkFrame &frame)
{
    LinkState &s = m_state;
    Configuration &staging = m_document.stagingConfig;
    // Any other acknowledgement (a repeated one, one of a frame long done, one of
    // something never sent) neither ends nor restarts a wait.
    if (!counts(frame))
        return;
    const quint8 command = frame.payload[0];
    switch (command) {
    case kHelloByte: {
        s.awaitingHello = false;
        const quint8 count = frame.payload[1];
        if (count == 0 || count > kMaxChannels) {
            acknowledged();
            failExchange();
            return;
        }
        if (s.direction == kDirectionReadout) {
            staging.deviceChannels = count;
            staging.channelCount = count;
            acknowledged();
            nextReadoutRequest(kHelloByte);
        } else {
            acknowledged();
            transmitHelloAnswered(count);
        }
        break;
    }
    case kCmdWriteSwitching:
    case kCmdWriteMouseSpeed:
        acknowledged();
        m_outstanding = kNothing;
        nextTransmitFrame(command);
        break;
    case kCmdWriteRecord: {
        const int next = m_recordIndex + 1;
        acknowledged();
        m_outstanding = kNothing;
        if (next >= m_snapshot.channelCount || next >= kMaxChannels) {
            allWritten();
            break;
        }
        fillRecord(s.lastSent, quint8(next));
        resendLastFrame();
        awaitReply(kCmdWriteRecord, quint8(next));
        break;
    }
    default:
        // A readout request: its answer follows the acknowledgement and gets a wait of
        // its own, so a switch that falls silent here cannot leave the readout hanging.
        acknowledged();
        s.awaitingAck = true;
        m_answerDue = true;
        break;
    }
}
