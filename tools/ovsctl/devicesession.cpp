#include "devicesession.h"

#include "messages.h"
#include "ovsctl.h"

#include "document/ovsfile.h"

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

DeviceSession::DeviceSession(const Options &options, Document &document, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_document(document)
    , m_connection(document)
{
    connect(&m_connection, &LinkConnection::finished, this, &DeviceSession::completed);
    connect(&m_connection, &LinkConnection::failed, this, &DeviceSession::failed);
    // Nobody is there to answer the window's question; say what would send anyway.
    connect(&m_connection, &LinkConnection::countMismatch, this,
            [this](int deviceChannels, int configuredChannels) {
                finish(ExitDevice, Msg::countMismatch(deviceChannels, configuredChannels));
            });
    connect(&m_connection, &LinkConnection::closed, this, &DeviceSession::ended);
}

int DeviceSession::run()
{
    QEventLoop loop;
    connect(this, &DeviceSession::finished, &loop, &QEventLoop::quit);
    start();
    runUntil(loop, [this] { return m_finished; });
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
    LinkConnection::Request request;
    if (!m_options.traceFile.isEmpty()) {
        if (!openTraceFile(m_traceFile, m_options.traceFile, m_options.appendTrace))
            return finish(ExitFile,
                          QString("Cannot write the trace file %1.").arg(m_options.traceFile));
        request.trace = [this](bool out, const QByteArray &b) { trace(out, b); };
    }
    request.port = m_options.port;
    request.bitrates = m_options.bitrates;
    request.action = m_options.direction == kDirectionTransmit ? ExchangeReport::Action::Transmit
                                                               : ExchangeReport::Action::Readout;
    request.continueOnMismatch = m_options.continueOnMismatch;
    request.beforeWrite = m_options.restorePointHook;
    m_connection.start(request);
}

void DeviceSession::completed()
{
    if (m_options.direction == kDirectionTransmit)
        m_output = Msg::transmissionComplete();
    finish(ExitOk);
}

void DeviceSession::failed(LinkConnection::Failure failure, const QString &reason)
{
    finish(ExitDevice, failureText(failure, reason, m_document.currentConfig.channelCount));
}

void DeviceSession::finish(int code, const QString &message)
{
    if (m_ending)
        return;
    m_ending = true;
    m_exitCode = code;
    m_error = message;
    if (m_connection.stage() == LinkConnection::Stage::Idle)
        return ended();
    if (m_options.connectionFollows)
        m_connection.close();
    else
        m_connection.closeNow();
}

// The switch is released: a readout is saved only now, after it was complete.
void DeviceSession::ended()
{
    if (!m_ending || m_finished)
        return;
    if (m_exitCode == ExitOk && m_options.direction == kDirectionReadout
        && !m_options.outputFile.isEmpty()
        && !writeOvsFile(m_options.outputFile, m_document.stagingConfig)) {
        m_exitCode = ExitFile;
        m_error = Msg::couldNotSave();
    }
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

QString failureText(LinkConnection::Failure failure, const QString &reason, int configuredChannels)
{
    const QString message = failureMessage(failure, configuredChannels);
    switch (failure) {
    case LinkConnection::Failure::PortOpen:
        // "Port in use" says little; the system's reason goes on a line of its own.
        return message + '\n' + reason;
    case LinkConnection::Failure::PortWrite:
    case LinkConnection::Failure::NoAnswer:
    case LinkConnection::Failure::PortLost:
        return message;
    case LinkConnection::Failure::Exchange:
        break;
    }
    // What is known about the failure goes on a line of its own.
    return reason.isEmpty() ? message : message + '\n' + reason;
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
