#pragma once

#include "document/document.h"
#include "link/exchangedriver.h"
#include "link/link.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QSerialPort>
#include <QTimer>

// One readout or transmission from the command line: opens the port, waits the two
// connection delays, drives the link on a 2 ms tick until it ends, sends the closing
// frame and reports the outcome as an exit code with the program's messages. run()
// waits for the end and prints the messages; start() returns at once and finished()
// follows, so several sessions on several ports share one event loop.
class DeviceSession : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        QString port;
        int bitrate = 115200;
        quint8 direction = kDirectionReadout;
        bool continueOnMismatch = false;
        QString outputFile; // readout; empty = keep the result in the document only
        QString traceFile;
        bool appendTrace = false; // a second connection adds to the first one's trace
        // A transmission calls it with the switch's configuration before anything is
        // written; false stops it with nothing written and the reason it sets.
        Link::RestorePointHook restorePointHook;
    };

    // For a transmission `document.currentConfig` holds what is sent; a complete
    // readout leaves the switch's configuration in `document.stagingConfig`.
    DeviceSession(const Options &options, Document &document, QObject *parent = nullptr);

    // Runs the whole exchange in the event loop, prints its messages and returns the
    // exit code.
    int run();

    void start();
    bool isFinished() const { return m_finished; }
    int exitCode() const { return m_exitCode; }
    // What run() prints: on standard output after a transmission, on standard error
    // after a failure (several lines when the port could not be opened).
    QString output() const { return m_output; }
    QString errorText() const { return m_error; }
    // The hello went unanswered: at another bitrate the switch may answer.
    bool helloUnanswered() const { return m_helloUnanswered; }
    // The session's link, e.g. to set a restore-point hook before start().
    Link &link() { return m_link; }

signals:
    void finished();

private:
    void leadIn();
    void hello();
    void tick();
    void portError(QSerialPort::SerialPortError error);
    void closeLink();
    void finish(int code, const QString &message = QString());
    void trace(bool outgoing, const QByteArray &bytes);
    void flushTraceLine();

    Options m_options;
    Document &m_document;
    QSerialPort m_port;
    Link m_link;
    QTimer m_ticker;
    bool m_exchanging = false;
    bool m_started = false;
    bool m_finished = false;
    bool m_helloUnanswered = false;
    int m_exitCode = 0;
    QString m_output;
    QString m_error;

    QFile m_traceFile;
    QElapsedTimer m_clock;
    QByteArray m_rxLine;
    qint64 m_rxLineStart = 0;
    qint64 m_rxLast = 0;
};

// Reads the switch's configuration in one connection into `result`, written only on
// success; returns the exit code after printing any failure, which goes to `failure`
// too. `configuredChannels` picks the message for a switch that does not answer, as in
// the window.
int readSwitch(DeviceSession::Options options, Configuration &result, int configuredChannels = 4,
               QString *failure = nullptr);
