// probe, backup and restore: the same exchange with several switches at once, one
// link per port on one event loop, and one line per port.
#include "devicesession.h"
#include "messages.h"
#include "ovsctl.h"
#include "ovsctljournal.h"

#include "document/layoutcheck.h"
#include "document/regularfile.h"
#include "link/portfinder.h"
#include "link/portlist.h"
#include "link/switchjob.h"

#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QHash>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <optional>

namespace {

const QCommandLineOption kPorts{"port",
                                "A serial port; may be given more than once. Without it, "
                                "every port the system lists.",
                                "PATH"};
const QCommandLineOption kFleetBitrate{
        "bitrate",
        "9600 or 115200. Without it, 115200 and then 9600 for a port that did not answer.", "RATE"};
const QCommandLineOption kDir{"dir", "The folder of the .ovs files, one per port.", "DIR"};

// "PORT<TAB>result" lines in the order of the ports, each printed as soon as it and
// every line before it are known.
class OrderedLines
{
public:
    explicit OrderedLines(QStringList ports)
        : m_ports(std::move(ports))
        , m_lines(m_ports.size())
    {
    }

    void set(qsizetype index, const QString &text)
    {
        m_lines[index] = text;
        QTextStream out(stdout);
        while (m_printed < m_lines.size() && m_lines.at(m_printed)) {
            out << printable(m_ports.at(m_printed)) << '\t' << *m_lines.at(m_printed) << '\n';
            ++m_printed;
        }
        out.flush();
    }

private:
    QStringList m_ports;
    QList<std::optional<QString>> m_lines;
    qsizetype m_printed = 0;
};

// False after a usage message; 0 = try both rates. Also refuses an empty port name,
// which would otherwise open the folder /dev/.
bool takeFleetBitrate(const QCommandLineParser &parser, int &bitrate)
{
    if (parser.values(kPorts).contains(QString())) {
        printError("--port needs a port name.");
        return false;
    }
    bitrate = 0;
    if (!parser.isSet(kFleetBitrate))
        return true;
    const QString rate = parser.value(kFleetBitrate);
    if (rate != "9600" && rate != "115200") {
        printError(QString("--bitrate must be 9600 or 115200, not '%1'.").arg(rate));
        return false;
    }
    bitrate = rate.toInt();
    return true;
}

// Parses backup or restore, which both need --dir and take ports only as --port; -1
// when the command goes on, otherwise the exit code.
int parseDirCommand(QCommandLineParser &parser, const char *name, const QStringList &args,
                    int &bitrate)
{
    if (const int code = parseCommand(parser, name, args); code >= 0)
        return code;
    if (!takeFleetBitrate(parser, bitrate))
        return ExitUsage;
    if (!parser.isSet(kDir) || parser.value(kDir).isEmpty()
        || !parser.positionalArguments().isEmpty()) {
        printError(QString("%1: --dir DIR is needed, and ports only as --port PATH.").arg(name));
        return ExitUsage;
    }
    return -1;
}

// The ports given with --port in their order, or else those the system lists, by the
// name it gives them.
QStringList portsToUse(const QCommandLineParser &parser)
{
    if (parser.isSet(kPorts))
        return parser.values(kPorts);
    QStringList ports;
    for (const PortDescription &port : PortList::systemPorts())
        ports << port.portName;
    return ports;
}

QString probeText(const ProbeResult &r)
{
    switch (r.outcome) {
    case ProbeResult::Outcome::Found:
        return switchModelText(r.channels, r.bitrate);
    case ProbeResult::Outcome::NoAnswer:
        return "no answer";
    case ProbeResult::Outcome::PortFailed:
        break;
    }
    return r.reason;
}

// Probes every port at once; prints a line per port when `print` is set.
std::vector<ProbeResult> probeAll(const QStringList &ports, int bitrate, bool print)
{
    PortFinder finder;
    OrderedLines lines(ports);
    QObject::connect(&finder, &PortFinder::portDone, &finder, [&](int i) {
        if (print)
            lines.set(i, probeText(finder.result(i)));
    });
    bool done = false;
    QEventLoop loop;
    QObject::connect(&finder, &PortFinder::finished, &finder, [&] {
        done = true;
        loop.quit();
    });
    finder.start(ports, probeBitrates(bitrate));
    runUntil(loop, [&done] { return done; });
    std::vector<ProbeResult> results;
    for (int i = 0; i < finder.size(); ++i)
        results.push_back(finder.result(i));
    return results;
}

// The files of the ports, or an empty list after a usage message when two ports share
// a file name.
QStringList backupFiles(const QString &command, const QString &dir, const QStringList &ports)
{
    QStringList files;
    QHash<QString, QString> owner;
    for (const QString &port : ports) {
        const QString name = backupFileName(port).chopped(4);
        if (owner.contains(name)) {
            printError(QString("%1: %2 and %3 would share the file %4.ovs.")
                               .arg(command, printable(owner.value(name)), printable(port), name));
            return {};
        }
        owner.insert(name, port);
        files << QDir(dir).filePath(name + ".ovs");
    }
    return files;
}

// A job's outcome in one line, without the port's name.
QString resultLine(const SwitchJob &job)
{
    const SwitchJob::Plan &plan = job.plan();
    const QString complete = Msg::transmissionComplete();
    switch (job.outcome()) {
    case SwitchJob::Outcome::Running:
    case SwitchJob::Outcome::Cancelled:
        break;
    case SwitchJob::Outcome::Done:
        if (plan.kind == SwitchJob::Kind::Read) {
            return QString("%1, saved to %2")
                    .arg(switchModelText(job.read().channelCount, job.bitrate()),
                         QDir::toNativeSeparators(plan.saveTo));
        }
        return plan.verify ? complete + " Verified: the switch holds what was sent." : complete;
    case SwitchJob::Outcome::Differs:
        return complete
               + " Verification failed: the switch does not hold what was sent (sent → stored): "
               + job.differences().join("; ");
    case SwitchJob::Outcome::Mismatch:
        return Msg::countMismatch(job.deviceChannels(), plan.send.channelCount);
    case SwitchJob::Outcome::SaveFailed:
        return Msg::couldNotSave();
    case SwitchJob::Outcome::Failed:
        // A failure of several lines (the port's message and its reason) as one.
        return failureText(job.failure(), job.reason(), job.configuredChannels())
                .split('\n', Qt::SkipEmptyParts)
                .join(' ');
    }
    return QString();
}

// Runs every job at once, prints a line per port; true when all succeeded.
bool runJobs(const QStringList &ports, const QList<SwitchJob::Plan> &plans,
             const QList<std::optional<QString>> &refused)
{
    OrderedLines lines(ports);
    std::vector<std::unique_ptr<SwitchJob>> jobs;
    bool allOk = true;
    int running = 0;
    QEventLoop loop;
    for (qsizetype i = 0; i < ports.size(); ++i) {
        if (refused.value(i)) {
            allOk = false;
            lines.set(i, *refused.at(i));
            continue;
        }
        jobs.push_back(std::make_unique<SwitchJob>(plans.at(i)));
        SwitchJob *job = jobs.back().get();
        ++running;
        QObject::connect(job, &SwitchJob::finished, job, [&, i, job] {
            --running;
            allOk = allOk && job->succeeded();
            for (const QString &problem : job->journalProblems())
                printError(QString("The journal was not written: %1.").arg(problem));
            if (job->outcome() == SwitchJob::Outcome::Failed && job->wroteAnything())
                printWayBack(job->plan().port, job->bitrate(), job->restorePoint());
            lines.set(i, resultLine(*job));
            if (running == 0)
                loop.quit();
        });
    }
    for (const auto &job : jobs)
        job->start();
    runUntil(loop, [&running] { return running == 0; });
    return allOk;
}

} // namespace

