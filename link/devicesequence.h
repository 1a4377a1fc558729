#pragma once

#include "link/exchangereport.h"
#include "link/link.h"
#include "link/portdescription.h"

#include <QList>
#include <QSerialPort>
#include <QStringList>
#include <QTimer>

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

// Readout and transmit from the main window: the port dialog, the connection
// delays, the protocol tick and the messages for the link's events. Owns the serial
// port, the link on the window's document and the port list the dialog shows. The
// window's 2 ms protocol timer runs only while a connection exists.
class DeviceSequence
{
public:
    DeviceSequence(CommandHost &host, DocumentChanges &changes, PortChoice ports,
                   QTimer &protocolTimer);
    ~DeviceSequence();

    // The single-shot delays of a connection; the window connects them to its slots.
    QTimer &leadInTimer() { return m_leadInTimer; }
    QTimer &helloTimer() { return m_helloTimer; }
    QTimer &closeTimer() { return m_closeTimer; }

    // Fills the window's availablePorts and, when none is chosen yet, selects the first
    // one. The first port dialog calls it; nothing does at start-up.
    void enumeratePorts();
    // Ports given on the command line: listed first, the first one preselected.
    void setExtraPorts(const QStringList &paths);

    void startReadout();
    void startTransmit();
    // Sends `config` instead of the window's configuration. Going back takes the port
    // and bitrate of the last exchange without the port dialog, asks nothing, and
    // leaves the outcome to the status bar instead of "Transmission complete!".
    void startTransmitOf(const Configuration &config, bool goingBack);
    // The transmission under way (or the last one) puts a configuration back.
    bool goingBack() const { return m_goingBack; }
    // Reads the switch like a readout and says whether it holds the window's
    // configuration; the document is not touched.
    void startVerify();
    void msTimerSlot();
    void connectionDelaySlot();
    void connectionDelaySlot2();
    void closingDelaySlot();

    // While the port dialog runs and from its acceptance until the closing frame is
    // sent; a device action meanwhile is ignored.
    bool connectionInProgress() const;

    Link &link() { return m_link; }
    QSerialPort &serialPort() { return m_port; }
    PortList &portList() { return *m_portList; }
    MyTableModel &portModel() { return *m_portModel; }
    // Progress and outcome of the exchanges, for the status bar.
    ExchangeReport &report() { return m_report; }

private:
    bool layoutConfirmed(const Configuration &config);
    void beginConnection();
    // The port dialog; false when it was not accepted.
    bool choosePort(quint8 direction, int channelCount);
    bool openSerialPort();
    void closeConnection();
    void closePortNow();
    // Stops the protocol timer once the port is closed and nothing is left to report.
    void stopTickingWhenIdle();
    // A device that vanished makes Qt 6.4 repeat the error without end: close at once.
    void onPortError(QSerialPort::SerialPortError error);

    void handleError();
    void handleNoConnection();
    void handleComplete();
    void handleTransmitHello();

    CommandHost &m_host;
    DocumentChanges &m_changes;
    PortChoice m_ports;
    QTimer &m_protocolTimer;
    QSerialPort m_port;
    Link m_link;
    std::unique_ptr<PortList> m_portList;
    std::unique_ptr<MyTableModel> m_portModel;
    QTimer m_leadInTimer;
    QTimer m_helloTimer;
    QTimer m_closeTimer;
    bool m_dialogOpen = false;
    // What a transmission sends instead of the window's configuration.
    std::optional<Configuration> m_toSend;
    bool m_goingBack = false;
    // The readout in progress compares instead of taking the configuration over.
    bool m_verifying = false;
    // Set while the outcome of an exchange is reported, so nested ticks (the modal
    // message box keeps the timer running) do not report again.
    bool m_handlingEvent = false;
    // Set while the channel-count question is open; the exchange goes on afterwards.
    bool m_askingQuestion = false;
    bool m_closeQueued = false;
    // The port failed under a running exchange; reported on the next tick.
    bool m_portFailed = false;
    ExchangeReport m_report;
};
