#include "link/link.h"

#include "document/document.h"

#include <QIODevice>
#include <QSerialPort>

#include <algorithm>

// Frame senders and the steps that open and close a connection.

Link::Link(Document &document)
    : m_document(document)
{
}

bool Link::isOpen(const QIODevice *port)
{
    return port && port->isOpen();
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
    // Anything but an acknowledgement may still be answered by the switch.
    if (frame.command != kCmdAck)
        m_ticksSinceSent = 0;
    m_state.lastSent = frame;
    if (m_listenOnly && frame.command != kCmdClosing)
        return;
    write(frame.wireBytes());
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
        m_stage = Stage::Writing;
        m_wrote = true;
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

void Link::beginExchange()
{
    beginExchange(m_document.currentConfig);
}

void Link::beginExchange(const Configuration &toSend)
{
    LinkState &s = m_state;
    s.rxFrame = LinkFrame();
    s.rxState = kRxIdle;
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
    m_ticksSinceSent = 0;
    m_snapshot = toSend;
    m_stage = Stage::Plain;
    m_resent = false;
    m_proven = false;
    m_wrote = false;
    m_reconnectTicks = 0;
    m_lateTicks = 0;
    m_failure = Failure::None;
    m_refusal.clear();
    m_differingChannels.clear();
    m_switchingDiffers = m_speedDiffers = false;
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
    if (!sendHello())
        return false;
    m_document.stagingConfig = m_snapshot;
    return true;
}

bool Link::sendHello()
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
    m_state.ackWaitTicks = 0;
    m_state.awaitingHello = true;
    return true;
}

bool Link::closeConnection()
{
    endWaits();
    m_stage = Stage::Plain;
    if (!isOpen(m_state.serialPort))
        return false;
    sendClosingFrame();
    return true;
}
