#pragma once

#include "link/linkconnection.h"
#include "link/portdescription.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>

class CommandHost;
class DocumentChanges;
class MyTableModel;
class PortList;

// The port and bitrate the window remembers between exchanges, and the ports it knows.
struct PortChoice
{
    PortDescription &selectedPort;
    int &bitrate;
    QList<PortDescription> &availablePorts;
};

// Readout, transmit and verify from the main window: the port dialog, the questions and
// the messages around the window's connection, and what the window does with its
// outcome. The connection reports by signals; everything shown to the operator comes
// after the tick that raised it has returned. The window's 2 ms protocol timer runs only
// while the connection's port is open.
class DeviceSequence : public QObject
{
    Q_OBJECT

public:
    DeviceSequence(CommandHost &host, DocumentChanges &changes, PortChoice ports,
                   QTimer &protocolTimer, QObject *parent = nullptr);
    ~DeviceSequence() override;

    // The single-shot delays of a connection; the window connects them to its slots.
    QTimer &leadInTimer() { return m_connection.leadInTimer(); }
    QTimer &helloTimer() { return m_connection.helloTimer(); }
    QTimer &closeTimer() { return m_connection.closeTimer(); }

    // Fills the window's availablePorts and, when none is chosen yet, selects the first
    // one. The first port dialog calls it; nothing does at start-up.
    void enumeratePorts();
    // Ports given on the command line: listed first, the first one preselected.
    void setExtraPorts(const QStringList &paths);

    // Called with the switch's configuration before every transmission writes anything,
    // except where startGoingBack() brings a check of its own; empty = none.
    void setRestorePointHook(Link::RestorePointHook hook) { m_restorePointHook = std::move(hook); }

    void startReadout();
    void startTransmit();
    // Sends `config` instead of the window's configuration, with the port dialog, the
    // layout question and the restore point of any transmission.
    void startTransmitOf(const Configuration &config);
    // Puts `config` back into the switch of the last exchange: the port and bitrate of
    // that exchange without the port dialog, no question, and `check` (what the switch
    // holds must allow it) in place of the restore point. The outcome goes to the status
    // bar instead of "Transmission complete!". Should it fail once something of it was
    // written, `partlyWritten` is told with the failure.
    void startGoingBack(const Configuration &config, Link::RestorePointHook check,
                        const QString &partlyWritten);
    // The exchange under way, or the last one.
    ExchangeReport::Action action() const { return m_action; }
    // The transmission under way (or the last one) puts a configuration back.
    bool goingBack() const { return m_goingBack; }
    // What it sends when that is not the window's configuration.
    const std::optional<Configuration> &sending() const { return m_toSend; }
    // Reads the switch like a readout and says whether it holds the window's
    // configuration; the document is not touched.
    void startVerify();

    // The window's slots forward to these.
    void msTimerSlot() { m_connection.tick(); }
    void connectionDelaySlot() { m_connection.leadIn(); }
    void connectionDelaySlot2() { m_connection.hello(); }
    void closingDelaySlot() { m_connection.quietLineEnded(); }

    // While the port dialog runs and from its acceptance until the closing frame is
    // sent; a device action meanwhile is ignored.
    bool connectionInProgress() const { return m_dialogOpen || m_connection.busy(); }

    LinkConnection &connection() { return m_connection; }
    Link &link() { return m_connection.link(); }
    QSerialPort &serialPort() { return m_connection.serialPort(); }
    PortList &portList() { return *m_portList; }
    MyTableModel &portModel() { return *m_portModel; }
    // Progress and outcome of the exchanges, for the status bar.
    ExchangeReport &report() { return m_connection.report(); }

signals:
    // An exchange has begun: its port is about to be opened.
    void exchangeBegan();
    // The exchange has ended and the switch is released (the closing frame has gone out,
    // or the port never opened); not after the operator cancelled at the channel-count
    // question, which is no outcome.
    void exchangeEnded();

private:
    bool layoutConfirmed(const Configuration &config);
    void start(ExchangeReport::Action action, std::optional<Configuration> toSend,
               bool goingBack);
    void beginConnection();
    // The port dialog; false when it was not accepted.
    bool choosePort(int channelCount);
    // The configuration the exchange under way shows or sends.
    const Configuration &configuration() const;

    void onFailed(LinkConnection::Failure failure, const QString &reason);
    void onFinished();
    void onCountMismatch(int deviceChannels, int configuredChannels);
    void readoutTaken();
    void verified();
    void release();

    CommandHost &m_host;
    DocumentChanges &m_changes;
    PortChoice m_ports;
    LinkConnection m_connection;
    std::unique_ptr<PortList> m_portList;
    std::unique_ptr<MyTableModel> m_portModel;
    Link::RestorePointHook m_restorePointHook;
    bool m_dialogOpen = false;
    ExchangeReport::Action m_action = ExchangeReport::Action::Readout;
    // What a transmission sends instead of the window's configuration.
    std::optional<Configuration> m_toSend;
    Link::RestorePointHook m_goingBackCheck;
    QString m_partlyWritten;
    bool m_goingBack = false;
};
