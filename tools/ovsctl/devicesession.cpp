#include "devicesession.h"

#include "messages.h"
#include "ovsctl.h"

#include "document/ovsfile.h"
#include "link/portfault.h"
#include "link/serialportsetup.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTextStream>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#endif

namespace {

// Received bytes closer together than this share one trace line.
constexpr qint64 kTraceGapNs = 10'000'000;

// One clock for the whole run, so that the trace of a second connection goes on
// from the first.
QElapsedTimer runClock()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock;
}

} // namespace

DeviceSession::DeviceSession(const Options &options, Document &document, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_document(document)
    , m_link(document)
{
    m_ticker.setTimerType(Qt::PreciseTimer);
    m_ticker.setInterval(kProtocolTickMs);
    connect(&m_ticker, &QTimer::timeout, this, &DeviceSession::tick);
    connect(&m_port, &QSerialPort::errorOccurred, this, &DeviceSession::portError);
}

namespace {
// The trace may go to a file, a terminal or a pipe. A FIFO that nobody reads would block
// the open for ever, so it is opened without waiting and refused when no reader is there.
bool openTraceFile(QFile &file, const QString &path, bool append)
{
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Text
                                     | (append ? QIODevice::Append : QIODevice::Truncate);
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_NOCTTY | O_NONBLOCK | O_CLOEXEC
                                  | (append ? O_APPEND : O_TRUNC),
                          0666);
    if (fd < 0)
        return false;
    // Once open, writes may wait for a slow reader like any other output.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return file.open(fd, mode, QFileDevice::AutoCloseHandle);
#else
    file.setFileName(path);
    return file.open(mode);
#endif
}
} // namespace

int DeviceSession::run()
{
    start();
    QEventLoop loop;
    while (!m_finished)
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    if (!m_output.isEmpty())
        QTextStream(stdout) << m_output << Qt::endl;
    if (!m_error.isEmpty())
        printError(m_error);
    return m_exitCode;
}

void DeviceSession::start()
{
    if (m_started)
        return;
    m_started = true;
    m_clock = runClock();
    if (!m_options.traceFile.isEmpty()) {
        if (!openTraceFile(m_traceFile, m_options.traceFile, m_options.appendTrace))
            return finish(ExitFile,
                          QString("Cannot write the trace file %1.").arg(m_options.traceFile));
        m_link.setTraceHook([this](bool out, const QByteArray &b) { trace(out, b); });
    }
    if (!openSerialPort(m_port, m_options.port, m_options.bitrate)) {
        // "Port in use" says little; the system's reason goes on a line of its own.
        const QString reason = portOpenFailureReason(m_port, m_options.port);
        m_port.close();
        return finish(ExitDevice, Msg::portInUse() + '\n' + reason);
    }
    m_link.setPort(&m_port);
    m_link.setRestorePointHook(m_options.restorePointHook);
    m_link.beginExchange();
    m_link.state().direction = m_options.direction;
    m_exchanging = true;
    m_ticker.start();
    QTimer::singleShot(kConnectionDelayMs, Qt::PreciseTimer, this, &DeviceSession::leadIn);
}

void DeviceSession::leadIn()
{
    if (m_finished)
        return;
    if (!m_link.writeLeadIn())
        return finish(ExitDevice, Msg::portWriteFailed());
    QTimer::singleShot(kConnectionDelayMs, Qt::PreciseTimer, this, &DeviceSession::hello);
}

void DeviceSession::hello()
{
    if (m_finished)
        return;
    if (!m_link.writeHello())
        return finish(ExitDevice, Msg::portWriteFailed());
}

void DeviceSession::tick()
{
    if (m_finished)
        return;
    const ExchangeStatus status = exchangeTick(m_link, m_document, m_options.continueOnMismatch);
    switch (status) {
    case ExchangeStatus::Running:
        return;
    case ExchangeStatus::Failed: {
        // What is known about the failure goes on a line of its own.
        const QString reason = m_link.failureReason();
        return finish(ExitDevice, reason.isEmpty() ? Msg::transmissionError()
                                                   : Msg::transmissionError() + '\n' + reason);
    }
    case ExchangeStatus::NoConnection:
        m_helloUnanswered = true;
        return finish(ExitDevice, Msg::noConnection(m_document.currentConfig.channelCount));
    case ExchangeStatus::CountMismatch:
        // Nobody is there to answer the window's question; say what would send anyway.
        return finish(ExitDevice, Msg::countMismatch(m_document.stagingConfig.deviceChannels,
                                                     m_document.stagingConfig.channelCount));
    case ExchangeStatus::Complete:
        break;
    }
    if (m_options.direction == kDirectionTransmit) {
        m_output = Msg::transmissionComplete();
        return finish(ExitOk);
    }
    // Close the link first: the file is written only after a complete readout.
    if (!m_options.outputFile.isEmpty()) {
        closeLink();
        if (!writeOvsFile(m_options.outputFile, m_document.stagingConfig))
            return finish(ExitFile, Msg::couldNotSave());
    }
    finish(ExitOk);
}

// The far end went away. Qt 6.4 repeats this error endlessly while the port stays
// open, so the port is closed at the first one and the failure reported once.
void DeviceSession::portError(QSerialPort::SerialPortError error)
{
    if (!m_exchanging || m_finished)
        return;
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)
        return;
    m_port.close();
    finish(ExitDevice, Msg::transmissionError());
}

void DeviceSession::closeLink()
{
    m_exchanging = false;
    m_ticker.stop();
    // The closing frame must have left before the port closes.
    if (m_link.closeConnection())
        drainSerialPort(m_port, 100);
    m_port.close();
}

void DeviceSession::finish(int code, const QString &message)
{
    if (m_finished)
        return;
    closeLink();
    m_error = message;
    m_exitCode = code;
    flushTraceLine();
    m_traceFile.close();
    m_finished = true;
    emit finished();
}

void DeviceSession::trace(bool outgoing, const QByteArray &bytes)
{
    const qint64 now = m_clock.nsecsElapsed();
    if (outgoing) {
        flushTraceLine();
        m_traceFile.write(QString("%1 TX %2\n")
                                  .arg(now / 1e9, 10, 'f', 6)
                                  .arg(QString::fromLatin1(bytes.toHex(' ').toUpper()))
                                  .toLatin1());
        return;
    }
    if (!m_rxLine.isEmpty() && now - m_rxLast > kTraceGapNs)
        flushTraceLine();
    if (m_rxLine.isEmpty())
        m_rxLineStart = now;
    m_rxLine.append(bytes);
    m_rxLast = now;
}

void DeviceSession::flushTraceLine()
{
    if (m_rxLine.isEmpty() || !m_traceFile.isOpen())
        return;
    m_traceFile.write(QString("%1 RX %2\n")
                              .arg(m_rxLineStart / 1e9, 10, 'f', 6)
                              .arg(QString::fromLatin1(m_rxLine.toHex(' ').toUpper()))
                              .toLatin1());
    m_rxLine.clear();
}

int readSwitch(DeviceSession::Options options, Configuration &result, int configuredChannels,
               QString *failure)
{
    options.direction = kDirectionReadout;
    options.outputFile.clear();
    Document document;
    document.currentConfig.channelCount = quint8(configuredChannels);
    DeviceSession session(options, document);
    const int code = session.run();
    if (code == ExitOk)
        result = document.stagingConfig;
    if (failure)
        *failure = session.errorText();
    return code;
}
