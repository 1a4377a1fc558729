#pragma once

#include "link/exchangereport.h"
#include "link/link.h"

#include <QList>
#include <QObject>
#include <QSerialPort>
#include <QTimer>

#include <optional>

struct Document;

// One connection to a switch on one serial port, from opening the port to closing it:
// the line settings, the lead-in and the hello after their delays, the exchange on the
// link driven by a 2 ms tick, the closing frame with the quiet line after it, and the
// rule that a port which fails under an exchange is closed at once. It is the only
// holder of a serial port: the window's sequence, the probe, ovsctl and the fleet all
// talk to switches through it. It reports by signals and shows nothing itself.
//
// After finished() or failed() the switch waits until the owner calls close() (the
// closing frame, then the quiet line before the port closes) or closeNow(); the owner
// may tell the operator first. A read-back that proves a transmission is a second
// connection inside the same exchange; the link times it in ticks (Link::reconnectTick),
// so that it runs in memory as on a port.
class LinkConnection : public QObject
{
    Q_OBJECT

public:
    enum class Stage {
        Idle,       // nothing to do; the port is closed
        Opening,    // the port is open, the lead-in and the hello are still to go
        Exchanging, // the hello has gone out
        Deciding,   // the switch has another channel count: proceed() or cancel()
        Over,       // finished() or failed() was reported; the switch waits for close()
        Retrying,   // closing frame sent; the next bitrate follows the quiet line
        Closing,    // closing frame sent; the port closes after the quiet line
    };
    enum class Failure {
        PortOpen,  // the port could not be opened or set up
        PortWrite, // the lead-in or the hello could not be written
        NoAnswer,  // the hello went unanswered at every bitrate
        Exchange,  // the exchange failed; the reason says why, where known
        PortLost,  // the port failed under the exchange (the device went away)
    };
    Q_ENUM(Failure)

    struct Request
    {
        QString port;      // system name or device path, as opened
        QString shownPort; // the port's name in reports; empty = `port`
        // Tried in turn while the hello goes unanswered.
        QList<int> bitrates{115200};
        ExchangeReport::Action action = ExchangeReport::Action::Readout;
        // A transmission sends this instead of the document's current configuration.
        std::optional<Configuration> toSend;
        // Without it a transmission to a switch with another channel count stops in
        // Stage::Deciding and reports countMismatch().
        bool continueOnMismatch = false;
        // A transmission calls it with what the switch holds before anything is written.
        Link::RestorePointHook beforeWrite;
        // Sends the lead-in, the hello and the closing frame and nothing else; done when
        // the hello is answered (finished()) or when `helloDeadlineMs` has passed since
        // the port was opened at a bitrate.
        bool probe = false;
        int helloDeadlineMs = 0;
        Link::TraceHook trace;
    };

    // Drives itself on timers of its own.
    explicit LinkConnection(Document &document, QObject *parent = nullptr);
    // Ticks on `routedTicker` and connects none of its timers: the owner connects the
    // ticker, leadInTimer(), helloTimer() and closeTimer() to slots of its own that call
    // tick(), leadIn(), hello() and quietLineEnded() (the main window's four slots).
    LinkConnection(Document &document, QTimer &routedTicker, QObject *parent = nullptr);
    // Mid-exchange, the switch still hears the closing frame before the port closes.
    ~LinkConnection() override;

    // Opens the port; a connection still in its quiet line is closed at once first.
    void start(const Request &request);
    // The answer to countMismatch(): go on with the configured records, or stop.
    void proceed();
    void cancel();
    // Releases the switch: the closing frame, the quiet line, the port closed, closed().
    void close();
    // The same without the quiet line: the port closes once the closing frame has left.
    void closeNow();

    // The steps its timers drive.
    void tick();
    void leadIn();
    void hello();
    void quietLineEnded();
    QTimer &leadInTimer() { return m_leadInTimer; }
    QTimer &helloTimer() { return m_helloTimer; }
    QTimer &closeTimer() { return m_closeTimer; }

    Stage stage() const { return m_stage; }
    // From start() until close(): the switch is not released yet.
    bool busy() const
    {
        return m_stage != Stage::Idle && m_stage != Stage::Closing && m_stage != Stage::Retrying;
    }
    const Request &request() const { return m_request; }
    // The bitrate of the attempt under way, or of the last one.
    int bitrate() const { return m_bitrate; }

    Link &link() { return m_link; }
    const Link &link() const { return m_link; }
    ExchangeReport &report() { return m_report; }
    const ExchangeReport &report() const { return m_report; }
    QSerialPort &serialPort() { return m_port; }

signals:
    void helloWritten();
    void countMismatch(int deviceChannels, int configuredChannels);
    // The exchange succeeded; report() says how it ended. For a probe: the hello was
    // answered, with the channel count in the document's stagingConfig.deviceChannels.
    void finished();
    // `reason` is what is known beyond the failure's kind; it may be empty.
    void failed(LinkConnection::Failure failure, const QString &reason);
    void closed();

private:
    void setUp();
    void openAt(int bitrate);
    void exchangeStep();
    void probeTick();
    void helloUnanswered();
    void complete();
    void fail(Failure failure, const QString &reason);
    void portWriteFailed();
    void onPortError(QSerialPort::SerialPortError error);
    void portFailedUnderExchange();
    void stopConnectionTimers();
    void stopTickingWhenIdle();

    Document &m_document;
    QSerialPort m_port;
    Link m_link;
    ExchangeReport m_report;
    QTimer m_ownTicker;
    QTimer *const m_ticker;
    const bool m_routed;
    QTimer m_leadInTimer;
    QTimer m_helloTimer;
    QTimer m_closeTimer;
    // A probe's wait for the hello's answer at one bitrate.
    QTimer m_deadline;
    // Reports a port failure on the next turn of the event loop: closing a port from
    // inside its own notification is not safe, and Qt repeats the error until then.
    QTimer m_portFailure;
    Stage m_stage = Stage::Idle;
    Request m_request;
    qsizetype m_nextBitrate = 0;
    int m_bitrate = 0;
};

// The program's message for a failed connection, word for word the same in the window
// and in ovsctl; `configuredChannels` picks the one for a switch that does not answer.
QString failureMessage(LinkConnection::Failure failure, int configuredChannels);
