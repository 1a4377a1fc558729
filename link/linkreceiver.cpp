#include "link/link.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

// Frame assembly and checking: bytes in, whole CRC-correct frames out, and what is
// refused asked for again.

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

void Link::receiveByte(quint8 byte)
{
    LinkState &s = m_state;
    s.rxIdleTicks = 0;
    switch (assembleFrameByte(s.rxFrame, s.rxState, s.rxIndex, byte)) {
    case FrameByte::Taken:
        break;
    case FrameByte::Started:
        // A frame still waiting for processing lives in the same buffer.
        if (s.pendingFrames == 0)
            std::memset(s.rxFrame.payload, 0, sizeof s.rxFrame.payload);
        break;
    case FrameByte::Outside:
        // A frame whose start byte was damaged, or the rest of one whose length was.
        m_droppedBytes = true;
        break;
    case FrameByte::TooLong: // cannot be ours and does not fit
        m_droppedBytes = true;
        break;
    case FrameByte::Complete:
        frameArrived(true);
        break;
    case FrameByte::BadCrc:
        frameArrived(false);
        break;
    }
}

// A short frame would be read from stale buffer bytes, and an answer to anything but the
// outstanding request would be stored in the wrong place: both are refused like a damaged
// frame, so the switch sends what was asked for. A repeat of the answer stored last (the
// switch obeying an earlier negative acknowledgement) is acknowledged and left at that;
// refusing it would only make the switch repeat its next answer too.
void Link::frameArrived(bool crcChecks)
{
    LinkState &s = m_state;
    const LinkFrame &rx = s.rxFrame;
    const bool intact = crcChecks && rx.length >= minimumPayload(rx.command);
    const bool act = intact && expected(rx);
    if (!act && !(intact && repeatsLastAnswer(rx))) {
        refuse(rx.command);
        return;
    }
    // An acknowledgement or answer that moves the exchange on: what was damaged before it
    // need not come again.
    if (act && (answers(rx.command) || (rx.command == kCmdAck && counts(rx))))
        m_nakDue = m_droppedBytes = false;
    // The repeat allowance counts per frame: a good frame starts it anew.
    s.naksSent = 0;
    if (rx.command != kCmdAck && rx.command != kCmdNak)
        sendAck(rx.command);
    // One buffer holds one frame.
    if (act)
        s.pendingFrames = 1;
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

bool Link::bytesWaiting() const
{
    const QIODevice *port = m_state.serialPort;
    return isOpen(port) && port->bytesAvailable() > 0;
}

bool Link::expected(const LinkFrame &frame) const
{
    switch (frame.command) {
    case kCmdChannelRecord:
        return m_outstanding == kCmdChannelRecord && frame.payload[0] == m_recordIndex && reading();
    case kCmdSwitchingState:
    case kCmdMouseSpeed:
        return m_outstanding == frame.command && reading();
    default:
        return true;
    }
}

bool Link::repeatsLastAnswer(const LinkFrame &frame) const
{
    const LinkFrame &last = m_lastAnswer;
    return last.start == kFrameStart && frame.command == last.command && frame.length == last.length
           && std::equal(frame.payload, frame.payload + frame.length, last.payload);
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
    if (m_stage == Stage::Reconnecting)
        return;
    if (writeAckDue()) {
        m_resendDue = true;
        return;
    }
    sendNak(command, reason);
}
