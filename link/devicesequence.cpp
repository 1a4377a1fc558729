#include "devicesequence.h"

#include "document/commandhost.h"
#include "document/configdiff.h"
#include "document/documentchanges.h"
#include "document/layoutwarnings.h"
#include "link/comport.h"
#include "link/mytablemodel.h"
#include "link/portlist.h"
#include "link/serialportsetup.h"

#include <QCoreApplication>

namespace {
constexpr int kHighSpeedBitrate = 115200;
constexpr int kMaxChannelsWithBitrateChoice = 4;

void clearEvents(LinkState &s)
{
    s.errorEvent = false;
    s.noConnectionEvent = false;
    s.completeEvent = false;
    s.transmitHelloEvent = false;
}
} // namespace

DeviceSequence::DeviceSequence(CommandHost &host, DocumentChanges &changes, PortChoice ports,
                               QTimer &protocolTimer)
    : m_host(host)
    , m_changes(changes)
    , m_ports(ports)
    , m_protocolTimer(protocolTimer)
    , m_link(changes.document())
    , m_portList(std::make_unique<PortList>())
    , m_portModel(std::make_unique<MyTableModel>(*m_portList))
{
    m_link.setPort(&m_port);

    for (QTimer *timer : {&m_leadInTimer, &m_helloTimer})
        timer->setInterval(kConnectionDelayMs);
    m_closeTimer.setInterval(kClosingDelayMs);
    for (QTimer *timer : {&m_leadInTimer, &m_helloTimer, &m_closeTimer})
        timer->setSingleShot(true);
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                     [this](QSerialPort::SerialPortError error) { onPortError(error); });
    // The status bar says so when the readout it names is taken back.
    QObject::connect(&m_changes, &DocumentChanges::readoutUndoneChanged, &m_report,
                     &ExchangeReport::setReadoutUndone);
}

DeviceSequence::~DeviceSequence()
{
    if (!m_port.isOpen())
        return;
    // Quitting in the middle of an exchange still tells the switch that it is over, and
    // what is queued for the port leaves before the port closes with the window.
    if (!m_closeTimer.isActive())
        m_link.closeConnection();
    drainSerialPort(m_port, 100);
}

void DeviceSequence::enumeratePorts()
{
    m_portModel->refresh();
    m_ports.availablePorts = m_portList->ports();
    // A port given on the command line was chosen already.
    if (m_ports.selectedPort.isNull() && !m_ports.availablePorts.isEmpty())
        m_ports.selectedPort = m_ports.availablePorts.first();
}

void DeviceSequence::setExtraPorts(const QStringList &paths)
{
    // The system's ports are enumerated when the port dialog first needs them.
    m_portList->setExtraPorts(paths);
    m_ports.availablePorts = m_portList->ports();
    if (!m_portList->extraPorts().isEmpty())
        m_ports.selectedPort = m_portList->extraPorts().first();
}

bool DeviceSequence::connectionInProgress() const
{
    // A port that only waits for its delayed close has finished its exchange; a new
    // connection closes it at once.
    return m_dialogOpen || m_leadInTimer.isActive() || m_helloTimer.isActive()
           || (m_port.isOpen() && !m_closeTimer.isActive());
}

void DeviceSequence::startReadout()
{
    if (connectionInProgress())
        return;
    m_toSend.reset();
    m_goingBack = false;
    m_verifying = false;
    m_link.state().direction = kDirectionReadout;
    beginConnection();
}

// A layout with errors goes out only when the operator says so; Return alone, the
// default, sends nothing.
bool DeviceSequence::layoutConfirmed(const Configuration &config)
{
    const QString problems = layoutProblemsQuestion(config);
    return problems.isEmpty()
           || m_host.showMessage(problems, QMessageBox::Yes | QMessageBox::Cancel,
                                 QMessageBox::Cancel)
                      == QMessageBox::Yes;
}

