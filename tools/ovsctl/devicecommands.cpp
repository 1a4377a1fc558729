#include "devicesession.h"
#include "messages.h"
#include "ovsctl.h"
#include "ovsctljournal.h"

#include "document/configdiff.h"
#include "document/datafolder.h"
#include "document/layoutcheck.h"
#include "document/regularfile.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

#include <algorithm>
#include <optional>

namespace {

const QCommandLineOption kBitrate{"bitrate", "9600 or 115200 (default 115200).", "RATE", "115200"};

// False after a usage message.
bool takeBitrate(const QCommandLineParser &parser, int &bitrate)
{
    const QString rate = parser.value(kBitrate);
    if (rate != "9600" && rate != "115200") {
        printError(QString("--bitrate must be 9600 or 115200, not '%1'.").arg(rate));
        return false;
    }
    bitrate = rate.toInt();
    return true;
}

// Options shared by read and write.
struct LinkOptions
{
    QCommandLineOption port{"port", "Serial port name or device path.", "PATH"};
    QCommandLineOption trace{"trace", "Write a timestamped hex log of the line to FILE.", "FILE"};

    void addTo(QCommandLineParser &parser) const { parser.addOptions({port, kBitrate, trace}); }

    // Fills the port, bitrate and trace; false after a usage message.
    bool take(const QCommandLineParser &parser, DeviceSession::Options &out) const
    {
        if (!parser.isSet(port) || parser.value(port).isEmpty()) {
            printError("--port PATH is needed.");
            return false;
        }
        out.port = parser.value(port);
        out.traceFile = parser.value(trace);
        int bitrate = 0;
        if (!takeBitrate(parser, bitrate))
            return false;
        out.bitrates = {bitrate};
        return true;
    }
};

// One side of a comparison: a file, or a switch on a port.
struct Side
{
    bool device = false;
    QString name;
    Configuration config;
};

// The sides in the order they were given: QCommandLineParser keeps options and
// positional arguments apart, so the order comes from the raw arguments.
QList<Side> sidesInOrder(const QStringList &args)
{
    QList<Side> sides;
    bool onlyFiles = false;
    for (qsizetype k = 0; k < args.size(); ++k) {
        const QString &a = args.at(k);
        if (onlyFiles || !a.startsWith('-'))
            sides.append({false, a, {}});
        else if (a == "--")
            onlyFiles = true;
        else if (a == "--port" && k + 1 < args.size())
            sides.append({true, args.at(++k), {}});
        else if (a.startsWith("--port="))
            sides.append({true, a.mid(7), {}});
        else if (a == "--bitrate")
            ++k;
    }
    return sides;
}

// The differences between what was sent and what the switch gives back; ExitOk when
// they are equal.
int verifyTransmission(DeviceSession::Options options, const Configuration &sent,
                       const QString &file)
{
    options.appendTrace = true;
    options.connectionFollows = false;
    Configuration stored;
    QString failure;
    if (const int code = readSwitch(options, stored, sent.channelCount, &failure); code != ExitOk) {
        addToJournal("verify", options.port, false, failure, file, &sent);
        return code;
    }
    const QStringList differences = diffConfigurations(sent, stored);
    addToJournal("verify", options.port, differences.isEmpty(),
                 "the switch does not hold what was sent: " + differences.join("; "), file,
                 &stored);
    // Differences or not, the readout tells what the switch holds.
    rememberHeld(options.port, stored);
    if (differences.isEmpty()) {
        QTextStream(stdout) << "Verified: the switch holds what was sent." << Qt::endl;
        return ExitOk;
    }
    printError("Verification failed: the switch does not hold what was sent (sent → stored):");
    for (const QString &line : differences)
        printError(line);
    return ExitDevice;
}

// Reads the switch into `file` before a transmission; ExitOk when it was saved. Leaves
// the line quiet afterwards, as after the window's delayed close.
int saveBackup(DeviceSession::Options options, const QString &file, int configuredChannels)
{
    options.direction = kDirectionReadout;
    options.outputFile = file;
    options.connectionFollows = true;
    int code = ExitDevice;
    // Refused now rather than after a whole readout.
    if (!isReplaceableFile(file)) {
        printError(Msg::couldNotSave());
    } else {
        Document document;
        document.currentConfig.channelCount = quint8(configuredChannels);
        DeviceSession session(options, document);
        code = session.run();
        addToJournal("backup", options.port, code == ExitOk, session.errorText(), file,
                     code == ExitOk ? &document.stagingConfig : nullptr);
        if (code == ExitOk)
            rememberHeld(options.port, document.stagingConfig);
    }
    if (code != ExitOk) {
        printError(QString("write: the switch's configuration could not be saved to %1; "
                           "nothing was sent.")
                           .arg(file));
        return ExitDevice;
    }
    QTextStream(stdout) << QString("Saved the switch's configuration to %1.").arg(file) << Qt::endl;
    return ExitOk;
}

} // namespace

