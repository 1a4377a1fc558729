#include "link/link.h"

#include "document/document.h"

// What a readout stores: each answer goes into the staging copy, and the next request
// follows it.

// An answer completes its request as an acknowledgement would, whether or not the
// acknowledgement itself came through; then it is stored in the staging copy and the
// next request goes out, or the readout is complete.
void Link::processAnswer(const LinkFrame &frame)
{
    if (!expected(frame))
        return;
    acknowledged();
    m_outstanding = kNothing;
    m_answerDue = false;
    m_lastAnswer = frame;

    LinkState &s = m_state;
    Configuration &staging = readTarget();
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
            readoutComplete();
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
    default:
        break;
    }
}
