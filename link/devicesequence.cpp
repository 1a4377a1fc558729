#include "devicesequence.h"

#include "document/commandhost.h"
#include "document/configdiff.h"
#include "document/documentchanges.h"
#include "document/layoutwarnings.h"
#include "link/comport.h"
#include "link/mytablemodel.h"
#include "link/portlist.h"

#include <QCoreApplication>

namespace {
constexpr int kHighSpeedBitrate = 115200;
constexpr int kMaxChannelsWithBitrateChoice = 4;
} // namespace

DeviceSequence::DeviceSequence(CommandHost &host, DocumentChanges &changes, PortChoice ports,
                               QTimer &protocolTimer, QObject *parent)
    : QObject(parent)
    , m_host(host)
    , m_changes(changes)
    , m_ports(ports)
    , m_connection(changes.document(), protocolTimer)
    , m_portList(std::make_unique<PortList>())
    , m_portModel(std::make_unique<MyTableModel>(*m_portList))
{
    // What the operator sees of an outcome comes after the tick that raised it.
    connect(&m_connection, &LinkConnection::failed, this, &DeviceSequence::onFailed,
            Qt::QueuedConnection);
    connect(&m_connection, &LinkConnection::finished, this, &DeviceSequence::onFinished,
            Qt::QueuedConnection);
    connect(&m_connection, &LinkConnection::countMismatch, this, &DeviceSequence::onCountMismatch,
            Qt::QueuedConnection);
    connect(&m_connection, &LinkConnection::helloWritten, this, [this] { m_host.setBusy(true); });
    // The status bar says so when the readout it names is taken back.
    connect(&m_changes, &DocumentChanges::readoutUndoneChanged, &report(),
            &ExchangeReport::setReadoutUndone);
}

DeviceSequence::~DeviceSequence() = default;

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

void DeviceSequence::startReadout()
{
    start(ExchangeReport::Action::Readout, std::nullopt, false);
}

void DeviceSequence::startTransmit()
{
    if (connectionInProgress() || !layoutConfirmed(m_changes.configuration()))
        return;
    start(ExchangeReport::Action::Transmit, std::nullopt, false);
}

void DeviceSequence::startTransmitOf(const Configuration &config)
{
    if (connectionInProgress() || !layoutConfirmed(config))
        return;
    start(ExchangeReport::Action::Transmit, config, false);
}

void DeviceSequence::startGoingBack(const Configuration &config, Link::RestorePointHook check,
                                    const QString &partlyWritten)
{
    m_goingBackCheck = std::move(check);
    m_partlyWritten = partlyWritten;
    start(ExchangeReport::Action::Transmit, config, true);
}

void DeviceSequence::startVerify()
{
    start(ExchangeReport::Action::Verify, std::nullopt, false);
}

void DeviceSequence::start(ExchangeReport::Action action, std::optional<Configuration> toSend,
                           bool goingBack)
{
    if (connectionInProgress())
        return;
    m_action = action;
    m_toSend = std::move(toSend);
    m_goingBack = goingBack;
    beginConnection();
}

const Configuration &DeviceSequence::configuration() const
{
    return m_toSend ? *m_toSend : m_changes.configuration();
}

bool DeviceSequence::choosePort(int channelCount)
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
    switch (m_action) {
    case ExchangeReport::Action::Verify:
        dialog.setActionText(
                QCoreApplication::translate("CorvaneCfg", "Verify device configuration"));
        break;
    case ExchangeReport::Action::Readout:
        dialog.setActionText(QCoreApplication::translate("CorvaneCfg", "Get device configuration"));
        break;
    case ExchangeReport::Action::Transmit:
        dialog.setActionText(QCoreApplication::translate("CorvaneCfg", "Set device configuration"));
        break;
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
    if (!m_goingBack && !choosePort(configuration().channelCount))
        return;

    const PortDescription &port = m_ports.selectedPort;
    LinkConnection::Request request;
    request.port = port.systemLocation.isEmpty() ? port.portName : port.systemLocation;
    request.shownPort = port.portName;
    request.bitrates = {m_ports.bitrate};
    request.action = m_action;
    request.toSend = m_toSend;
    if (m_action == ExchangeReport::Action::Transmit)
        request.beforeWrite = m_goingBack ? m_goingBackCheck : m_restorePointHook;
    emit exchangeBegan();
    m_connection.start(request);
}