void DeviceSequence::startTransmit()
{
    if (connectionInProgress())
        return;
    if (!layoutConfirmed(m_changes.configuration()))
        return;
    m_toSend.reset();
    m_goingBack = false;
    m_verifying = false;
    m_link.state().direction = kDirectionTransmit;
    beginConnection();
}

void DeviceSequence::startTransmitOf(const Configuration &config, bool goingBack)
{
    if (connectionInProgress())
        return;
    if (!goingBack && !layoutConfirmed(config))
        return;
    m_toSend = config;
    m_goingBack = goingBack;
    m_verifying = false;
    m_link.state().direction = kDirectionTransmit;
    beginConnection();
}

void DeviceSequence::startVerify()
{
    if (connectionInProgress())
        return;
    m_toSend.reset();
    m_goingBack = false;
    m_verifying = true;
    m_link.state().direction = kDirectionReadout;
    beginConnection();
}

bool DeviceSequence::choosePort(quint8 direction, int channelCount)
{
    // Enumerating costs more than the rest of the window's start; it waits until here.
    if (!m_portList->isEnumerated())
        enumeratePorts();
    comPort dialog(*m_portModel);
    dialog.selectPort(m_ports.selectedPort);
    if (channelCount <= kMaxChannelsWithBitrateChoice) {
        dialog.setBitrateVisible(true);
    } else {
        // Switches with more than four channels always talk at the high rate.
        dialog.setBitrateVisible(false);
        m_ports.bitrate = kHighSpeedBitrate;
    }
    dialog.setBitrate(m_ports.bitrate);
    if (m_verifying) {
        dialog.setActionText(
                QCoreApplication::translate("CorvaneCfg", "Verify device configuration"));
    } else {
        dialog.setActionText(
                direction == kDirectionReadout
                        ? QCoreApplication::translate("CorvaneCfg", "Get device configuration")
                        : QCoreApplication::translate("CorvaneCfg", "Set device configuration"));
    }

    m_dialogOpen = true;
    const int result = dialog.exec();
    m_dialogOpen = false;
    if (result != QDialog::Accepted)
        return false;

    m_ports.selectedPort = dialog.chosenPort();
    m_ports.bitrate = dialog.chosenBitrate();
    return true;
}

void DeviceSequence::beginConnection()
{
    const quint8 direction = m_link.state().direction;
    const Configuration &config = m_toSend ? *m_toSend : m_changes.configuration();
    if (!m_goingBack && !choosePort(direction, config.channelCount))
        return;

    // The previous connection may still wait for its delayed close; close it now so
    // that the pending close cannot shut the port of this connection.
    if (m_closeTimer.isActive()) {
        m_closeTimer.stop();
        m_port.flush(); // the closing frame goes out first
        m_port.close();
    }
    m_portFailed = false;
    if (m_toSend)
        m_link.beginExchange(*m_toSend);
    else
        m_link.beginExchange();
    m_link.state().direction = direction;

    using Action = ExchangeReport::Action;
    m_report.begin(m_verifying                       ? Action::Verify
                   : direction == kDirectionTransmit ? Action::Transmit
                                                     : Action::Readout,
                   m_ports.selectedPort.portName);
    if (!openSerialPort())
        return;
    m_protocolTimer.start();
    m_leadInTimer.start();
}

bool DeviceSequence::openSerialPort()
{
    const PortDescription &port = m_ports.selectedPort;
    const QString name = port.systemLocation.isEmpty() ? port.portName : port.systemLocation;
    if (!::openSerialPort(m_port, name, m_ports.bitrate)) {
        m_report.openFailed(m_port, name);
        // A half-configured port is of no use; closed, the next attempt starts afresh.
        closePortNow();
        m_host.showMessage(QCoreApplication::translate(
                "CorvaneCfg", "Error connecting to serial port! Port in use."));
        return false;
    }
    return true;
}

void DeviceSequence::connectionDelaySlot()
{
    if (!m_link.writeLeadIn()) {
        m_report.writeFailed(m_port);
        // Nothing can follow on this port; close it so the next action can start.
        closePortNow();
        m_host.showMessage(
                QCoreApplication::translate("CorvaneCfg", "Error connecting to seriel port!"));
        return;
    }
    m_helloTimer.start();
}

