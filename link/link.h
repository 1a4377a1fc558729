#pragma once

#include "link/linkframe.h"
#include "link/linkstate.h"

#include <QList>
#include <QString>

#include <functional>
#include <initializer_list>

struct Document;
class QIODevice;

// Timing of a connection. Time-outs inside the link are counted in protocol ticks.
constexpr int kProtocolTickMs = 2;
constexpr int kConnectionDelayMs = 100; // port opened -> lead-in, lead-in -> hello
constexpr int kClosingDelayMs = 750;    // closing frame -> port closed
constexpr int kReceiveTimeoutTicks = 300;
constexpr int kAckTimeoutTicks = 1000;
// Bytes that made no frame, then this many ticks without a byte: the frame they were
// is asked for again with a negative acknowledgement.
constexpr int kGarbageQuietTicks = 25;
// A wait that runs out while a frame is arriving (or bytes wait unread) lasts this many
// ticks more, enough to take in the longest frame with a few stray bytes around it.
constexpr int kLateFrameTicks = 50;
// Once the switch falls silent, every exchange ends within this many ticks of its last
// byte: the wait that runs (a little longer while that byte's frame is unfinished),
// then the wait of one resend of a write. Closing, reconnecting and the hello of a
// read-back take less than the second wait.
constexpr int kSilentEndTicks = 2 * (kAckTimeoutTicks + 1) + kLateFrameTicks;

constexpr quint8 kLeadInByte = 0x7F;
constexpr quint8 kHelloByte = 0x7E;

// The tool's side of the frame protocol: builds and sends frames, assembles and
// checks what arrives, answers it and raises the four events. It reads the current
// configuration for a transmission and writes a readout into the staging copy.
// Bytes and ticks come in from outside, so a test drives it without sleeping.
//
// Every step of an exchange is supervised: a request or transmit frame waits at most
// kAckTimeoutTicks + 1 ticks for its acknowledgement, and a readout request as long
// again for its answer. Only the acknowledgement (or the answer) of the outstanding
// frame starts a wait anew; repeats, other frames and further acknowledgements do not.
//
// An acknowledgement names only the command, so once a write has gone out twice the
// acknowledgements no longer prove which record the switch holds. A transmission in
// which anything was resent therefore ends with the closing frame, a quiet line as
// after a delayed close, a second connection and a readout of everything written; it
// completes only when the switch holds what was sent.
class Link
{
public:
    explicit Link(Document &document);

    // Called once the switch's present configuration has been read, before anything is
    // written; false (with a reason) ends the exchange with nothing written.
    using RestorePointHook = std::function<bool(const Configuration &previous, QString *why)>;
    // Empty hook = no restore point. Kept across exchanges.
    void setRestorePointHook(RestorePointHook hook) { m_restorePointHook = std::move(hook); }
    // Why the last exchange failed, in the current language; empty when nothing more
    // specific than the generic message is known (e.g. "Channels 3 and 5 differ after
    // read-back.").
    QString failureReason() const;
    // The last transmission was proven by reading it back (it had resends).
    bool provenByReadBack() const { return m_proven; }
    // The exchange has sent the first write: the switch may hold some of what it sends.
    bool wroteAnything() const { return m_wrote; }

    LinkState &state() { return m_state; }
    const LinkState &state() const { return m_state; }

    // The port every byte goes through; not owned. May be null or closed.
    void setPort(QIODevice *port) { m_state.serialPort = port; }

    // Frame senders.
    void sendFrame(const LinkFrame &frame);
    void resendLastFrame();
    void nextReadoutRequest(quint8 step);
    void nextTransmitFrame(quint8 step);
    void sendAck(quint8 command);
    void sendNak(quint8 command, quint8 reason);
    void sendClosingFrame();

    // Receiver.
    void receiveByte(quint8 byte);
    void pollOneByte();
    void linkTick();
    void processFrame(const LinkFrame &frame);

    // Connection steps shared by the main window and ovsctl.
    // Clears the receiver, pending frames, both negative-acknowledgement counters,
    // the waits and the events, so one bad exchange cannot poison the next. Takes the
    // snapshot of the current configuration that this exchange sends or compares with.
    void beginExchange();
    // Like beginExchange(), but the exchange sends `toSend` instead of currentConfig
    // (going back to a restore point, sending an entry of the history).
    void beginExchange(const Configuration &toSend);
    // The configuration as it was when the exchange began. A transmission sends only
    // this, so edits made while it runs can never mix two layouts on the switch.
    const Configuration &snapshot() const { return m_snapshot; }
    // Writes the lead-in byte; false when the port is not open or the write fails.
    bool writeLeadIn();
    // Discards stale input, writes the hello byte, copies the snapshot into the staging
    // copy and starts the hello wait; false on a port failure.
    bool writeHello();
    // Sends the closing frame when the port is open; true when a delayed port
    // close should follow. Ends both waits, so no time-out fires after the end.
    bool closeConnection();

    // Sends nothing of its own but the closing frame: no acknowledgement, negative
    // acknowledgement or repeat. For a probe, which only listens for the hello's answer.
    // Kept across exchanges.
    void setListenOnly(bool listenOnly) { m_listenOnly = listenOnly; }

    // Observer of every byte written (outgoing = true) and read, for line traces.
    using TraceHook = std::function<void(bool outgoing, const QByteArray &bytes)>;
    void setTraceHook(TraceHook hook) { m_trace = std::move(hook); }

    // Smallest payload a received frame of this command must carry to be used.
    static int minimumPayload(quint8 command);

