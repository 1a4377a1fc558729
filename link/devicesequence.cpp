#include "devicesequence.h"

#include "app/corvanecfg.h"
#include "editor/rasterwidget.h"
#include "link/comport.h"
#include "link/mytablemodel.h"
#include "link/portlist.h"
#include "link/serialportsetup.h"
#include "ui_corvanecfg.h"

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

DeviceSequence::DeviceSequence(CorvaneCfg &window)
    : w(window)
    , m_link(window.m_document)
    , m_portList(std::make_unique<PortList>())
    , m_portModel(std::make_unique<MyTableModel>(*m_portList))
{
    m_link.setPort(&m_port);

    for (QTimer *timer : {&m_leadInTimer, &m_helloTimer})
        timer->setInterval(kConnectionDelayMs);
    m_closeTimer.setInterval(kClosingDelayMs);
    for (QTimer *timer : {&m_leadInTimer, &m_helloTimer, &m_closeTimer})
        timer->setSingleShot(true);
    QObject::connect(&m_leadInTimer, &QTimer::timeout, &w, &CorvaneCfg::ConnectionDelaySlot);
    QObject::connect(&m_helloTimer, &QTimer::timeout, &w, &CorvaneCfg::ConnectionDelaySlot2);
    QObject::connect(&m_closeTimer, &QTimer::timeout, &w, &CorvaneCfg::ClosingDelaySlot);
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                     [this](QSerialPort::SerialPortError error) { onPortError(error); });
}

DeviceSequence::~DeviceSequence()
{
    if (!m_port.isOpen())
        return;
    // Quitting in the middle of an exchange still tells the switch that it is over, and
    // what is queued for the port leaves before the port closes with the window.
    if (!m_closeTimer.isActive())
        m_link.closeConnection();
    m_port.waitForBytesWritten(100);
}

void DeviceSequence::enumeratePorts()
{
    m_portModel->refresh();
    w.availablePorts = m_portList->ports();
    if (!w.availablePorts.isEmpty())
        w.selectedPort = w.availablePorts.first();
}

void DeviceSequence::setExtraPorts(const QStringList &paths)
{
    m_portList->setExtraPorts(paths);
    m_portModel->refresh();
    w.availablePorts = m_portList->ports();
    if (!m_portList->extraPorts().isEmpty())
        w.selectedPort = m_portList->extraPorts().first();
    else if (w.selectedPort.isNull() && !w.availablePorts.isEmpty())
        w.selectedPort = w.availablePorts.first();
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
    m_link.state().direction = kDirectionReadout;
    beginConnection();
}

void DeviceSequence::startTransmit()
{
    if (connectionInProgress())
        return;
    m_link.state().direction = kDirectionTransmit;
    beginConnection();
}

void DeviceSequence::beginConnection()
{
    const quint8 direction = m_link.state().direction;
    comPort dialog(*m_portModel);
    dialog.selectPort(w.selectedPort);
    if (w.m_document.currentConfig.channelCount <= kMaxChannelsWithBitrateChoice) {
        dialog.setBitrateVisible(true);
    } else {
        // Switches with more than four channels always talk at the high rate.
        dialog.setBitrateVisible(false);
        w.bitrate = kHighSpeedBitrate;
    }
    dialog.setBitrate(w.bitrate);
    dialog.setActionText(direction == kDirectionReadout
                                 ? CorvaneCfg::tr("Get device configuration")
                                 : CorvaneCfg::tr("Set device configuration"));

    m_dialogOpen = true;
    const int result = dialog.exec();
    m_dialogOpen = false;
    if (result != QDialog::Accepted)
        return;

    w.selectedPort = dialog.chosenPort();
    w.bitrate = dialog.chosenBitrate();

    // The previous connection may still wait for its delayed close; close it now so
    // that the pending close cannot shut the port of this connection.
    if (m_closeTimer.isActive()) {
        m_closeTimer.stop();
        m_port.flush(); // the closing frame goes out first
        m_port.close();
    }
    m_portFailed = false;
    m_link.beginExchange();
    m_link.state().direction = direction;

    if (!openSerialPort())
        return;
    m_leadInTimer.start();
}

