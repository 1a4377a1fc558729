#include "link/link.h"

#include "document/document.h"

#include <QIODevice>
#include <QSerialPort>

#include <algorithm>

namespace {

constexpr quint8 kAckSecondByte = 0x08;
constexpr quint8 kNakReasonCrc = 0;
constexpr quint8 kNakReasonTimeout = 1;
constexpr int kMaxRepeats = 2; // counters above this have used up the allowance
// A write sent again after its wait ran out: as often as the tool may ask for a repeat.
constexpr int kMaxWriteResends = kMaxRepeats + 1;

bool isOpen(const QIODevice *port)
{
    return port && port->isOpen();
}

} // namespace

Link::Link(Document &document)
    : m_document(document)
{
}

int Link::minimumPayload(quint8 command)
{
    switch (command) {
    case kCmdChannelRecord:
        return kRecordLength;
    case kCmdSwitchingState:
    case kCmdMouseSpeed:
        return 1;
    case kCmdAck:
        return 2;
    default:
        return 0;
    }
}

void Link::write(const QByteArray &bytes)
{
    if (!isOpen(m_state.serialPort))
        return;
    if (m_trace)
        m_trace(true, bytes);
    // The result is not examined: a lost write shows up as a missing acknowledgement.
    m_state.serialPort->write(bytes);
}

void Link::sendFrame(const LinkFrame &frame)
{
    m_state.lastSent = frame;
    write(frame.wireBytes());
}

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

// A repeat does not restart the wait.
void Link::resendLastFrame()
{
    m_state.awaitingAck = true;
    m_state.lastSent.updateCrc();
    sendFrame(m_state.lastSent);
}

void Link::sendPayload(quint8 command, std::initializer_list<quint8> payload)
{
    LinkFrame f;
    f.start = kFrameStart;
    f.command = command;
    f.length = quint16(payload.size());
    std::copy(payload.begin(), payload.end(), f.payload);
    f.updateCrc();
    sendFrame(f);
}

void Link::fillRecord(LinkFrame &frame, quint8 index) const
{
    const ChannelEntry &e = m_snapshot.channels[index % kMaxChannels];
    frame.start = kFrameStart;
    frame.command = kCmdWriteRecord;
    frame.length = kRecordLength;
    encodeChannelRecord(index, e, frame.payload);
}

void Link::nextReadoutRequest(quint8 step)
{
    quint8 command = 0;
    switch (step) {
    case kHelloByte:
        command = kCmdSwitchingState;
        break;
    case kCmdSwitchingState:
        command = kCmdMouseSpeed;
        break;
    case kCmdMouseSpeed:
        command = kCmdChannelRecord;
        break;
    default:
        return;
    }
    sendPayload(command, {0});
    awaitReply(command);
}

void Link::nextTransmitFrame(quint8 step)
{
    const Configuration &c = m_snapshot;
    switch (step) {
    case kHelloByte:
        sendPayload(kCmdWriteSwitching, {c.switchingEnabled});
        awaitReply(kCmdWriteSwitching);
        break;
    case kCmdWriteSwitching:
        sendPayload(kCmdWriteMouseSpeed, {c.mouseSpeed});
        awaitReply(kCmdWriteMouseSpeed);
        break;
    case kCmdWriteMouseSpeed: {
        LinkFrame f;
        fillRecord(f, 0);
        f.updateCrc();
        sendFrame(f);
        awaitReply(kCmdWriteRecord, 0);
        break;
    }
    default:
        return;
    }
}

void Link::sendAck(quint8 command)
{
    sendPayload(kCmdAck, {command, kAckSecondByte});
}

void Link::sendNak(quint8 command, quint8 reason)
{
    if (m_state.naksSent > kMaxRepeats) {
        m_state.naksSent = 0;
        failExchange();
        return;
    }
    sendPayload(kCmdNak, {command, reason});
    ++m_state.naksSent;
}

void Link::sendClosingFrame()
{
    sendPayload(kCmdClosing, {});
}

// Ends the exchange with the transmission error. Both waits end with it, so the
// acknowledgement time-out cannot report the same failure a second time.
void Link::failExchange()
{
    m_state.errorEvent = true;
    endWaits();
}

