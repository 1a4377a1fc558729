#pragma once

#include "document/document.h"
#include "link/linkconnection.h"

#include <QList>
#include <QObject>

// How long one bitrate is tried: the two connection delays and the wait for the hello's
// acknowledgement, well inside the link's own hello time-out.
constexpr int kProbeWindowMs = 1500;

// "Vorrix 8 at 115200 bit/s"
QString switchModelText(int channels, int bitrate);

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

// Looks for a switch on one port: at each bitrate in turn, the opening of a connection
// (port opened, lead-in, hello) up to the acknowledgement of the hello, which carries
// the channel count; then the closing frame, so the switch returns to normal operation.
// Nothing else is sent. Each probe has a connection of its own, so many run side by side.
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
    void found();
    void failed(LinkConnection::Failure failure, const QString &reason);
    void closed();

    QString m_portName;
    QList<int> m_bitrates;
    bool m_running = false;
    ProbeResult m_result;
    Document m_document;
    LinkConnection m_connection;
};