bool DeviceSequence::openSerialPort()
{
    const PortDescription &port = w.selectedPort;
    const QString name = port.systemLocation.isEmpty() ? port.portName : port.systemLocation;
    if (!::openSerialPort(m_port, name, w.bitrate)) {
        // A half-configured port is of no use; closed, the next attempt starts afresh.
        closePortNow();
        showMessage(CorvaneCfg::tr("Error connecting to serial port! Port in use."));
        return false;
    }
    return true;
}

void DeviceSequence::connectionDelaySlot()
{
    if (!m_link.writeLeadIn()) {
        // Nothing can follow on this port; close it so the next action can start.
        closePortNow();
        showMessage(CorvaneCfg::tr("Error connecting to seriel port!"));
        return;
    }
    m_helloTimer.start();
}

void DeviceSequence::connectionDelaySlot2()
{
    if (!m_link.writeHello()) {
        closePortNow();
        showMessage(CorvaneCfg::tr("Error connecting to seriel port!"));
        return;
    }
    w.setCursor(Qt::WaitCursor);
}

void DeviceSequence::msTimerSlot()
{
    if (!m_port.isOpen()) {
        if (m_portFailed && !m_handlingEvent && !m_askingQuestion)
            handleError();
        return;
    }

    m_link.pollOneByte();
    m_link.linkTick();

    // Inside one of our own message boxes the link keeps receiving, but the outer
    // call decides what happens next.
    if (m_handlingEvent || m_askingQuestion || m_portFailed)
        return;

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
    w.setCursor(Qt::ArrowCursor);
    m_link.state().errorEvent = false;
    w.ui->rasterwidget->rebuildFromConfig();
    showMessage(CorvaneCfg::tr("An error occured during transmission! Action has failed."));
    closeConnection();
    m_handlingEvent = false;
}

void DeviceSequence::handleNoConnection()
{
    m_handlingEvent = true;
    w.setCursor(Qt::ArrowCursor);
    m_link.state().noConnectionEvent = false;
    w.ui->rasterwidget->rebuildFromConfig();
    if (w.m_document.currentConfig.channelCount <= kMaxChannelsWithBitrateChoice) {
        showMessage(CorvaneCfg::tr(
                "Cannot connect to target! Please check port, bitrate and startup mode."));
    } else {
        showMessage(CorvaneCfg::tr("Cannot connect to target! Please check port and bitrate."));
    }
    closeConnection();
    m_handlingEvent = false;
    // Same direction again: the operator may pick another port or bitrate.
    beginConnection();
}

void DeviceSequence::handleComplete()
{
    m_handlingEvent = true;
    w.setCursor(Qt::ArrowCursor);
    m_link.state().completeEvent = false;
    if (m_link.state().direction == kDirectionReadout) {
        Document &doc = w.m_document;
        doc.currentConfig = doc.stagingConfig;
        w.syncSwitchingControls();
        w.updateWindowTitle();
        w.ui->rasterwidget->rebuildFromConfig();
        w.ui->actionTransmit->setEnabled(true);
    } else {
        showMessage(CorvaneCfg::tr("Transmission complete!"));
    }
    closeConnection();
    m_handlingEvent = false;
}

void DeviceSequence::handleTransmitHello()
{
    m_link.state().transmitHelloEvent = false;
    const Configuration &staged = w.m_document.stagingConfig;
    if (staged.channelCount == staged.deviceChannels) {
        m_link.nextTransmitFrame(kHelloByte);
        return;
    }

    QMessageBox &box = w.messageBox;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Yes);
    box.setText(CorvaneCfg::tr("Note that the connected Vorrix has %1 channels, but there were "
                               "%2 channels configured. Would you like to continue?")
                        .arg(staged.deviceChannels)
                        .arg(staged.channelCount));
    m_askingQuestion = true;
    const int answer = box.exec();
    m_askingQuestion = false;
    box.setStandardButtons(QMessageBox::Ok);

    if (!m_port.isOpen() || m_portFailed)
        return; // the port failed while the question was open; the next tick reports it
    if (answer == QMessageBox::Yes) {
        m_link.nextTransmitFrame(kHelloByte);
    } else {
        w.setCursor(Qt::ArrowCursor);
        closeConnection();
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
            },
            Qt::QueuedConnection);
    m_link.beginExchange();
    if (exchangeRunning)
        m_portFailed = true;
}

void DeviceSequence::showMessage(const QString &text)
{
    w.messageBox.setText(text);
    w.messageBox.exec();
}