void DeviceSequence::onFailed(LinkConnection::Failure failure, const QString &reason)
{
    Q_UNUSED(reason)
    m_host.setBusy(false);
    const QString message = failureMessage(failure, configuration().channelCount);
    switch (failure) {
    case LinkConnection::Failure::PortOpen:
    case LinkConnection::Failure::PortWrite:
        m_host.showMessage(message);
        return release();
    case LinkConnection::Failure::NoAnswer:
        m_changes.refresh();
        m_host.showMessage(message);
        release();
        // Same action again: the operator may pick another port or bitrate. Going back
        // has no port dialog and is not tried again unasked.
        if (!m_goingBack && !connectionInProgress())
            beginConnection();
        return;
    case LinkConnection::Failure::Exchange:
    case LinkConnection::Failure::PortLost:
        break;
    }
    m_changes.refresh();
    QString detail = m_connection.link().failureReason();
    if (m_goingBack && m_connection.link().wroteAnything())
        detail = detail.isEmpty() ? m_partlyWritten : detail + QLatin1Char(' ') + m_partlyWritten;
    m_host.setMessageDetail(detail);
    m_host.showMessage(message);
    release();
}

void DeviceSequence::onFinished()
{
    m_host.setBusy(false);
    switch (m_action) {
    case ExchangeReport::Action::Verify:
        return verified();
    case ExchangeReport::Action::Readout:
        return readoutTaken();
    case ExchangeReport::Action::Transmit:
        break;
    }
    // The switch is released first: the operator is asked to keep the new layout while
    // this message is still open, and going back needs the port.
    release();
    if (!m_goingBack)
        m_host.showMessage(QCoreApplication::translate("CorvaneCfg", "Transmission complete!"));
}

void DeviceSequence::verified()
{
    // The switch's configuration is compared with what was shown when the verification
    // began, and never taken over.
    const Configuration &switchConfig = m_changes.document().stagingConfig;
    const QStringList differences
            = diffConfigurations(m_connection.link().snapshot(), switchConfig);
    release();
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
}

void DeviceSequence::readoutTaken()
{
    // One step that Undo takes back. The title, the switching controls, the canvas and
    // the list follow the announcement. A switch that holds what is shown makes no step,
    // but the views start afresh all the same, as after any readout.
    if (!m_changes.applyReadout(
                m_changes.document().stagingConfig,
                {"CorvaneCfg", QT_TRANSLATE_NOOP("CorvaneCfg", "Get device configuration")}))
        m_changes.refresh();
    m_host.setTransmitEnabled(true);
    // The switch is released before the operator reads about what it holds.
    release();
    const QString problems = layoutProblemsMessage(m_changes.configuration());
    if (!problems.isEmpty())
        m_host.showMessage(problems);
}

void DeviceSequence::onCountMismatch(int deviceChannels, int configuredChannels)
{
    const int answer = m_host.showMessage(
            QCoreApplication::translate(
                    "CorvaneCfg",
                    "Note that the connected Vorrix has %1 channels, but there were %2 channels "
                    "configured. Would you like to continue?")
                    .arg(deviceChannels)
                    .arg(configuredChannels),
            QMessageBox::Yes | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes) {
        m_connection.proceed();
        return;
    }
    m_host.setBusy(false);
    m_connection.cancel();
}

void DeviceSequence::release()
{
    m_connection.close();
    emit exchangeEnded();
}
