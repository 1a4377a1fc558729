#pragma once

#include "document/journal.h"
#include "document/restorepoints.h"
#include "link/knownstate.h"
#include "link/portlist.h"
#include "link/switchjob.h"
#include "link/switchprobe.h"

#include <QList>
#include <QObject>
#include <QTime>

#include <memory>
#include <optional>

class PortFinder;
class PortWatch;

// The room of switches: every port the window knows (the listed ones, those given with
// --port, and those named in the journal that exist now), what answers on each, the
// last exchange the journal holds for it, and the actions that run on many switches at
// once, one SwitchJob each. It finds the switches while it is started and does nothing
// at rest. Its texts are made when asked for, in the current language.
class SwitchRoom : public QObject
{
    Q_OBJECT

public:
    enum class Action { None, Check, BackUp, Send, Open, GoBack };
    Q_ENUM(Action)

    // What a transmission of the room leaves for going back.
    struct WayBack
    {
        QString restorePoint;   // the file
        Configuration previous; // what the switch held before
        Configuration sent;
        QTime sentAt;
        bool written = false; // the transmission succeeded; otherwise it failed part-way
    };

    struct Row
    {
        QString name; // as listed or given
        QString path; // what the connection opens
        QString description;
        bool commandLine = false;
        bool probing = false;
        std::optional<ProbeResult> probe;
        std::optional<JournalEntry> last;
        std::optional<KnownState> state;
        // The row's last action and its job, kept until the next one.
        Action action = Action::None;
        std::unique_ptr<SwitchJob> job;
        std::optional<WayBack> back;
    };

    explicit SwitchRoom(QObject *parent = nullptr);
    ~SwitchRoom() override;

    // Ports given on the command line: at the top, as in the port dialog.
    void setExtraPorts(const QStringList &paths);
    // Lists the ports and asks each at once whether a switch answers; then watches for
    // ports that come and go until stop().
    void start();
    void stop();
    bool isStarted() const;

    int size() const { return int(m_rows.size()); }
    const Row &row(int index) const { return *m_rows.at(size_t(index)); }

    // Each action works on the given rows (every row when empty) and returns false when
    // an action still runs. A readout reads what the switch holds and compares it with
    // what the port was last known to hold; a backup also saves it to the folder, named
    // as `ovsctl backup` names its files; a send writes the configuration into each
    // switch whose channel count fits, each with its restore point and proof.
    bool check(QList<int> rows);
    bool backUp(QList<int> rows, const QString &folder);
    bool send(QList<int> rows, const Configuration &config, const QString &file);
    // Reads one switch; openedConfiguration() holds it once it is done.
    bool open(int row);
    // Puts back what the rows' switches held before the room's last send: `written` rows
    // only where they still hold what was sent, the others (failed part-way) where they
    // have the restore point's channel count.
    bool goBack(QList<int> rows);
    // Ends whatever has not finished; every link closes with its closing frame.
    void cancel();

    Action action() const { return m_action; }
    bool busy() const { return m_action != Action::None; }
    const Configuration &openedConfiguration() const { return m_opened; }
    // Rows of the last send that it wrote, and those that failed after writing part of it.
    QList<int> written() const;
    QList<int> partlyWritten() const;

    // The column texts.
    QString switchText(int row) const;
    QString lastExchangeText(int row) const;
    QString stateText(int row) const;
    // The row's job failed (its state text says why).
    bool failed(int row) const;

signals:
    void rowsReset();
    void rowChanged(int row);
    // The action has ended on every row.
    void finished(SwitchRoom::Action action);

private:
    void refresh();
    void probe(const QList<int> &rows);
    void portsChanged();
    void readJournal(const QList<JournalEntry> &entries);
    QList<int> targets(QList<int> rows) const;
    QList<int> bitratesFor(const Row &row, int channels = 0) const;
    // A readout of the row's switch, journalled as `journalAction` with the source window.
    SwitchJob::Plan readPlan(const Row &row, const QString &journalAction) const;
    void run(Action action, int row, const SwitchJob::Plan &plan);
    void jobFinished(int row);
    int rowOf(const SwitchJob *job) const;
    QString resultText(const Row &row) const;

    PortList m_ports;
    PortFinder *const m_finder;
    PortWatch *const m_watch;
    QStringList m_probed; // the finder's probes, by index: their row's path
    std::vector<std::unique_ptr<Row>> m_rows;
    Action m_action = Action::None;
    int m_running = 0;
    RestorePoints m_restorePoints;
    int m_sentChannels = 0;
    Configuration m_opened;
};

// The ports the journal names whose devices exist now, each once by any name of it, in the
// order they first appear.
QStringList portsInJournal(const QList<JournalEntry> &entries);
// The newest entry of `port`, by any name of it.
std::optional<JournalEntry> lastExchangeOf(const QList<JournalEntry> &entries, const QString &port);
