#pragma once

#include "document/document.h"
#include "link/link.h"

#include <QList>
#include <QObject>
#include <QSerialPort>
#include <QTimer>

// How long one bitrate is tried: the two connection delays and the wait for the hello's
// acknowledgement, well inside the link's own hello time-out.
constexpr int kProbeWindowMs = 1500;

// What a probe found on one port.
struct ProbeResult
{
    enum class Outcome {
        Found,      // a switch answered the hello: `channels`, `bitrate`
        NoAnswer,   // nothing answered at any of the bitrates
        PortFailed, // the port could not be opened or went away: `reason`
    };
    Outcome outcome = Outcome::NoAnswer;
    int channels = 0;
    int bitrate = 0;
    QString reason;
};

// Looks for a switch on one port: at each bitrate in turn, the connection opening of a
// transmission (port opened, lead-in, hello) up to the acknowledgement of the hello,
// which carries the channel count; then the closing frame, so the switch returns to
// normal operation. Nothing else is sent. Runs on the event loop with its own 2 ms tick,
// so many probes run side by side.
class SwitchProbe : public QObject
{
    Q_OBJECT

public:
    SwitchProbe(const QString &portName, const QList<int> &bitrates, QObject *parent = nullptr);
    // Stops a probe still running: the closing frame goes out and the port closes.
    ~SwitchProbe() override;

    QString portName() const { return m_portName; }
    void start();
    // Ends a running probe at once, as the destructor does; finished() is not emitted.
    void stop();
    bool isRunning() const { return m_running; }
    const ProbeResult &result() const { return m_result; }

signals:
    void finished();

private:
    void tryNextBitrate();
    void leadIn();
    void hello();
    void writeFailed();
    void tick();
    void portError(QSerialPort::SerialPortError error);
    // Closing frame, then either the next bitrate or the end.
    void endAttempt(bool tryAnother);
    void conclude();
    void stopTimers();

    QString m_portName;
    QList<int> m_bitrates;
    qsizetype m_nextBitrate = 0;
    int m_bitrate = 0;
    bool m_running = false;
    ProbeResult m_result;

    Document m_document;
    QSerialPort m_port;
    Link m_link;
    QTimer m_ticker;
    QTimer m_leadInTimer;
    QTimer m_helloTimer;
    QTimer m_deadline;
    // The closing frame's time on the line before the port changes bitrate or closes.
    QTimer m_closeTimer;
    bool m_tryAnother = false;
};
