#pragma once

#include "document/configuration.h"

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTime>

#include <functional>

class Link;

// What is said about a connection's exchanges besides message boxes (the window's status
// bar, a row of the room of switches): which record is on its way while an exchange runs,
// and how the last one ended, with its time and, after a failure, the reason where one is
// known. The connection tells it what happens; the texts are made when asked for, in the
// current language.
class ExchangeReport : public QObject
{
    Q_OBJECT

public:
    enum class Action { Readout, Transmit, Verify };
    using Clock = std::function<QTime()>;

    explicit ExchangeReport(QObject *parent = nullptr);

    // The time the outcomes carry; the wall clock unless another is set (tests).
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // The port is about to be opened for this action; `port` is its name as listed.
    void begin(Action action, const QString &port);
    // Once a tick: reports progress when the outstanding step has changed.
    void track(const Link &link, const Configuration &staging);

    // Failures, told before the message box that reports them.
    void openFailed(const QSerialPort &port, const QString &path);
    void writeFailed(const QSerialPort &port);
    // The port failed under a running exchange; exchangeFailed() follows.
    void portFailed(QSerialPort::SerialPortError error);
    // The exchange failed at the step tracked last (or at the port, if it failed);
    // `reason`, when given, says more than the step (the link's failureReason()).
    void exchangeFailed(const QString &reason = QString());
    void noHelloAnswer();
    // The operator declined to go on.
    void cancelled();

    // Outcomes.
    void readoutDone(const Configuration &shown, const Configuration &read);
    void verified(const Configuration &shown, const Configuration &read);
    void transmitted(const Configuration &sent);
    // The last readout's step was undone (true) or redone (false): the outcome names the
    // configuration shown only while it is in force.
    void setReadoutUndone(bool undone);
    // The transmission just reported put the switch's previous configuration back.
    void wentBack(const QString &why);
    // The exchange just reported could not be added to the journal, or what the switch
    // holds not kept; the outcome says so.
    void journalFailed(const QString &why);

    // The last outcome, for the journal.
    Action outcomeAction() const { return m_resultAction; }
    bool outcomeFailed() const { return m_result == Result::Failed; }
    bool outcomeWentBack() const { return m_result == Result::WentBack; }
    QString outcomePort() const { return m_resultPort; }
    // Empty unless the outcome is a failure with a known reason.
    QString outcomeReason() const { return outcomeFailed() ? reasonText() : QString(); }

    // Empty when no exchange runs.
    QString progress() const;
    // The same without the port, for a view that names it elsewhere: "Reading: record 3
    // of 8".
    QString stepText() const;
    // Empty before the first outcome.
    QString outcome() const;
    // What a verification found different, one line each; empty otherwise.
    QString outcomeDetails() const;

    // The last outcome, for a record of the configuration.
    struct LastExchange
    {
        bool happened = false; // false before the first outcome
        QString port;
        QTime time;
        QString outcome;       // outcome(), in the current language
        bool verified = false; // the last exchange was a verification ...
        bool matched = false;  // ... which found `shown` in the switch
        Configuration shown;   // what the window showed when it was verified
    };
    LastExchange lastExchange() const;

signals:
    void progressChanged(const QString &text);
    void outcomeChanged();

private:
    enum class Phase { None, Hello, HelloAnswered, Settings, Record };
    enum class Result { None, Read, ReadSame, Sent, Verified, Failed, WentBack };
    enum class Reason {
        None,
        NoSuchPort,
        PermissionDenied,
        InUse,
        DeviceRemoved,
        PortError,
        NoHelloAnswer,
        BadHelloAnswer,
        Settings,
        Record,
        Explained, // the link's own words, in m_detail
    };
    struct Step
    {
        Phase phase = Phase::None;
        int record = 0; // 1-based
        int total = 0;
        // A request, not a write: a transmission reads the restore point and its
        // read-back before and after its writes.
        bool reading = false;
        bool operator==(const Step &o) const
        {
            return phase == o.phase && record == o.record && total == o.total
                   && reading == o.reading;
        }
    };

    void finish(Result result);
    void fail(Reason reason, const QString &detail = QString());
    // The reason a port error gives; the detail names the group or holds Qt's text.
    static Reason portReason(QSerialPort::SerialPortError error, const QString &path,
                             QString *detail);
    QString reasonText() const;
    QString outcomeText() const;
    QString verifiedText(const QString &time) const;

    Clock m_clock;
    bool m_running = false;
    Action m_action = Action::Readout;
    QString m_port;
    Step m_step;
    // A port failure under the running exchange, kept for exchangeFailed().
    Reason m_portReason = Reason::None;
    QString m_portDetail;

    // The last outcome.
    Result m_result = Result::None;
    Action m_resultAction = Action::Readout;
    QString m_resultPort;
    QTime m_time;
    int m_channels = 0;
    bool m_readoutUndone = false;
    Reason m_reason = Reason::None;
    QString m_detail;
    QString m_journalProblem;
    Step m_failedStep;
    Configuration m_shown;
    Configuration m_read;
};
