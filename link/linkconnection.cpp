#include "link/linkconnection.h"

#include "document/document.h"
#include "link/exchangedriver.h"
#include "link/portfault.h"
#include "link/serialportsetup.h"

#include <QCoreApplication>

namespace {

// Lets the closing frame leave before the port closes at once.
constexpr int kDrainMs = 100;

void setUpSingleShot(QTimer &timer, int ms)
{
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(ms);
}

void clearEvents(LinkState &s)
{
    s.errorEvent = false;
    s.noConnectionEvent = false;
    s.completeEvent = false;
    s.transmitHelloEvent = false;
}

} // namespace

LinkConnection::LinkConnection(Document &document, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_link(document)
    , m_ticker(&m_ownTicker)
    , m_routed(false)
{
    setUp();
    connect(&m_ownTicker, &QTimer::timeout, this, &LinkConnection::tick);
    connect(&m_leadInTimer, &QTimer::timeout, this, &LinkConnection::leadIn);
    connect(&m_helloTimer, &QTimer::timeout, this, &LinkConnection::hello);
    connect(&m_closeTimer, &QTimer::timeout, this, &LinkConnection::quietLineEnded);
}

LinkConnection::LinkConnection(Document &document, QTimer &routedTicker, QObject *parent)
    : QObject(parent)
    , m_document(document)
    , m_link(document)
    , m_ticker(&routedTicker)
    , m_routed(true)
{
    setUp();
}

void LinkConnection::setUp()
{
    // A coarse 2 ms timer jitters up to 5 ms under load; the link counts ticks.
    m_ticker->setTimerType(Qt::PreciseTimer);
    m_ticker->setInterval(kProtocolTickMs);
    setUpSingleShot(m_leadInTimer, kConnectionDelayMs);
    setUpSingleShot(m_helloTimer, kConnectionDelayMs);
    setUpSingleShot(m_closeTimer, kClosingDelayMs);
    setUpSingleShot(m_deadline, 0);
    setUpSingleShot(m_portFailure, 0);
    m_link.setPort(&m_port);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_stage == Stage::Opening || m_stage == Stage::Exchanging)
            helloUnanswered();
    });
    connect(&m_portFailure, &QTimer::timeout, this, &LinkConnection::portFailedUnderExchange);
    connect(&m_port, &QSerialPort::errorOccurred, this, &LinkConnection::onPortError);
}

LinkConnection::~LinkConnection()
{
    if (!m_port.isOpen())
        return;
    // Going away in the middle of an exchange still tells the switch that it is over,
    // and what is queued for the port leaves before the port closes.
    if (m_stage != Stage::Closing && m_stage != Stage::Retrying)
        m_link.closeConnection();
    drainSerialPort(m_port, kDrainMs);
}

void LinkConnection::start(const Request &request)
{
    // A connection still in its quiet line ends now, so that its close cannot shut the
    // port of this one; its closing frame goes out first.
    if (m_stage == Stage::Closing || m_stage == Stage::Retrying) {
        m_closeTimer.stop();
        m_port.flush();
        m_port.close();
        m_stage = Stage::Idle;
    } else if (m_stage != Stage::Idle) {
        closeNow();
    }
    m_request = request;
    if (m_request.shownPort.isEmpty())
        m_request.shownPort = m_request.port;
    if (m_request.bitrates.isEmpty())
        m_request.bitrates = {115200};
    m_link.setRestorePointHook(m_request.beforeWrite);
    m_link.setListenOnly(m_request.probe);
    m_link.setTraceHook(m_request.trace);
    m_deadline.setInterval(m_request.helloDeadlineMs);
    m_nextBitrate = 1;
    openAt(m_request.bitrates.first());
}

void LinkConnection::openAt(int bitrate)
{
    m_bitrate = bitrate;
    if (m_request.toSend)
        m_link.beginExchange(*m_request.toSend);
    else
        m_link.beginExchange();
    const bool transmit = m_request.probe || m_request.action == ExchangeReport::Action::Transmit;
    m_link.state().direction = transmit ? kDirectionTransmit : kDirectionReadout;
    if (!m_request.probe)
        m_report.begin(m_request.action, m_request.shownPort);

    if (!openSerialPort(m_port, m_request.port, bitrate)) {
        if (!m_request.probe)
            m_report.openFailed(m_port, m_request.port);
        const QString reason = portOpenFailureReason(m_port, m_request.port);
        // A half-configured port is of no use; closed, the next attempt starts afresh.
        m_port.close();
        stopTickingWhenIdle();
        m_stage = Stage::Over;
        emit failed(Failure::PortOpen, reason);
        return;
    }
    m_stage = Stage::Opening;
    m_ticker->start();
    m_leadInTimer.start();
    if (m_request.helloDeadlineMs > 0)
        m_deadline.start();
}