int runProbe(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            "Asks every port at once whether a switch answers: the lead-in, the hello and,\n"
            "after the switch's answer or 1.5 s of waiting, the closing frame; nothing else\n"
            "is sent, whatever comes back. The closing frame has 0.75 s on the line before\n"
            "the port changes its bitrate or closes. One line per port, 'PORT<TAB>Vorrix 8\n"
            "at 115200 bit/s', 'PORT<TAB>no answer' or the reason the port could not be\n"
            "opened. Each bitrate takes at most about 2.5 s. Exit code 0 when at least one\n"
            "switch answered, 1 when none did.");
    parser.addOptions({kPorts, kFleetBitrate});
    if (const int code = parseCommand(parser, "probe", args); code >= 0)
        return code;
    int bitrate = 0;
    if (!takeFleetBitrate(parser, bitrate))
        return ExitUsage;
    if (!parser.positionalArguments().isEmpty()) {
        printError("probe: only --port and --bitrate are taken.");
        return ExitUsage;
    }
    const QStringList ports = portsToUse(parser);
    if (ports.isEmpty()) {
        printError("probe: the system lists no serial port.");
        return ExitDevice;
    }
    const std::vector<ProbeResult> results = probeAll(ports, bitrate, true);
    const bool found = std::any_of(results.cbegin(), results.cend(), [](const ProbeResult &r) {
        return r.outcome == ProbeResult::Outcome::Found;
    });
    return found ? ExitOk : ExitDevice;
}