bool Link::expected(const LinkFrame &frame) const
{
    switch (frame.command) {
    case kCmdChannelRecord:
        return m_outstanding == kCmdChannelRecord && frame.payload[0] == m_recordIndex
               && m_state.direction == kDirectionReadout;
    case kCmdSwitchingState:
    case kCmdMouseSpeed:
        return m_outstanding == frame.command && m_state.direction == kDirectionReadout;
    default:
        return true;
    }
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

bool Link::repeatsLastAnswer(const LinkFrame &frame) const
{
    const LinkFrame &last = m_lastAnswer;
    return last.start == kFrameStart && frame.command == last.command && frame.length == last.length
           && std::equal(frame.payload, frame.payload + frame.length, last.payload);
}

bool Link::bytesWaiting() const
{
    const QIODevice *port = m_state.serialPort;
    return isOpen(port) && port->bytesAvailable() > 0;
}

// A frame that cannot be used is asked for again. While more bytes are already waiting,
// the question waits for them: they may hold what was asked for, or more of the same
// damage, and one negative acknowledgement covers a whole burst. Each one counts
// against the repeat allowance, so none is spent on a frame that may still arrive.
void Link::refuse(quint8 command)
{
    if (!bytesWaiting()) {
        askAgain(command, kNakReasonCrc);
        return;
    }
    if (!m_nakDue)
        m_nakCommand = command;
    m_nakDue = true;
}

void Link::askAgain(quint8 command, quint8 reason)
{
    m_nakDue = false;
    m_droppedBytes = false;
    if (writeAckDue()) {
        m_resendDue = true;
        return;
    }
    sendNak(command, reason);
}

bool Link::writeAckDue() const
{
    return m_state.awaitingAck
           && (m_outstanding == kCmdWriteRecord || m_outstanding == kCmdWriteSwitching
               || m_outstanding == kCmdWriteMouseSpeed);
}

// By now the switch has had the whole wait to answer everything sent before, so the
// first acknowledgement after this resend is the resend's own.
void Link::writeAckTimedOut()
{
    if (!m_resendDue || m_writeResends >= kMaxWriteResends) {
        failExchange();
        return;
    }
    ++m_writeResends;
    m_resendDue = false;
    m_state.ackWaitTicks = 0;
    sendFrame(m_request);
}

void Link::receiveByte(quint8 byte)
{
    LinkState &s = m_state;
    LinkFrame &rx = s.rxFrame;
    s.rxIdleTicks = 0;
    switch (s.rxState) {
    case 0:
        if (byte == kFrameStart) {
            // A frame still waiting for processing lives in the same buffer.
            if (s.pendingFrames == 0)
                std::memset(rx.payload, 0, sizeof rx.payload);
            rx.start = byte;
            s.rxState = 1;
        } else {
            // A frame whose start byte was damaged, or the rest of one whose length was.
            m_droppedBytes = true;
        }
        break;
    case 1:
        rx.command = byte;
        s.rxIndex = 0;
        s.rxState = 2;
        break;
    case 2:
        if (s.rxIndex == 0) {
            rx.length = byte;
            s.rxIndex = 1;
        } else {
            rx.length = quint16(rx.length | (byte << 8));
            s.rxIndex = 0;
            if (rx.length > kMaxPayload) { // cannot be ours and does not fit: drop it
                s.rxState = 0;
                m_droppedBytes = true;
            } else {
                s.rxState = rx.length == 0 ? 4 : 3;
            }
        }
        break;
    case 3:
        rx.payload[s.rxIndex] = byte;
        if (++s.rxIndex >= rx.length) {
            s.rxIndex = 0;
            s.rxState = 4;
        }
        break;
    case 4: {
        const int k = s.rxIndex;
        if (k == 0)
            rx.crc = byte;
        else
            rx.crc |= quint32(byte) << (8 * k);
        if (++s.rxIndex < 4)
            break;
        s.rxIndex = 0;
        s.rxState = 0;
        // A short frame would be read from stale buffer bytes, and an answer to anything
        // but the outstanding request would be stored in the wrong place: both are
        // refused like a damaged frame, so the switch sends what was asked for. A
        // repeat of the answer stored last (the switch obeying an earlier negative
        // acknowledgement) is acknowledged and left at that; refusing it would only
        // make the switch repeat its next answer too.
        const bool intact = computeCrc(rx.headerAndPayload()) == rx.crc
                            && rx.length >= minimumPayload(rx.command);
        const bool act = intact && expected(rx);
        if (!act && !(intact && repeatsLastAnswer(rx))) {
            refuse(rx.command);
            break;
        }
        // An acknowledgement or answer that moves the exchange on: what was damaged
        // before it need not come again.
        if (act && (answers(rx.command) || (rx.command == kCmdAck && counts(rx))))
            m_nakDue = m_droppedBytes = false;
        // The repeat allowance counts per frame: a good frame starts it anew.
        s.naksSent = 0;
        if (rx.command != kCmdAck && rx.command != kCmdNak)
            sendAck(rx.command);
        // One buffer holds one frame.
        if (act)
            s.pendingFrames = 1;
        break;
    }
    default:
        s.rxState = 0;
        s.rxIndex = 0;
        break;
    }
}

void Link::pollOneByte()
{
    QIODevice *port = m_state.serialPort;
    if (!isOpen(port))
        return;
    // Asked even when nothing is buffered: an empty read makes a Windows serial port
    // start reading again. Under Wine, a COM port on a line without modem signals (a
    // pseudo-terminal) never reports that bytes arrived, so a port that only waits for
    // that report, as waitForReadyRead() and bytesAvailable() do, would read nothing.
    char c = 0;
    if (!port->getChar(&c))
        return;
    if (m_trace)
        m_trace(false, QByteArray(1, c));
    receiveByte(quint8(c));
}

void Link::linkTick()
{
    LinkState &s = m_state;
    if (s.rxState != 0) {
        if (++s.rxIdleTicks > kReceiveTimeoutTicks) {
            s.rxIdleTicks = 0;
            s.rxIndex = 0;
            s.rxState = 0;
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
    if (s.awaitingAck && ++s.ackWaitTicks > kAckTimeoutTicks) {
        if (writeAckDue())
            writeAckTimedOut();
        else
            failExchange();
    }
    if (s.awaitingHello && ++s.ackWaitTicks > kAckTimeoutTicks) {
        s.awaitingHello = false;
        s.ackWaitTicks = 0;
        s.noConnectionEvent = true;
    }
}

void Link::acknowledged()
{
    m_state.awaitingAck = false;
    m_state.ackWaitTicks = 0;
    m_state.naksReceived = 0;
    m_resendDue = false;
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
        staging.deviceChannels = count;
        if (s.direction == kDirectionReadout) {
            staging.channelCount = count;
            acknowledged();
            nextReadoutRequest(kHelloByte);
        } else {
            s.transmitHelloEvent = true;
            acknowledged();
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
            s.completeEvent = true;
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

void Link::processFrame(const LinkFrame &frame)
{
    LinkState &s = m_state;
    Configuration &staging = m_document.stagingConfig;
    switch (frame.command) {
    case kCmdChannelRecord:
    case kCmdSwitchingState:
    case kCmdMouseSpeed:
        // The answer completes its request as an acknowledgement would, whether or not
        // the acknowledgement itself came through.
        if (!expected(frame))
            return;
        acknowledged();
        m_outstanding = kNothing;
        m_answerDue = false;
        m_lastAnswer = frame;
        break;
    default:
        break;
    }
    switch (frame.command) {
    case kCmdChannelRecord: {
        const quint8 i = frame.payload[0];
        if (i >= kMaxChannels) { // no such entry: the switch is not one we understand
            failExchange();
            return;
        }
        staging.channels[i] = decodeChannelRecord(frame.payload);
        const quint8 next = quint8(i + 1);
        if (next >= staging.channelCount) {
            s.completeEvent = true;
            return;
        }
        s.lastSent.start = kFrameStart;
        s.lastSent.command = kCmdChannelRecord;
        s.lastSent.length = 1;
        s.lastSent.payload[0] = next;
        resendLastFrame();
        awaitReply(kCmdChannelRecord, next);
        break;
    }
    case kCmdSwitchingState:
        staging.switchingEnabled = frame.payload[0];
        nextReadoutRequest(kCmdSwitchingState);
        break;
    case kCmdMouseSpeed:
        staging.mouseSpeed = frame.payload[0];
        nextReadoutRequest(kCmdMouseSpeed);
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

void Link::beginExchange()
{
    LinkState &s = m_state;
    s.rxFrame = LinkFrame();
    s.rxState = 0;
    s.rxIndex = 0;
    s.pendingFrames = 0;
    s.rxIdleTicks = 0;
    s.awaitingAck = false;
    s.awaitingHello = false;
    s.ackWaitTicks = 0;
    s.naksSent = 0;
    s.naksReceived = 0;
    s.completeEvent = false;
    s.transmitHelloEvent = false;
    s.errorEvent = false;
    s.noConnectionEvent = false;
    m_outstanding = kNothing;
    m_recordIndex = 0;
    m_answerDue = false;
    m_lastAnswer = LinkFrame();
    m_droppedBytes = false;
    m_nakDue = false;
    m_resendDue = false;
    m_writeResends = 0;
    m_snapshot = m_document.currentConfig;
}

bool Link::writeLeadIn()
{
    QIODevice *port = m_state.serialPort;
    if (!isOpen(port))
        return false;
    const QByteArray b(1, char(kLeadInByte));
    if (m_trace)
        m_trace(true, b);
    return port->write(b) != -1;
}

bool Link::writeHello()
{
    QIODevice *port = m_state.serialPort;
    if (!isOpen(port))
        return false;
    if (!port->atEnd()) {
        if (auto *serial = qobject_cast<QSerialPort *>(port))
            serial->clear();
        else
            port->readAll();
    }
    const QByteArray b(1, char(kHelloByte));
    if (m_trace)
        m_trace(true, b);
    if (port->write(b) == -1)
        return false;
    m_document.stagingConfig = m_snapshot;
    m_state.ackWaitTicks = 0;
    m_state.awaitingHello = true;
    return true;
}

bool Link::closeConnection()
{
    endWaits();
    if (!isOpen(m_state.serialPort))
        return false;
    sendClosingFrame();
    return true;
}