int runRead(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            "Reads the configuration out of the switch. The file is written only after a\n"
            "complete readout; on any failure an existing file stays untouched. Each\n"
            "readout is added to the journal ('ovsctl history').");
    LinkOptions link;
    link.addTo(parser);
    const QCommandLineOption output({"o", "output"}, "The .ovs file to write.", "FILE.ovs");
    parser.addOption(output);
    if (const int code = parseCommand(parser, "read", args); code >= 0)
        return code;
    DeviceSession::Options options;
    if (!link.take(parser, options))
        return ExitUsage;
    if (!parser.isSet(output) || !parser.positionalArguments().isEmpty()) {
        printError("read: --output FILE.ovs is needed and nothing else.");
        return ExitUsage;
    }
    options.direction = kDirectionReadout;
    options.outputFile = parser.value(output);
    // Refused now rather than after a whole readout.
    if (!isReplaceableFile(options.outputFile)) {
        printError(Msg::couldNotSave());
        return ExitFile;
    }

    // As at program start: a 4-channel configuration decides which message a silent
    // switch gets; the switch's answer replaces it.
    Document document;
    document.currentConfig.channelCount = 4;
    DeviceSession session(options, document);
    const int code = session.run();
    addToJournal("read", options.port, code == ExitOk, session.errorText(), options.outputFile,
                 code == ExitOk ? &document.stagingConfig : nullptr);
    if (code == ExitOk)
        rememberHeld(options.port, document.stagingConfig);
    return code;
}

namespace {

// What `ovsctl write` was asked to do.
struct WriteRequest
{
    DeviceSession::Options options;
    QString file;
    QString backup; // empty = none
    bool force = false;
    bool verify = false;
    bool restorePoint = true;
};

// -1 when the command goes on, otherwise the exit code.
int parseWrite(const QStringList &args, WriteRequest &out)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            QString("Writes an .ovs file into the switch. When the switch has another channel "
                    "count\n"
                    "than the file, nothing is written unless --yes is given. A file in which\n"
                    "'ovsctl check' finds errors is refused with exit code 4 unless --force is\n"
                    "given (a screen without a resolution is only a notice, not an error).\n"
                    "With --verify the configuration is read back in a second connection and\n"
                    "compared with the file: exit code 0 only when they are equal, otherwise\n"
                    "the differences and exit code 1. Compared are the channel count the switch\n"
                    "reports, Orvanel Switching, the mouse speed and the channel records below "
                    "the\n"
                    "smaller of the two channel counts. Before anything is written, the switch's\n"
                    "present configuration is kept as a restore point, an .ovs file in the folder\n"
                    "%1/restore-points\n"
                    "('ovsctl history' names it); when it cannot be read or kept, nothing is "
                    "written\n"
                    "and the exit code is 1. With --backup the switch's configuration is also "
                    "read\n"
                    "first in a connection of its own and saved to FILE, which must be another "
                    "file\n"
                    "than FILE.ovs; when that fails, nothing is written and the exit code is 1.\n"
                    "Every write, verification and backup is added to the journal.")
                    .arg(QDir::toNativeSeparators(ovsDataFolder())));
    LinkOptions link;
    link.addTo(parser);
    const QCommandLineOption yes({"y", "yes"}, "Go on over a channel count mismatch.");
    const QCommandLineOption force("force", "Send the file even when it has layout problems.");
    const QCommandLineOption verify("verify", "Read the configuration back and compare it.");
    const QCommandLineOption backup("backup", "Save the switch's configuration first.", "FILE.ovs");
    const QCommandLineOption noRestorePoint(
            "no-restore-point", "Take no restore point (for scripts that keep their own backups).");
    parser.addOptions({yes, force, verify, backup, noRestorePoint});
    parser.addPositionalArgument("FILE.ovs", "The configuration to send.");
    if (const int code = parseCommand(parser, "write", args); code >= 0)
        return code;
    if (!link.take(parser, out.options))
        return ExitUsage;
    if (parser.positionalArguments().size() != 1) {
        printError("write: exactly one FILE.ovs is needed.");
        return ExitUsage;
    }
    out.file = parser.positionalArguments().first();
    out.backup = parser.value(backup);
    // The backup would replace the file about to be sent with the switch's old one.
    if (parser.isSet(backup) && (out.backup == out.file || isSameFile(out.backup, out.file))) {
        printError("write: --backup must name another file than FILE.ovs.");
        return ExitUsage;
    }
    out.options.direction = kDirectionTransmit;
    out.options.continueOnMismatch = parser.isSet(yes);
    out.force = parser.isSet(force);
    out.verify = parser.isSet(verify);
    out.restorePoint = !parser.isSet(noRestorePoint);
    return -1;
}

