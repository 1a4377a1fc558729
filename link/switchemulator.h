#pragma once

#include "document/configuration.h"
#include "link/linkframe.h"
#include "link/ptypair.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>

#include <optional>

class QIODevice;
class QSocketNotifier;

// The device's side of the link protocol: answers the hello with its channel count,
// acknowledges every frame, answers readout requests from its own configuration and
// stores what a transmission writes. Runs on a pseudo-terminal, on any QIODevice, or
// is fed bytes directly; faults can be switched on for tests and for trying the tool
// against a misbehaving switch.
class SwitchEmulator : public QObject
{
    Q_OBJECT

public:
    explicit SwitchEmulator(int channels = kMaxChannels,
                            const Configuration &config = Configuration(),
                            QObject *parent = nullptr);
    ~SwitchEmulator() override;

    // Serves on a new pseudo-terminal from the event loop; devicePath() is the end a
    // serial port opens. False when no pseudo-terminal could be had.
    bool startOnPty();
    QString devicePath() const { return m_line.pty.slavePath(); }
    // Serves on an open device: reads on readyRead, answers by writing to it.
    void attachDevice(QIODevice *device);
    // Closes the pseudo-terminal (the client sees the far end go away) and detaches.
    void stop();

    // In-process driving: bytes the tool wrote. Answers go to the pseudo-terminal or
    // attached device, otherwise they collect for takeOutput().
    void feed(const QByteArray &bytes);
    QByteArray takeOutput();
    // A quiet gap on the line: an unfinished frame is dropped.
    void lineIdle();
    // In-process driving: lets this much time pass for the timed faults (chatter).
    // On a pseudo-terminal or device the event loop's timers do it.
    void elapse(int ms);

    const Configuration &configuration() const { return m_config; }
    void setConfiguration(const Configuration &config);
    int channels() const { return m_config.channelCount; }

    enum class Chatter {
        Off,
        // Acknowledges the hello, then neither acknowledges nor answers anything and
        // sends a well-formed frame with an unknown command every 1 to 1.5 s.
        UnknownFrames,
        // Acknowledges the switching state request but never answers it; acknowledges
        // it again every 1.5 s instead.
        ReAcknowledge,
    };
    // How the switch misbehaves; the defaults make one that does not.
    struct Faults
    {
        // The channel count the hello's acknowledgement reports; -1 = the switch's own.
        int reportedChannels = -1;
        // Answers nothing at all.
        bool silent = false;
        // Each outgoing frame is damaged (one bit of one byte) with this probability. The
        // damage falls on the payload and CRC only, unless corruptHeaders.
        double corruptShare = 0.0;
        // Seeds every chance the faults take: damage, stray bytes, chatter gaps.
        quint32 seed = 1;
        // Lets the damage fall on any byte: start byte, command and length included.
        bool corruptHeaders = false;
        // Refuses this many frames (acknowledgements and refusals aside) with a negative
        // acknowledgement.
        int nakNext = 0;
        // Answers nothing once this many good frames have been received; -1 = never.
        int quietAfter = -1;
        // Sent before every frame.
        QByteArray garbage;
        // Acknowledges a write of the record with this index but keeps the old one; -1 = none.
        int keptRecord = -1;
        // Bit i: the first write of record i is lost on the way in, so the switch neither
        // answers nor stores it.
        quint32 lostRecords = 0;
        // Runs from the hello (or the request) until the closing frame.
        Chatter chatter = Chatter::Off;
        // Answers the request for record i with record i + offset (modulo 8); 0 = in order.
        int recordOffset = 0;
        // After each frame it sends, a stray byte 00 follows with this probability.
        double strayShare = 0.0;
        // Each byte that arrives is damaged (one bit) with this probability before the
        // switch reads it.
        double incomingShare = 0.0;
        // Everything the switch sends leaves this many milliseconds late, as from a switch
        // that is slow to answer.
        int answerDelayMs = 0;
        // The acknowledgement of a record write leaves this many milliseconds late instead,
        // as from a switch slow to store a record; 0 = as answerDelayMs says.
        int recordDelayMs = 0;
        // On a pseudo-terminal: hears only a client whose line is set to this bitrate (bytes
        // at any other rate are noise it cannot read); 0 = any.
        int onlyBitrate = 0;
    };
    // The negative acknowledgements still to send, the records still to lose and the
    // chances start anew from these faults.
    void setFaults(const Faults &faults);
    const Faults &faults() const { return m_faults; }

    // What happened, for tests.
    const QList<LinkFrame> &receivedFrames() const { return m_log.received; }
    int helloCount() const { return m_log.hellos; }
    int leadInCount() const { return m_log.leadIns; }
    int badFrameCount() const { return m_log.badFrames; }
    int corruptedCount() const { return m_log.corrupted; }
    void clearLog();

signals:
    void frameReceived(quint8 command);
    void closingReceived();

private:
    // Where the switch serves: a pseudo-terminal, an attached device or, with neither,
    // the outbox that takeOutput() empties.
    struct Line
    {
        PtyPair pty;
        QSocketNotifier *notifier = nullptr;
        QIODevice *device = nullptr;
        QByteArray outbox;
        QElapsedTimer lastByte; // bytes last came in on the pseudo-terminal or device
    };
    // The frame being assembled.
    struct Receiver
    {
        LinkFrame frame;
        quint8 state = kRxIdle;
        quint16 index = 0;
    };
    // What the faults use up as they act; setFaults() starts it anew.
    struct FaultsUsed
    {
        QRandomGenerator rng;
        int naksLeft = 0;
        quint32 recordsToLose = 0;
    };
    // Time: the in-process clock, the chatter due next and output a delay holds back.
    struct Clock
    {
        qint64 nowMs = 0;      // in-process driving
        qint64 lastByteMs = 0; // nowMs at the last byte received
        QTimer chatterTimer;
        qint64 chatterDueMs = -1; // in-process driving; -1 = nothing due
        // When each piece is due (on nowMs, or as measured by delayClock when live) and
        // its bytes, in that order.
        QList<QPair<qint64, QByteArray>> delayed;
        QTimer delayTimer;
        QElapsedTimer delayClock;
    };
    // What the switch heard, for tests.
    struct Log
    {
        QList<LinkFrame> received;
        int hellos = 0;
        int leadIns = 0;
        int badFrames = 0;
        int corrupted = 0;
    };

    void readPty();
    void readDevice();
    bool hearsClientBitrate() const;
    void receiveByte(quint8 b);
    void byteBetweenFrames(quint8 b);
    void handleFrame(const LinkFrame &f);
    void answerFrame(const LinkFrame &f);
    void send(quint8 command, const QByteArray &payload, bool recordAck = false);
    void sendFrameBytes(const LinkFrame &f, bool recordAck = false);
    void emit_(const QByteArray &bytes, int delayMs);
    bool quiet() const;
    bool live() const { return m_line.pty.isOpen() || m_line.device; }
    void startChatter();
    void stopChatter();
    void chatter();
    void releaseDelayed();
    void write(const QByteArray &bytes);

    Configuration m_config;
    // The count it was made with, unbounded: what the hello's acknowledgement reports unless
    // a fault says otherwise.
    int m_channels;
    Line m_line;
    Receiver m_rx;
    Faults m_faults;
    FaultsUsed m_used;
    Clock m_clock;
    std::optional<LinkFrame> m_lastSent; // repeated when the tool asks for it
    Log m_log;
};
