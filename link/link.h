#pragma once

#include "link/linkframe.h"
#include "link/linkstate.h"

#include <initializer_list>

#include <functional>

struct Document;
class QIODevice;

// Timing of a connection. Time-outs inside the link are counted in protocol ticks.
constexpr int kProtocolTickMs = 2;
constexpr int kConnectionDelayMs = 100; // port opened -> lead-in, lead-in -> hello
constexpr int kClosingDelayMs = 750;    // closing frame -> port closed
constexpr int kReceiveTimeoutTicks = 300;
constexpr int kAckTimeoutTicks = 1000;

constexpr quint8 kLeadInByte = 0x7F;
constexpr quint8 kHelloByte = 0x7E;

// The tool's side of the frame protocol: builds and sends frames, assembles and
// checks what arrives, answers it and raises the four events. It reads the current
// configuration for a transmission and writes a readout into the staging copy.
// Bytes and ticks come in from outside, so a test drives it without sleeping.
class Link
{
public:
    explicit Link(Document &document);

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
    // the waits and the events, so one bad exchange cannot poison the next.
    void beginExchange();
    // Writes the lead-in byte; false when the port is not open or the write fails.
    bool writeLeadIn();
    // Discards stale input, writes the hello byte, copies the current configuration
    // into the staging copy and starts the hello wait; false on a port failure.
    bool writeHello();
    // Sends the closing frame when the port is open; true when a delayed port
    // close should follow. Ends both waits, so no time-out fires after the end.
    bool closeConnection();

    // Observer of every byte written (outgoing = true) and read, for line traces.
    using TraceHook = std::function<void(bool outgoing, const QByteArray &bytes)>;
    void setTraceHook(TraceHook hook) { m_trace = std::move(hook); }

    // Smallest payload a received frame of this command must carry to be used.
    static int minimumPayload(quint8 command);

private:
    void write(const QByteArray &bytes);
    void armWait();
    // Builds a frame with this command and payload, fills in its CRC and sends it.
    void sendPayload(quint8 command, std::initializer_list<quint8> payload);
    void acknowledged();
    void failExchange();
    void processAck(const LinkFrame &frame);
    void fillRecord(LinkFrame &frame, quint8 index) const;

    Document &m_document;
    LinkState m_state;
    // Index of the record frame last sent in a transmission. Kept apart from
    // lastSent, which acknowledgements of our own overwrite.
    quint8 m_recordIndex = 0;
    TraceHook m_trace;
};
