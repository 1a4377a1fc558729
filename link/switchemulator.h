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
    QString devicePath() const { return m_pty.slavePath(); }
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

    // Faults.
    void setReportedChannels(int count) { m_reportedChannels = count; }
    void setSilent(bool silent) { m_silent = silent; }
    // Each outgoing frame is damaged (one bit of one byte) with this probability. The
    // damage falls on the payload and CRC only, unless headers are allowed too.
    void setCorruptShare(double share, quint32 seed = 1);
    // Lets the damage fall on any byte: start byte, command and length included.
    void setCorruptHeaders(bool any) { m_corruptHeaders = any; }
    void nakNextFrames(int count) { m_nakNext = count; }
    // Answers nothing once this many good frames have been received; -1 = never.
    void goQuietAfter(int frames) { m_quietAfter = frames; }
    void setGarbageBeforeFrames(const QByteArray &garbage) { m_garbage = garbage; }
    // Acknowledges a write of the record with this index but keeps the old one; -1 = none.
    void keepRecordOnWrite(int index) { m_keptRecord = index; }
    enum class Chatter {
        Off,
        // Acknowledges the hello, then neither acknowledges nor answers anything and
        // sends a well-formed frame with an unknown command every 1 to 1.5 s.
        UnknownFrames,
        // Acknowledges the switching state request but never answers it; acknowledges
        // it again every 1.5 s instead.
        ReAcknowledge,
    };
    // The chatter runs from the hello (or the request) until the closing frame.
    void setChatter(Chatter mode) { m_chatter = mode; }
    // Answers the request for record i with record i + offset (modulo 8); 0 = in order.
    void setRecordOffset(int offset) { m_recordOffset = offset; }
    // Loses the first write of the record with this index on the way in: the switch
    // never sees it, so neither answers nor stores it. Each call adds an index; -1
    // clears them all.
    void loseRecordWrite(int index)
    {
        m_lostRecords = index < 0 ? 0u : m_lostRecords | (1u << (index % kMaxChannels));
    }
    // After each frame it sends, a stray byte 00 follows with this probability.
    void setStrayByteShare(double share) { m_strayShare = share; }
    // Each byte that arrives is damaged (one bit) with this probability before the
    // switch reads it.
    void setIncomingCorruptShare(double share) { m_incomingShare = share; }
    // Everything the switch sends leaves this many milliseconds late, as from a switch
    // that is slow to answer.
    void setAnswerDelay(int ms) { m_answerDelayMs = ms; }
    // The acknowledgement of a record write leaves this many milliseconds late instead,
    // as from a switch slow to store a record; everything else as setAnswerDelay()
    // says. 0 = as the rest.
    void setRecordDelay(int ms) { m_recordDelayMs = ms; }
    // On a pseudo-terminal: hears only a client whose line is set to this bitrate (bytes
    // at any other rate are noise it cannot read); 0 = any.
    void setOnlyBitrate(int bitrate) { m_onlyBitrate = bitrate; }

    // What happened, for tests.
    const QList<LinkFrame> &receivedFrames() const { return m_received; }
    int helloCount() const { return m_hellos; }
    int leadInCount() const { return m_leadIns; }
    int badFrameCount() const { return m_badFrames; }
    int corruptedCount() const { return m_corrupted; }
    void clearLog();

signals:
    void frameReceived(quint8 command);
    void closingReceived();

private:
    void readPty();
    void readDevice();
    bool hearsClientBitrate() const;
    void receiveByte(quint8 b);
    void byteBetweenFrames(quint8 b);
    void handleFrame(const LinkFrame &f);
    void send(quint8 command, const QByteArray &payload);
    void sendFrameBytes(const LinkFrame &f);
    void emit_(const QByteArray &bytes);
    bool quiet() const;
    bool live() const { return m_pty.isOpen() || m_device; }
    void startChatter();
    void stopChatter();
    void chatter();
    void releaseDelayed();
    void write(const QByteArray &bytes);

    Configuration m_config;
    int m_reportedChannels;

    PtyPair m_pty;
    QSocketNotifier *m_notifier = nullptr;
    QIODevice *m_device = nullptr;
    QByteArray m_outbox;

    LinkFrame m_rx;
    quint8 m_rxState = kRxIdle;
    quint16 m_rxIndex = 0;
    QElapsedTimer m_lastByte;
    LinkFrame m_lastSent;
    bool m_haveLastSent = false;

    bool m_silent = false;
    double m_corruptShare = 0.0;
    bool m_corruptHeaders = false;
    Chatter m_chatter = Chatter::Off;
    int m_recordOffset = 0;
    QTimer m_chatterTimer;
    qint64 m_clockMs = 0;
    qint64 m_chatterDueMs = -1; // in-process driving; -1 = nothing due
    QRandomGenerator m_rng{1};
    int m_nakNext = 0;
    int m_quietAfter = -1;
    QByteArray m_garbage;
    int m_keptRecord = -1;
    quint32 m_lostRecords = 0; // one bit per record index
    double m_strayShare = 0.0;
    double m_incomingShare = 0.0;
    int m_answerDelayMs = 0;
    int m_recordDelayMs = 0;
    bool m_sendingRecordAck = false;
    int m_onlyBitrate = 0;
    // Delayed output: when each piece is due (on the in-process clock, or as measured by
    // m_delayClock when live) and its bytes.
    QList<QPair<qint64, QByteArray>> m_delayed;
    QTimer m_delayTimer;
    QElapsedTimer m_delayClock;
    qint64 m_lastByteMs = 0; // in-process clock at the last byte received

    QList<LinkFrame> m_received;
    int m_hellos = 0;
    int m_leadIns = 0;
    int m_badFrames = 0;
    int m_corrupted = 0;
};