void LinkConnection::leadIn()
{
    if (m_stage != Stage::Opening)
        return;
    if (!m_link.writeLeadIn())
        return portWriteFailed();
    m_helloTimer.start();
}

void LinkConnection::hello()
{
    if (m_stage != Stage::Opening)
        return;
    if (!m_link.writeHello())
        return portWriteFailed();
    m_stage = Stage::Exchanging;
    emit helloWritten();
}

void LinkConnection::portWriteFailed()
{
    if (!m_request.probe)
        m_report.writeFailed(m_port);
    const QString reason = m_port.errorString();
    // Nothing can follow on this port; closed, the next action can start.
    stopConnectionTimers();
    m_port.close();
    stopTickingWhenIdle();
    m_stage = Stage::Over;
    emit failed(Failure::PortWrite, reason);
}

void LinkConnection::tick()
{
    if (!m_port.isOpen()) {
        stopTickingWhenIdle();
        return;
    }
    m_link.pollOneByte();
    m_link.linkTick();
    switch (m_stage) {
    case Stage::Opening:
    case Stage::Exchanging:
        return m_request.probe ? probeTick() : exchangeStep();
    case Stage::Deciding:
        // The link goes on receiving; what it raises meanwhile is handled once the
        // question is answered.
        return;
    case Stage::Idle:
    case Stage::Over:
    case Stage::Retrying:
    case Stage::Closing:
        // Whatever the link still raises belongs to an exchange that is over.
        clearEvents(m_link.state());
        return;
    }
}

void LinkConnection::exchangeStep()
{
    m_report.track(m_link, m_document.stagingConfig);
    switch (takeExchangeEvent(m_link, m_document, m_request.continueOnMismatch)) {
    case TickResult::Running:
        return;
    case TickResult::Failed:
        return fail(Failure::Exchange, m_link.failureReason());
    case TickResult::NoConnection:
        return helloUnanswered();
    case TickResult::Complete:
        return complete();
    case TickResult::CountMismatch: {
        const Configuration &staged = m_document.stagingConfig;
        m_stage = Stage::Deciding;
        emit countMismatch(staged.deviceChannels, staged.channelCount);
        return;
    }
    }
}

// A probe wants the hello's answer and nothing more: its channel count, or the sign that
// nothing this program can talk to answers at this bitrate (no answer in time, or one
// with an impossible channel count).
void LinkConnection::probeTick()
{
    LinkState &s = m_link.state();
    if (s.transmitHelloEvent) {
        clearEvents(s);
        m_deadline.stop();
        m_stage = Stage::Over;
        emit finished();
    } else if (s.errorEvent || s.noConnectionEvent) {
        clearEvents(s);
        helloUnanswered();
    }
}

void LinkConnection::helloUnanswered()
{
    m_deadline.stop();
    if (m_nextBitrate >= m_request.bitrates.size())
        return fail(Failure::NoAnswer, QString());
    // The next bitrate after the closing frame and its quiet line, on the same port.
    stopConnectionTimers();
    m_link.closeConnection();
    m_stage = Stage::Retrying;
    m_closeTimer.start();
}

void LinkConnection::complete()
{
    m_stage = Stage::Over;
    const Configuration &read = m_document.stagingConfig;
    switch (m_request.action) {
    case ExchangeReport::Action::Readout:
        m_report.readoutDone(m_document.currentConfig, read);
        break;
    case ExchangeReport::Action::Verify:
        m_report.verified(m_link.snapshot(), read);
        break;
    case ExchangeReport::Action::Transmit:
        m_report.transmitted(m_link.snapshot());
        break;
    }
    emit finished();
}

void LinkConnection::fail(Failure failure, const QString &reason)
{
    stopConnectionTimers();
    m_stage = Stage::Over;
    if (!m_request.probe) {
        if (failure == Failure::NoAnswer)
            m_report.noHelloAnswer();
        else
            m_report.exchangeFailed(reason);
    }
    emit failed(failure, reason);
}

