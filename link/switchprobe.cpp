#include "link/switchprobe.h"

#include "link/portfault.h"
#include "link/serialportsetup.h"

namespace {

// Lets the closing frame leave before the line settings change or the port closes.
constexpr int kDrainMs = 100;

void setUpSingleShot(QTimer &timer, int ms)
{
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(ms);
}

} // namespace

SwitchProbe::SwitchProbe(const QString &portName, const QList<int> &bitrates, QObject *parent)
    : QObject(parent)
    , m_portName(portName)
    , m_bitrates(bitrates)
    , m_link(m_document)
{
    m_ticker.setTimerType(Qt::PreciseTimer);
    m_ticker.setInterval(kProtocolTickMs);
    setUpSingleShot(m_leadInTimer, kConnectionDelayMs);
    setUpSingleShot(m_helloTimer, kConnectionDelayMs);
    setUpSingleShot(m_deadline, kProbeWindowMs);
    setUpSingleShot(m_closeTimer, kClosingDelayMs);
    // Only the lead-in, the hello and the closing frame go out.
    m_link.setListenOnly(true);
    connect(&m_ticker, &QTimer::timeout, this, &SwitchProbe::tick);
    connect(&m_leadInTimer, &QTimer::timeout, this, &SwitchProbe::leadIn);
    connect(&m_helloTimer, &QTimer::timeout, this, &SwitchProbe::hello);
    connect(&m_deadline, &QTimer::timeout, this, [this] { endAttempt(true); });
    connect(&m_closeTimer, &QTimer::timeout, this, [this] {
        if (m_tryAnother && m_result.outcome == ProbeResult::Outcome::NoAnswer)
            return tryNextBitrate();
        conclude();
    });
    connect(&m_port, &QSerialPort::errorOccurred, this, &SwitchProbe::portError);
}

SwitchProbe::~SwitchProbe()
{
    stop();
}

void SwitchProbe::start()
{
    if (m_running)
        return;
    m_running = true;
    m_result = ProbeResult();
    m_nextBitrate = 0;
    tryNextBitrate();
}

void SwitchProbe::stop()
{
    if (!m_running)
        return;
    m_running = false;
    stopTimers();
    if (m_link.closeConnection())
        drainSerialPort(m_port, kDrainMs);
    m_port.close();
}

void SwitchProbe::stopTimers()
{
    m_ticker.stop();
    m_leadInTimer.stop();
    m_helloTimer.stop();
    m_deadline.stop();
    m_closeTimer.stop();
}

void SwitchProbe::tryNextBitrate()
{
    if (m_nextBitrate >= m_bitrates.size())
        return conclude();
    m_bitrate = m_bitrates.at(m_nextBitrate++);
    if (!openSerialPort(m_port, m_portName, m_bitrate)) {
        m_result.outcome = ProbeResult::Outcome::PortFailed;
        m_result.reason = portOpenFailureReason(m_port, m_portName);
        m_port.close();
        return conclude();
    }
    // A transmission's opening: its hello acknowledgement raises an event and sends
    // nothing, where a readout's would go on with its first request.
    m_link.setPort(&m_port);
    m_link.beginExchange();
    m_link.state().direction = kDirectionTransmit;
    m_deadline.start();
    m_leadInTimer.start();
    m_ticker.start();
}

void SwitchProbe::leadIn()
{
    if (!m_link.writeLeadIn())
        return writeFailed();
    m_helloTimer.start();
}

void SwitchProbe::hello()
{
    if (!m_link.writeHello())
        writeFailed();
}

void SwitchProbe::writeFailed()
{
    m_result.outcome = ProbeResult::Outcome::PortFailed;
    m_result.reason = m_port.errorString();
    endAttempt(false);
}

void SwitchProbe::tick()
{
    m_link.pollOneByte();
    m_link.linkTick();
    LinkState &s = m_link.state();
    if (s.transmitHelloEvent) {
        s.transmitHelloEvent = false;
        m_result.outcome = ProbeResult::Outcome::Found;
        m_result.channels = m_document.stagingConfig.deviceChannels;
        m_result.bitrate = m_bitrate;
        return endAttempt(false);
    }
    // An acknowledgement with an impossible channel count, or the link's own hello
    // time-out: nothing this program can talk to answered at this bitrate.
    if (s.errorEvent || s.noConnectionEvent) {
        s.errorEvent = s.noConnectionEvent = false;
        endAttempt(true);
    }
}

// The far end went away. Qt 6.4 repeats this error endlessly while the port stays
// open, so the port is closed at the first one.
void SwitchProbe::portError(QSerialPort::SerialPortError error)
{
    if (!m_running || (error != QSerialPort::ReadError && error != QSerialPort::ResourceError))
        return;
    stopTimers();
    m_link.closeConnection();
    m_port.close();
    m_result.outcome = ProbeResult::Outcome::PortFailed;
    m_result.reason = portLostReason();
    conclude();
}

// The closing frame gets the same time on the line as after any connection before the
// port is set to another bitrate (which discards what is still queued) or closed.
void SwitchProbe::endAttempt(bool tryAnother)
{
    stopTimers();
    m_tryAnother = tryAnother;
    if (!m_link.closeConnection()) {
        if (tryAnother && m_result.outcome == ProbeResult::Outcome::NoAnswer)
            return tryNextBitrate();
        return conclude();
    }
    drainSerialPort(m_port, kDrainMs);
    m_closeTimer.start();
}

void SwitchProbe::conclude()
{
    stopTimers();
    m_port.close();
    m_running = false;
    emit finished();
}