void DeviceSequence::connectionDelaySlot2()
{
    if (!m_link.writeHello()) {
        m_report.writeFailed(m_port);
        closePortNow();
        m_host.showMessage(
                QCoreApplication::translate("CorvaneCfg", "Error connecting to seriel port!"));
        return;
    }
    m_host.setBusy(true);
}

void DeviceSequence::msTimerSlot()
{
    if (!m_port.isOpen()) {
        if (m_portFailed && !m_handlingEvent && !m_askingQuestion)
            handleError();
        stopTickingWhenIdle();
        return;
    }

    m_link.pollOneByte();
    m_link.linkTick();

    // Inside one of our own message boxes the link keeps receiving, but the outer
    // call decides what happens next.
    if (m_handlingEvent || m_askingQuestion || m_portFailed)
        return;
    m_report.track(m_link, m_changes.document().stagingConfig);

    LinkState &s = m_link.state();
    const auto exchangeOver = [this] { return !m_port.isOpen() || m_closeTimer.isActive(); };
    if (exchangeOver()) {
        // Closing: whatever the link still raises belongs to a finished exchange.
        clearEvents(s);
        return;
    }
    if (s.errorEvent)
        handleError();
    if (exchangeOver())
        return;
    if (s.noConnectionEvent)
        handleNoConnection();
    if (exchangeOver())
        return;
    if (s.completeEvent)
        handleComplete();
    if (exchangeOver())
        return;
    if (s.transmitHelloEvent)
        handleTransmitHello();
}

void DeviceSequence::handleError()
{
    m_handlingEvent = true;
    m_portFailed = false;
    m_host.setBusy(false);
    m_link.state().errorEvent = false;
    m_changes.refresh();
    const QString reason = m_link.failureReason();
    m_report.exchangeFailed(reason);
    m_host.setMessageDetail(reason);
    m_host.showMessage(QCoreApplication::translate(
            "CorvaneCfg", "An error occured during transmission! Action has failed."));
    closeConnection();
    m_handlingEvent = false;
}

void DeviceSequence::handleNoConnection()
{
    m_handlingEvent = true;
    m_host.setBusy(false);
    m_link.state().noConnectionEvent = false;
    m_changes.refresh();
    m_report.noHelloAnswer();
    if (m_changes.configuration().channelCount <= kMaxChannelsWithBitrateChoice) {
        m_host.showMessage(QCoreApplication::translate(
                "CorvaneCfg",
                "Cannot connect to target! Please check port, bitrate and startup mode."));
    } else {
        m_host.showMessage(QCoreApplication::translate(
                "CorvaneCfg", "Cannot connect to target! Please check port and bitrate."));
    }
    closeConnection();
    m_handlingEvent = false;
    // Same direction again: the operator may pick another port or bitrate. Going back
    // has no port dialog and is not tried again unasked.
    if (!m_goingBack)
        beginConnection();
}

