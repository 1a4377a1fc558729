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

// Every request and record frame gets the whole acknowledgement time-out.
void Link::armWait()
{
    m_state.awaitingAck = true;
    m_state.ackWaitTicks = 0;
}

void Link::resendLastFrame()
{
    armWait();
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
    const ChannelEntry &e = m_document.currentConfig.channels[index % kMaxChannels];
    frame.start = kFrameStart;
    frame.command = kCmdWriteRecord;
    frame.length = kRecordLength;
    encodeChannelRecord(index, e, frame.payload);
}

void Link::nextReadoutRequest(quint8 step)
{
    switch (step) {
    case kHelloByte:
        sendPayload(kCmdSwitchingState, {0});
        break;
    case kCmdSwitchingState:
        sendPayload(kCmdMouseSpeed, {0});
        break;
    case kCmdMouseSpeed:
        sendPayload(kCmdChannelRecord, {0});
        break;
    default:
        return;
    }
    armWait();
}

void Link::nextTransmitFrame(quint8 step)
{
    const Configuration &c = m_document.currentConfig;
    switch (step) {
    case kHelloByte:
        sendPayload(kCmdWriteSwitching, {c.switchingEnabled});
        break;
    case kCmdWriteSwitching:
        sendPayload(kCmdWriteMouseSpeed, {c.mouseSpeed});
        break;
    case kCmdWriteMouseSpeed: {
        LinkFrame f;
        fillRecord(f, 0);
        f.updateCrc();
        m_recordIndex = 0;
        sendFrame(f);
        break;
    }
    default:
        return;
    }
    armWait();
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
    m_state.awaitingAck = false;
    m_state.awaitingHello = false;
    m_state.ackWaitTicks = 0;
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
            if (rx.length > kMaxPayload) // cannot be ours and does not fit: drop it
                s.rxState = 0;
            else
                s.rxState = rx.length == 0 ? 4 : 3;
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
        if (computeCrc(rx.headerAndPayload()) != rx.crc || rx.length < minimumPayload(rx.command)) {
            // A short frame would be read from stale buffer bytes: refuse it like a bad one.
            sendNak(rx.command, kNakReasonCrc);
            break;
        }
        // The repeat allowance counts per frame: a good frame starts it anew.
        s.naksSent = 0;
        if (rx.command != kCmdAck && rx.command != kCmdNak)
            sendAck(rx.command);
        // One buffer holds one frame.
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
    if (!isOpen(port) || port->bytesAvailable() < 1)
        return;
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
            sendNak(s.rxFrame.command, kNakReasonTimeout);
        }
    } else if (s.pendingFrames != 0) {
        --s.pendingFrames;
        const LinkFrame frame = s.rxFrame;
        processFrame(frame);
    }
    if (s.awaitingAck && ++s.ackWaitTicks > kAckTimeoutTicks) {
        s.awaitingAck = false;
        s.ackWaitTicks = 0;
        s.errorEvent = true;
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
}

void Link::processAck(const LinkFrame &frame)
{
    LinkState &s = m_state;
    Configuration &staging = m_document.stagingConfig;
    switch (frame.payload[0]) {
    case kHelloByte: {
        // Only the answer to our hello counts; a late or repeated one starts nothing.
        if (!s.awaitingHello)
            return;
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
        nextTransmitFrame(frame.payload[0]);
        break;
    case kCmdWriteRecord: {
        const int next = m_recordIndex + 1;
        acknowledged();
        if (next >= m_document.currentConfig.channelCount || next >= kMaxChannels) {
            s.completeEvent = true;
            break;
        }
        m_recordIndex = quint8(next);
        fillRecord(s.lastSent, m_recordIndex);
        resendLastFrame();
        break;
    }
    case kCmdChannelRecord:
    case kCmdSwitchingState:
    case kCmdMouseSpeed: {
        // The answer to a readout request follows its acknowledgement. Until it has come,
        // the wait goes on: a switch that falls silent here must not leave the readout
        // hanging with nothing to end it.
        const bool answerDue = s.direction == kDirectionReadout && s.awaitingAck;
        acknowledged();
        if (answerDue)
            armWait();
        break;
    }
    default:
        acknowledged();
        break;
    }
}

void Link::processFrame(const LinkFrame &frame)
{
    LinkState &s = m_state;
    Configuration &staging = m_document.stagingConfig;
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
            s.awaitingAck = false;
            return;
        }
        s.lastSent.start = kFrameStart;
        s.lastSent.command = kCmdChannelRecord;
        s.lastSent.length = 1;
        s.lastSent.payload[0] = next;
        resendLastFrame();
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
    m_recordIndex = 0;
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
    m_document.stagingConfig = m_document.currentConfig;
    m_state.ackWaitTicks = 0;
    m_state.awaitingHello = true;
    return true;
}

bool Link::closeConnection()
{
    m_state.awaitingAck = false;
    m_state.awaitingHello = false;
    m_state.ackWaitTicks = 0;
    if (!isOpen(m_state.serialPort))
        return false;
    sendClosingFrame();
    return true;
}