// Loads the file to send; ExitOk, or the exit code after its message. Notices (a screen
// without a resolution) are the ordinary state of a layout; only errors stop a write.
int loadForWrite(const WriteRequest &request, Configuration &config)
{
    if (const int code = reportLoad(readOvsFile(request.file, config)))
        return code;
    const QList<LayoutProblem> problems
            = layoutProblemsOf(checkLayout(config), LayoutSeverity::Error);
    if (!problems.isEmpty() && !request.force) {
        printError(QString("write: %1 has layout problems; nothing was sent (--force sends it "
                           "anyway):")
                           .arg(request.file));
        for (const QString &line : layoutProblemTexts(problems))
            printError(line);
        return ExitFindings;
    }
    return ExitOk;
}

// The transmission itself, with its restore point and its journal entry.
int transmit(const WriteRequest &request, Document &document)
{
    DeviceSession::Options options = request.options;
    QString restorePoint;
    RestorePoints points;
    // What the switch held before, for the records a shorter write leaves in it.
    std::optional<Configuration> previous;
    if (request.restorePoint) {
        options.restorePointHook = [save = restorePointSaver(points, options.port, restorePoint),
                                    &previous](const Configuration &held, QString *why) {
            if (!save(held, why))
                return false;
            previous = held;
            return true;
        };
    }
    options.connectionFollows = request.verify;
    DeviceSession session(options, document);
    const int code = session.run();
    addToJournal("write", options.port, code == ExitOk, session.errorText(), request.file,
                 &document.currentConfig, restorePoint);
    if (code == ExitOk)
        rememberWritten(options.port, document.currentConfig, document.stagingConfig.deviceChannels,
                        previous ? &*previous : nullptr);
    if (code != ExitOk && session.wroteAnything()) {
        // The switch may hold parts of both now: nothing is known of it any more.
        forgetHeld(options.port, document.stagingConfig.deviceChannels);
        printWayBack(options.port, session.bitrate(), restorePoint);
    }
    return code;
}

} // namespace

int runWrite(const QStringList &args)
{
    WriteRequest request;
    if (const int code = parseWrite(args, request); code >= 0)
        return code;
    Document document;
    if (const int code = loadForWrite(request, document.currentConfig))
        return code;
    document.stagingConfig = document.currentConfig;
    // Switches with more than four channels always talk at 115200 bit/s.
    if (document.currentConfig.channelCount > 4)
        request.options.bitrates = {115200};
    if (!request.backup.isEmpty()) {
        if (const int code
            = saveBackup(request.options, request.backup, document.currentConfig.channelCount);
            code != ExitOk)
            return code;
        request.options.appendTrace = true;
    }
    if (const int code = transmit(request, document); code != ExitOk || !request.verify)
        return code;
    return verifyTransmission(request.options, document.currentConfig, request.file);
}

int runDiff(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            "Compares two configurations, each an .ovs file or the switch on --port PATH, and\n"
            "prints one line per difference as 'first → second': the channel count, Orvanel\n"
            "Switching, the mouse speed, then channel by channel the placement, the edges\n"
            "and the resolution, below the smaller of the two channel counts. Prints nothing\n"
            "and exits 0 when they are equal; exits 4 when they differ.");
    const QCommandLineOption port("port", "Read this side from the switch on PATH.", "PATH");
    parser.addOptions({port, kBitrate});
    parser.addPositionalArgument("A", "FILE.ovs, or --port PATH.");
    parser.addPositionalArgument("B", "FILE.ovs, or --port PATH.");
    if (const int code = parseCommand(parser, "diff", args); code >= 0)
        return code;
    QList<Side> sides = sidesInOrder(args);
    if (std::any_of(sides.cbegin(), sides.cend(),
                    [](const Side &side) { return side.device && side.name.isEmpty(); })) {
        printError("diff: --port needs a port name.");
        return ExitUsage;
    }
    if (sides.size() != 2
        || parser.values(port).size() + parser.positionalArguments().size() != 2) {
        printError("diff: exactly two sides are needed, each FILE.ovs or --port PATH.");
        return ExitUsage;
    }
    DeviceSession::Options options;
    int bitrate = 0;
    if (!takeBitrate(parser, bitrate))
        return ExitUsage;
    options.bitrates = {bitrate};
    // Files first: a bad file costs no connection.
    for (Side &side : sides) {
        if (!side.device) {
            if (const int code = reportLoad(readOvsFile(side.name, side.config)))
                return code;
        }
    }
    for (Side &side : sides) {
        if (side.device) {
            options.port = side.name;
            QString failure;
            const int code = readSwitch(options, side.config, 4, &failure);
            addToJournal("read", side.name, code == ExitOk, failure, QString(),
                         code == ExitOk ? &side.config : nullptr);
            if (code != ExitOk)
                return code;
            rememberHeld(side.name, side.config);
        }
    }
    const QStringList differences = diffConfigurations(sides.at(0).config, sides.at(1).config);
    QTextStream out(stdout);
    for (const QString &line : differences)
        out << line << "\n";
    return differences.isEmpty() ? ExitOk : ExitFindings;
}
