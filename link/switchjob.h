#pragma once

#include "document/document.h"
#include "link/lastknown.h"
#include "link/linkconnection.h"

#include <QObject>
#include <QStringList>

class RestorePoints;

// One port's part of an action on many switches, for the window's room of switches and
// for ovsctl's fleet commands: a readout (to check, back up or open a switch), or a
// transmission with its restore point and its proof and, when asked, the readout that
// verifies it in a second connection. Each exchange is journalled with its source, and
// what the port then holds is kept as last known. Each job has a connection of its own,
// so many run side by side on one event loop. It shows nothing; its owner tells the
// outcome in its own words.
class SwitchJob : public QObject
{
    Q_OBJECT

public:
    enum class Kind { Read, Transmit };
    struct Plan
    {
        QString port; // as opened
        // Tried in turn while the hello goes unanswered.
        QList<int> bitrates{115200};
        Kind kind = Kind::Read;
        QString source = QStringLiteral("ovsctl"); // the journal's words
        QString action;                            // "read", "backup", "write", "restore", ...
        // A readout: the .ovs file written once it is complete; empty = none.
        QString saveTo;
        // A readout: the configured channel count that picks the message for a switch
        // that does not answer.
        int configuredChannels = 4;
        // A transmission: what it sends and the file that came from (for the journal).
        Configuration send;
        QString sendFrom;
        // A transmission: the switch's present configuration is kept there first;
        // none without.
        RestorePoints *restorePoints = nullptr;
        // A transmission without a restore point: what the switch holds must allow it
        // (going back checks that it writes the switch it means to).
        Link::RestorePointHook check;
        bool continueOnMismatch = false;
        bool verify = false;
    };
    enum class Outcome {
        Running,
        Done,
        Failed,     // the exchange failed: failure() and reason()
        Mismatch,   // the switch has another channel count; nothing was sent
        SaveFailed, // the readout was complete, but its file could not be written
        Differs,    // the verification found differences()
        Cancelled,
    };

    explicit SwitchJob(const Plan &plan, QObject *parent = nullptr);
    ~SwitchJob() override;

    const Plan &plan() const { return m_plan; }
    void start();
    // Ends the job if it has not finished: the closing frame goes out, the port closes,
    // and finished() follows with Outcome::Cancelled.
    void cancel();

    Outcome outcome() const { return m_outcome; }
    bool isFinished() const { return m_outcome != Outcome::Running; }
    bool succeeded() const { return m_outcome == Outcome::Done; }
    LinkConnection::Failure failure() const { return m_failure; }
    QString reason() const { return m_reason; }
    // The channel counts of a mismatch: the switch's and the configured one.
    int deviceChannels() const { return m_document.stagingConfig.deviceChannels; }
    // The bitrate the switch answered at (or the last one tried).
    int bitrate() const { return m_connection.bitrate(); }
    // The channel count the job expects: what it sends, or the plan's for a readout.
    int configuredChannels() const
    {
        return m_plan.kind == Kind::Transmit ? m_plan.send.channelCount : m_plan.configuredChannels;
    }
    // A readout's (or the verification's) configuration, once it is complete.
    const Configuration &read() const { return m_document.stagingConfig; }
    QStringList differences() const { return m_differences; }
    // What the switch held before the transmission wrote anything, once it was read.
    const std::optional<Configuration> &previous() const { return m_previous; }
    // The restore point a transmission kept, when it kept one.
    QString restorePoint() const { return m_restorePoint; }
    // Something of the transmission reached the switch.
    bool wroteAnything() const { return m_wrote; }
    // What the port was known to hold before a readout took the place of it.
    const std::optional<KnownConfiguration> &knownBefore() const { return m_knownBefore; }
    // The exchanges' journal entries (or what the port holds) that could not be written,
    // one line each.
    QStringList journalProblems() const { return m_journalProblems; }
    // Progress and outcome of the exchange under way, in the window's words.
    const ExchangeReport &report() const { return m_connection.report(); }

signals:
    void progressChanged(const QString &text);
    void finished();

private:
    enum class Step { Reading, Writing, Verifying };
    void connectFor(Step step, const QList<int> &bitrates);
    void exchangeDone();
    void exchangeFailed(LinkConnection::Failure failure, const QString &reason);
    void released();
    void concludeStep();
    void journal(const QString &action, bool ok, const QString &reason, const QString &file,
                 const Configuration *config, const QString &restorePoint = QString());
    void rememberRead();
    void conclude(Outcome outcome);

    Plan m_plan;
    Document m_document;
    LinkConnection m_connection;
    Step m_step = Step::Reading;
    // How the step under way ended, told once the switch is released.
    Outcome m_stepOutcome = Outcome::Running;
    Outcome m_outcome = Outcome::Running;
    LinkConnection::Failure m_failure = LinkConnection::Failure::Exchange;
    QString m_reason;
    QStringList m_differences;
    QString m_restorePoint;
    // What the switch held before the transmission wrote anything.
    std::optional<Configuration> m_previous;
    std::optional<KnownConfiguration> m_knownBefore;
    bool m_wrote = false;
    QStringList m_journalProblems;
};

// A restore point hook for a transmission on `port`: saves the switch's configuration as a
// new restore point in `points` and puts its path into `savedPath`; both must outlive the
// hook. One `points` for a whole run, so that no save of the run prunes another one's
// restore point.
Link::RestorePointHook restorePointSaver(RestorePoints &points, const QString &port,
                                         QString &savedPath);

// The file a backup of the switch on `port` is saved to, "ttyUSB0.ovs": the last part of
// the port's name as given or listed (not of the device it leads to), with what cannot
// stand in a file name replaced.
QString backupFileName(const QString &port);