    // The request or transmit frame that waits for its reply (-1 when none) and the
    // record index it carries, for reports of the exchange's progress.
    int outstandingCommand() const { return m_outstanding; }
    int outstandingRecord() const { return m_recordIndex; }
    // A wait is armed, or the read-back's second connection is being opened: either
    // way the exchange ends by itself if the switch falls silent.
    bool supervised() const
    {
        return m_state.awaitingAck || m_state.awaitingHello || m_stage == Stage::Reconnecting;
    }

private:
    // What a transmission is doing beyond the plain exchange.
    enum class Stage {
        Plain,
        ReadingPrevious, // the restore point's readout, before anything is written
        Writing,
        Reconnecting, // closing frame sent; lead-in and hello of the read-back follow
        ReadingBack,
    };
    enum class Failure { None, ReadPrevious, Refused, ReadBack, Differs };
    enum class Cause { Unusable, NoAnswer };

    static constexpr quint8 kAckSecondByte = 0x08;
    static constexpr quint8 kNakReasonCrc = 0;
    static constexpr quint8 kNakReasonTimeout = 1;
    static constexpr int kMaxRepeats = 2; // counters above this have used up the allowance
    // A write sent again after its wait ran out: as often as the tool may ask for a repeat.
    static constexpr int kMaxWriteResends = kMaxRepeats + 1;
    static bool isOpen(const QIODevice *port);

    void write(const QByteArray &bytes);
    // The frame just sent waits for its acknowledgement (a readout request then for
    // its answer); `index` is the record index it carries.
    void awaitReply(quint8 command, quint8 index = 0);
    void endWaits();
    // True when a received frame may be acted upon: anything but a readout answer, or
    // the answer to the outstanding request with the requested record index.
    bool expected(const LinkFrame &frame) const;
    bool counts(const LinkFrame &ack) const;
    bool repeatsLastAnswer(const LinkFrame &frame) const;
    static bool answers(quint8 command)
    {
        return command == kCmdChannelRecord || command == kCmdSwitchingState
               || command == kCmdMouseSpeed;
    }
    bool bytesWaiting() const;
    // A whole frame is in rxFrame: it is acted upon, acknowledged or refused.
    void frameArrived(bool crcChecks);
    void refuse(quint8 command);
    void askAgain(quint8 command, quint8 reason);
    // Builds a frame with this command and payload, fills in its CRC and sends it.
    void sendPayload(quint8 command, std::initializer_list<quint8> payload);
    void acknowledged();
    void failExchange(Cause cause = Cause::Unusable);
    // A readout into the restore point or the read-back copy rather than stagingConfig.
    bool readingAside() const
    {
        return m_stage == Stage::ReadingPrevious || m_stage == Stage::ReadingBack;
    }
    bool reading() const { return m_state.direction == kDirectionReadout || readingAside(); }
    Configuration &readTarget();
    // The hello of a transmission was answered: the restore point, the read-back or the
    // channel-count check follows.
    void transmitHelloAnswered(quint8 count);
    void readoutComplete();
    void allWritten();
    void reconnectTick();
    // Discards stale input, writes the hello byte and starts the hello wait.
    bool sendHello();
    // A frame arrives, or bytes wait unread, when a wait has run out: it gets a little
    // longer, once, so that no resend or failure crosses an answer on its way.
    bool lateFrameArriving();
    // Records which of what was written the switch does not hold.
    bool readBackMatches();
    // An acknowledgement of a write (record, switching state, pointer speed) is due.
    bool writeAckDue() const;
    // The write acknowledgement did not come in time after input had been dropped:
    // the write goes out again, or the exchange fails once the allowance is spent.
    void writeAckTimedOut();
    void processAck(const LinkFrame &frame);
    void processAnswer(const LinkFrame &frame);
    void fillRecord(LinkFrame &frame, quint8 index) const;

    Document &m_document;
    LinkState m_state;
    // The outstanding request or transmit frame and the record index it carries. Kept
    // apart from lastSent, which acknowledgements of our own overwrite.
    static constexpr int kNothing = -1;
    int m_outstanding = kNothing;
    quint8 m_recordIndex = 0;
    // A readout request has been acknowledged; its answer is still to come.
    bool m_answerDue = false;
    // The outstanding frame as sent; our own acknowledgements overwrite lastSent.
    LinkFrame m_request;
    // While a write waits for its acknowledgement the tool never asks for a repeat: an
    // acknowledgement names only the command, so the repeat of the previous record's
    // acknowledgement could not be told from this one's. Input dropped meanwhile is
    // answered by sending the write again once the wait has run out, when no answer to
    // anything earlier can still be on its way; only what follows that counts.
    bool m_resendDue = false;
    int m_writeResends = 0;
    // Ticks since the tool last sent a frame the switch may answer; counts to just past
    // the acknowledgement wait.
    int m_ticksSinceSent = 0;
    Configuration m_snapshot;
    // The answer stored last, to know the switch's repeat of it.
    LinkFrame m_lastAnswer;
    // Bytes were dropped that made no frame, and nothing has asked for them again yet.
    bool m_droppedBytes = false;
    // A refused frame waits for the bytes behind it before it is asked for again.
    bool m_nakDue = false;
    quint8 m_nakCommand = 0;
    TraceHook m_trace;

    RestorePointHook m_restorePointHook;
    bool m_listenOnly = false;
    Stage m_stage = Stage::Plain;
    // A write or a frame of the transmission went out more than once.
    bool m_resent = false;
    bool m_proven = false;
    bool m_wrote = false;
    int m_reconnectTicks = 0;
    int m_lateTicks = 0;
    // The restore point or the read-back, never the document's copies.
    Configuration m_aside;
    Failure m_failure = Failure::None;
    Cause m_cause = Cause::Unusable;
    QString m_refusal;
    QList<int> m_differingChannels; // 1-based
    bool m_switchingDiffers = false;
    bool m_speedDiffers = false;
};