void DeviceSequence::handleComplete()
{
    m_handlingEvent = true;
    m_host.setBusy(false);
    m_link.state().completeEvent = false;
    if (m_link.state().direction == kDirectionReadout && m_verifying) {
        // The switch's configuration is compared with what was shown when the
        // verification began, and never taken over.
        const Configuration &switchConfig = m_changes.document().stagingConfig;
        const QStringList differences = diffConfigurations(m_link.snapshot(), switchConfig);
        m_report.verified(m_link.snapshot(), switchConfig);
        closeConnection();
        if (differences.isEmpty()) {
            m_host.showMessage(QCoreApplication::translate(
                    "CorvaneCfg", "The switch holds the configuration shown here."));
        } else {
            m_host.showMessage(
                    QCoreApplication::translate(
                            "CorvaneCfg",
                            "The switch holds a different configuration (here → switch):\n\n%1")
                            .arg(differences.join(QLatin1Char('\n'))));
        }
    } else if (m_link.state().direction == kDirectionReadout) {
        // One step that Undo takes back. The title, the switching controls, the canvas
        // and the list follow the announcement. A switch that holds what is shown makes
        // no step, but the views start afresh all the same, as after any readout.
        m_report.readoutDone(m_changes.configuration(), m_changes.document().stagingConfig);
        if (!m_changes.applyReadout(
                    m_changes.document().stagingConfig,
                    {"CorvaneCfg", QT_TRANSLATE_NOOP("CorvaneCfg", "Get device configuration")}))
            m_changes.refresh();
        m_host.setTransmitEnabled(true);
        // The switch is released before the operator reads about what it holds.
        closeConnection();
        const QString problems = layoutProblemsMessage(m_changes.configuration());
        if (!problems.isEmpty())
            m_host.showMessage(problems);
    } else {
        // The switch is released first: the operator is asked to keep the new layout
        // while this message is still open, and going back needs the port.
        m_report.transmitted(m_link.snapshot());
        closeConnection();
        if (!m_goingBack)
            m_host.showMessage(QCoreApplication::translate("CorvaneCfg", "Transmission complete!"));
    }
    m_handlingEvent = false;
}

void DeviceSequence::handleTransmitHello()
{
    m_link.state().transmitHelloEvent = false;
    const Configuration &staged = m_changes.document().stagingConfig;
    if (staged.channelCount == staged.deviceChannels) {
        m_link.nextTransmitFrame(kHelloByte);
        return;
    }

    m_askingQuestion = true;
    const int answer = m_host.showMessage(
            QCoreApplication::translate("CorvaneCfg",
                                        "Note that the connected Vorrix has %1 channels, but "
                                        "there were %2 channels configured. Would you like to "
                                        "continue?")
                    .arg(staged.deviceChannels)
                    .arg(staged.channelCount),
            QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Yes);
    m_askingQuestion = false;

    if (!m_port.isOpen() || m_portFailed)
        return; // the port failed while the question was open; the next tick reports it
    // The exchange may have failed while the operator read the question (the switch gave
    // up, or chattered until a wait ran out): nothing more goes out, the next tick
    // reports the failure.
    if (m_link.state().errorEvent || m_link.state().noConnectionEvent)
        return;
    if (answer == QMessageBox::Yes) {
        m_link.nextTransmitFrame(kHelloByte);
    } else {
        m_host.setBusy(false);
        closeConnection();
        m_report.cancelled();
    }
}

void DeviceSequence::closeConnection()
{
    if (m_link.closeConnection())
        m_closeTimer.start();
}

void DeviceSequence::closingDelaySlot()
{
    closePortNow();
}

void DeviceSequence::closePortNow()
{
    // Closing a closed port would leave NotOpenError behind.
    if (m_port.isOpen())
        m_port.close();
    stopTickingWhenIdle();
}

void DeviceSequence::stopTickingWhenIdle()
{
    // At rest the program does not wake the machine every 2 ms. A port failure under a
    // running exchange keeps the timer: its next tick reports the failure.
    if (!m_port.isOpen() && !m_portFailed)
        m_protocolTimer.stop();
}

void DeviceSequence::onPortError(QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return;
    if (!m_port.isOpen() || m_closeQueued)
        return;
    // Only a failure under a running exchange is reported; one while closing or while
    // the outcome is already being reported is not.
    const bool exchangeRunning = !m_closeTimer.isActive() && !m_handlingEvent;
    m_closeQueued = true;
    m_leadInTimer.stop();
    m_helloTimer.stop();
    m_closeTimer.stop();
    // Closing from inside the port's own notification is not safe; the next turn of
    // the event loop does it, before the repeated errors can pile up.
    QMetaObject::invokeMethod(
            &m_port,
            [this] {
                m_closeQueued = false;
                if (m_port.isOpen())
                    m_port.close();
                stopTickingWhenIdle();
            },
            Qt::QueuedConnection);
    m_link.beginExchange();
    if (exchangeRunning) {
        m_portFailed = true;
        m_report.portFailed(error);
    }
}