void LinkConnection::proceed()
{
    if (m_stage != Stage::Deciding)
        return;
    m_stage = Stage::Exchanging;
    if (!m_port.isOpen())
        return fail(Failure::PortLost, portLostReason());
    // The exchange may have failed while the operator read the question (the switch
    // gave up, or chattered until a wait ran out): nothing more goes out, the next tick
    // reports it.
    const LinkState &s = m_link.state();
    if (!s.errorEvent && !s.noConnectionEvent)
        m_link.nextTransmitFrame(kHelloByte);
}

void LinkConnection::cancel()
{
    if (m_stage != Stage::Deciding)
        return;
    if (!m_port.isOpen()) {
        m_stage = Stage::Exchanging;
        return fail(Failure::PortLost, portLostReason());
    }
    const LinkState &s = m_link.state();
    if (s.errorEvent || s.noConnectionEvent) {
        m_stage = Stage::Exchanging; // the next tick reports what happened first
        return;
    }
    close();
    m_report.cancelled();
}

void LinkConnection::close()
{
    stopConnectionTimers();
    if (m_stage == Stage::Idle || m_stage == Stage::Closing)
        return;
    if (m_stage == Stage::Retrying) {
        m_stage = Stage::Closing;
        return;
    }
    if (m_link.closeConnection()) {
        m_stage = Stage::Closing;
        m_closeTimer.start();
        return;
    }
    // The port never opened or has failed: nothing to release.
    m_port.close();
    stopTickingWhenIdle();
    m_stage = Stage::Idle;
    emit closed();
}

void LinkConnection::closeNow()
{
    stopConnectionTimers();
    m_closeTimer.stop();
    if (m_stage == Stage::Idle)
        return;
    if (m_port.isOpen()) {
        if (m_stage != Stage::Closing && m_stage != Stage::Retrying)
            m_link.closeConnection();
        drainSerialPort(m_port, kDrainMs);
        m_port.close();
    }
    stopTickingWhenIdle();
    m_stage = Stage::Idle;
    emit closed();
}

void LinkConnection::quietLineEnded()
{
    if (m_stage == Stage::Retrying) {
        openAt(m_request.bitrates.at(m_nextBitrate++));
        return;
    }
    if (m_stage != Stage::Closing)
        return;
    m_port.close();
    stopTickingWhenIdle();
    m_stage = Stage::Idle;
    emit closed();
}

// Qt 6.4 repeats a read error without end once the far end has gone, at full load: the
// port is closed on the next turn of the event loop, before the errors can pile up.
void LinkConnection::onPortError(QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return;
    if (!m_port.isOpen())
        return;
    m_leadInTimer.stop();
    m_helloTimer.stop();
    m_deadline.stop();
    if (m_stage == Stage::Opening || m_stage == Stage::Exchanging || m_stage == Stage::Deciding)
        m_report.portFailed(error);
    m_portFailure.start();
}

void LinkConnection::portFailedUnderExchange()
{
    if (m_port.isOpen())
        m_port.close();
    stopTickingWhenIdle();
    // Only a failure under a running exchange is reported; one while closing, or after
    // the outcome was reported, is not. At the channel-count question the answer
    // reports it.
    if (m_stage == Stage::Opening || m_stage == Stage::Exchanging)
        fail(Failure::PortLost, portLostReason());
}

void LinkConnection::stopConnectionTimers()
{
    m_leadInTimer.stop();
    m_helloTimer.stop();
    m_deadline.stop();
}

void LinkConnection::stopTickingWhenIdle()
{
    // At rest nothing wakes the machine every 2 ms.
    if (!m_port.isOpen())
        m_ticker->stop();
}

QString failureMessage(LinkConnection::Failure failure, int configuredChannels)
{
    switch (failure) {
    case LinkConnection::Failure::PortOpen:
        return QCoreApplication::translate("CorvaneCfg",
                                           "Error connecting to serial port! Port in use.");
    case LinkConnection::Failure::PortWrite:
        return QCoreApplication::translate("CorvaneCfg", "Error connecting to seriel port!");
    case LinkConnection::Failure::NoAnswer:
        return configuredChannels <= 4
                       ? QCoreApplication::translate("CorvaneCfg",
                                                     "Cannot connect to target! Please check "
                                                     "port, bitrate and startup mode.")
                       : QCoreApplication::translate(
                               "CorvaneCfg",
                               "Cannot connect to target! Please check port and bitrate.");
    case LinkConnection::Failure::Exchange:
    case LinkConnection::Failure::PortLost:
        break;
    }
    return QCoreApplication::translate("CorvaneCfg",
                                       "An error occured during transmission! Action has failed.");
}
