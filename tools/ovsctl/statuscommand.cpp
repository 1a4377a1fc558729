// status: every switch read afresh and compared with what its port last held, as the
// window's room of switches tells it.
#include "devicesession.h"
#include "messages.h"
#include "ovsctl.h"
#include "ovsctljournal.h"

#include "link/portfinder.h"
#include "link/portlist.h"
#include "link/switchjob.h"
#include "link/switchroom.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <memory>
#include <vector>

namespace {

// What one port's line says.
struct PortStatus
{
    QString port;
    QString switchText;
    bool answered = false;
    bool linkFailed = false;
    int channels = 0;
    int bitrate = 0;
    std::optional<JournalEntry> last;
    std::optional<KnownState> state;
};

PortStatus statusOf(const SwitchJob &job, const QList<JournalEntry> &journal)
{
    PortStatus s;
    s.port = job.plan().port;
    s.last = lastExchangeOf(journal, s.port);
    switch (job.outcome()) {
    case SwitchJob::Outcome::Done:
    case SwitchJob::Outcome::SaveFailed:
        s.answered = true;
        s.channels = job.read().channelCount;
        s.bitrate = job.bitrate();
        s.switchText = switchModelText(s.channels, s.bitrate);
        s.state = compareWithKnown(job.knownBefore(), job.read());
        break;
    case SwitchJob::Outcome::Failed:
        if (job.failure() == LinkConnection::Failure::NoAnswer) {
            s.switchText = QStringLiteral("no answer");
            break;
        }
        s.linkFailed = true;
        s.switchText = failureText(job.failure(), job.reason(), job.configuredChannels())
                               .split('\n', Qt::SkipEmptyParts)
                               .join(' ');
        break;
    default:
        s.linkFailed = true;
        s.switchText = QStringLiteral("failed");
        break;
    }
    return s;
}

QString lastText(const std::optional<JournalEntry> &last)
{
    if (!last)
        return QStringLiteral("none");
    return QStringLiteral("%1 %2 %3")
            .arg(Journal::toJson(*last).value("time").toString(), last->action, last->outcome);
}

QJsonObject toJson(const PortStatus &s)
{
    QJsonObject o{{"port", s.port},
                  {"switch", s.switchText},
                  {"answered", s.answered},
                  {"state", s.state ? s.state->word() : (s.linkFailed ? "failed" : "no answer")},
                  {"stateText", s.state ? s.state->text() : QString()}};
    if (s.answered) {
        o.insert("model", Journal::modelName(s.channels));
        o.insert("bitrate", s.bitrate);
    }
    if (s.state && s.state->kind != KnownState::Kind::FirstRead) {
        // The journal's way of writing a time, with its offset from UTC.
        JournalEntry known;
        known.time = s.state->since;
        o.insert("knownSince", Journal::toJson(known).value("time"));
    }
    if (s.state && s.state->kind == KnownState::Kind::Changed)
        o.insert("changes", s.state->changes);
    if (s.last) {
        const QJsonObject e = Journal::toJson(*s.last);
        o.insert("lastExchange", QJsonObject{{"time", e.value("time")},
                                             {"source", e.value("source")},
                                             {"action", e.value("action")},
                                             {"outcome", e.value("outcome")}});
    } else {
        o.insert("lastExchange", QJsonValue());
    }
    return o;
}

// Reads every port at once; the jobs, in the order of the ports, once all have ended.
std::vector<std::unique_ptr<SwitchJob>> readAll(const QStringList &ports, int bitrate)
{
    std::vector<std::unique_ptr<SwitchJob>> jobs;
    int running = 0;
    QEventLoop loop;
    for (const QString &port : ports) {
        SwitchJob::Plan plan;
        plan.port = port;
        plan.bitrates = probeBitrates(bitrate);
        plan.action = QStringLiteral("read");
        jobs.push_back(std::make_unique<SwitchJob>(plan));
        ++running;
        QObject::connect(jobs.back().get(), &SwitchJob::finished, [&] {
            if (--running == 0)
                loop.quit();
        });
    }
    for (const auto &job : jobs)
        job->start();
    runUntil(loop, [&running] { return running == 0; });
    return jobs;
}

// The ports given, or else those the system lists and those the journal names.
QStringList portsToRead(const QStringList &given, const QList<JournalEntry> &journal)
{
    if (!given.isEmpty())
        return given;
    QStringList names;
    for (const PortDescription &port : PortList::systemPorts())
        names << port.portName;
    for (const QString &port : portsInJournal(journal)) {
        if (!names.contains(port))
            names << port;
    }
    return names;
}

} // namespace

int runStatus(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            "Reads every switch afresh, all ports at the same time, and compares what each\n"
            "holds with what its port was last known to hold (after the last readout,\n"
            "write, verification, backup or restore of this PC). One line per port:\n"
            "'PORT<TAB>switch<TAB>last exchange<TAB>state', the state being 'Same as at\n"
            "TIME', 'Changed since TIME: what differs' or 'First read now'. Without --port,\n"
            "every listed port and every port the journal names that exists now. Exit code\n"
            "0 when every switch that answered is the same, 4 when any changed, 1 when a\n"
            "port failed. What each switch holds is kept afterwards.");
    const QCommandLineOption ports("port", "A serial port; may be given more than once.", "PATH");
    const QCommandLineOption bitrate(
            "bitrate",
            "9600 or 115200. Without it, 115200 and then 9600 for a port that did not answer.",
            "RATE");
    const QCommandLineOption json("json", "Print one JSON array.");
    parser.addOptions({ports, bitrate, json});
    if (const int code = parseCommand(parser, "status", args); code >= 0)
        return code;
    if (!parser.positionalArguments().isEmpty() || parser.values(ports).contains(QString())) {
        printError("status: only --port PATH, --bitrate and --json are taken.");
        return ExitUsage;
    }
    int rate = 0;
    if (parser.isSet(bitrate)) {
        rate = parser.value(bitrate).toInt();
        if (rate != 9600 && rate != 115200) {
            printError(QString("--bitrate must be 9600 or 115200, not '%1'.")
                               .arg(parser.value(bitrate)));
            return ExitUsage;
        }
    }
    const QList<JournalEntry> journal = Journal().read().entries;
    const QStringList names = portsToRead(parser.values(ports), journal);
    if (names.isEmpty()) {
        printError("status: the system lists no serial port.");
        return ExitDevice;
    }

    bool changed = false;
    bool failed = false;
    QJsonArray array;
    QTextStream out(stdout);
    for (const auto &job : readAll(names, rate)) {
        for (const QString &problem : job->journalProblems())
            printError(QString("The journal was not written: %1.").arg(problem));
        const PortStatus s = statusOf(*job, journal);
        changed = changed || (s.state && s.state->kind == KnownState::Kind::Changed);
        failed = failed || s.linkFailed;
        if (parser.isSet(json)) {
            array.append(toJson(s));
            continue;
        }
        out << printable(s.port) << '\t' << printable(s.switchText) << '\t' << lastText(s.last)
            << '\t' << (s.state ? s.state->text() : QString()) << '\n';
    }
    if (parser.isSet(json))
        out << QJsonDocument(array).toJson(QJsonDocument::Indented);
    out.flush();
    return failed ? ExitDevice : (changed ? ExitFindings : ExitOk);
}
