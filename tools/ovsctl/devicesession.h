#pragma once

#include "document/document.h"
#include "link/linkconnection.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>

// One readout or transmission from the command line on a connection of its own: turns
// the command's options into the connection's request, its outcome into an exit code
// with the program's messages, and writes the line trace. run() waits for the end and
// prints the messages; start() returns at once and finished() follows, so several
// sessions on several ports share one event loop.
class DeviceSession : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        QString port;
        // Tried in turn while the hello goes unanswered.
        QList<int> bitrates{115200};
        quint8 direction = kDirectionReadout;
        bool continueOnMismatch = false;
        QString outputFile; // readout; empty = keep the result in the document only
        QString traceFile;
        bool appendTrace = false; // a second connection adds to the first one's trace
        // A transmission calls it with the switch's configuration before anything is
        // written; false stops it with nothing written and the reason it sets.
        Link::RestorePointHook restorePointHook;
        // Another connection to the same switch follows: the session ends only after the
        // closing frame has had its quiet line, as after the window's delayed close.
        bool connectionFollows = false;
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
    // The bitrate the switch answered at (or the last one tried).
    int bitrate() const { return m_connection.bitrate(); }
    // Something of the transmission reached the switch before it failed.
    bool wroteAnything() const { return m_connection.link().wroteAnything(); }

signals:
    void finished();

private:
    void completed();
    void failed(LinkConnection::Failure failure, const QString &reason);
    // Releases the switch with this outcome; ended() follows once the port is closed.
    void finish(int code, const QString &message = QString());
    void ended();
    void trace(bool outgoing, const QByteArray &bytes);
    void flushTraceLine();

    Options m_options;
    Document &m_document;
    LinkConnection m_connection;
    bool m_started = false;
    bool m_ending = false;
    bool m_finished = false;
    int m_exitCode = 0;
    QString m_output;
    QString m_error;

    QFile m_traceFile;
    QElapsedTimer m_clock;
    QByteArray m_rxLine;
    qint64 m_rxLineStart = 0;
    qint64 m_rxLast = 0;
};

// ovsctl's message for a failed connection, with what is known about it on a line of its
// own.
QString failureText(LinkConnection::Failure failure, const QString &reason, int configuredChannels);

// Reads the switch's configuration in one connection into `result`, written only on
// success; returns the exit code after printing any failure, which goes to `failure`
// too. `configuredChannels` picks the message for a switch that does not answer, as in
// the window.
int readSwitch(DeviceSession::Options options, Configuration &result, int configuredChannels = 4,
               QString *failure = nullptr);