int runBackup(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            "Reads the switches on several ports at the same time and writes each one's\n"
            "configuration to DIR/NAME.ovs, NAME being the last part of the port's name as\n"
            "given or listed. Without --port, every listed port where a probe finds a\n"
            "switch. A file is written only after a complete readout. One line per port;\n"
            "exit code 0 when every port succeeded, 1 otherwise.");
    parser.addOptions({kDir, kPorts, kFleetBitrate});
    int bitrate = 0;
    if (const int code = parseDirCommand(parser, "backup", args, bitrate); code >= 0)
        return code;
    const QString dir = parser.value(kDir);
    QStringList ports = portsToUse(parser);
    QList<QList<int>> bitrates(ports.size(), probeBitrates(bitrate));
    if (!parser.isSet(kPorts)) {
        const std::vector<ProbeResult> found = probeAll(ports, bitrate, false);
        QStringList answered;
        bitrates.clear();
        for (size_t i = 0; i < found.size(); ++i) {
            if (found[i].outcome == ProbeResult::Outcome::Found) {
                answered << ports.at(qsizetype(i));
                bitrates << QList<int>{found[i].bitrate};
            }
        }
        if (answered.isEmpty()) {
            printError("backup: no switch answered on any listed port.");
            return ExitDevice;
        }
        // Each probe's connection ended with the quiet line after its closing frame.
        ports = answered;
    }
    const QStringList files = backupFiles("backup", dir, ports);
    if (files.isEmpty())
        return ExitUsage;
    if (!QDir().mkpath(dir)) {
        printError(QString("backup: cannot create the folder %1.").arg(dir));
        return ExitFile;
    }
    QList<SwitchJob::Plan> plans;
    QList<std::optional<QString>> refused(ports.size());
    for (qsizetype i = 0; i < ports.size(); ++i) {
        SwitchJob::Plan plan;
        plan.port = ports.at(i);
        plan.bitrates = bitrates.at(i);
        plan.kind = SwitchJob::Kind::Read;
        plan.action = QStringLiteral("backup");
        plan.saveTo = files.at(i);
        plans << plan;
        // Refused now rather than after a whole readout.
        if (!isReplaceableFile(plan.saveTo))
            refused[i] = Msg::couldNotSave();
    }
    return runJobs(ports, plans, refused) ? ExitOk : ExitDevice;
}

int runRestore(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            "Writes DIR/NAME.ovs into the switch on each port at the same time, NAME being\n"
            "the last part of the port's name as given or listed, with the rules of\n"
            "'ovsctl write', restore points included. One line per port; exit code 0 only\n"
            "when every port succeeded (and, with --verify, holds what was sent), 1\n"
            "otherwise.");
    const QCommandLineOption yes({"y", "yes"}, "Go on over a channel count mismatch.");
    const QCommandLineOption force("force", "Send files even when they have layout problems.");
    const QCommandLineOption verify("verify", "Read each configuration back and compare it.");
    const QCommandLineOption noRestorePoint(
            "no-restore-point",
            "Take no restore points (for scripts that keep their own backups).");
    parser.addOptions({kDir, kPorts, kFleetBitrate, yes, force, verify, noRestorePoint});
    int bitrate = 0;
    if (const int code = parseDirCommand(parser, "restore", args, bitrate); code >= 0)
        return code;
    const QStringList ports = portsToUse(parser);
    if (ports.isEmpty()) {
        printError("restore: the system lists no serial port.");
        return ExitDevice;
    }
    const QStringList files = backupFiles("restore", parser.value(kDir), ports);
    if (files.isEmpty())
        return ExitUsage;

    QList<SwitchJob::Plan> plans;
    QList<std::optional<QString>> refused(ports.size());
    // One for every port, so that no port's save prunes another port's restore point.
    RestorePoints restorePoints;
    for (qsizetype i = 0; i < ports.size(); ++i) {
        SwitchJob::Plan plan;
        plan.port = ports.at(i);
        plan.kind = SwitchJob::Kind::Transmit;
        plan.action = QStringLiteral("restore");
        plan.continueOnMismatch = parser.isSet(yes);
        plan.verify = parser.isSet(verify);
        plan.sendFrom = files.at(i);
        plan.restorePoints = parser.isSet(noRestorePoint) ? nullptr : &restorePoints;
        // Files first: a bad file costs no connection.
        const OvsLoadResult load = readOvsFile(files.at(i), plan.send);
        if (load != OvsLoadResult::Loaded) {
            refused[i] = QString("%1: %2").arg(files.at(i), loadFailureText(load));
        } else if (const QList<LayoutProblem> problems
                   = layoutProblemsOf(checkLayout(plan.send), LayoutSeverity::Error);
                   !problems.isEmpty() && !parser.isSet(force)) {
            refused[i] = QString("%1 has layout problems; nothing was sent (--force sends it "
                                 "anyway): %2")
                                 .arg(files.at(i), layoutProblemTexts(problems).join("; "));
        }
        // Switches with more than four channels always talk at 115200 bit/s.
        plan.bitrates = plan.send.channelCount > 4 ? QList<int>{115200} : probeBitrates(bitrate);
        plans << plan;
    }
    return runJobs(ports, plans, refused) ? ExitOk : ExitDevice;
}
