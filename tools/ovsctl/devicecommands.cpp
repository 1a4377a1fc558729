#include "devicesession.h"
#include "messages.h"
#include "ovsctl.h"

#include "document/regularfile.h"
#include "link/switchemulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <unistd.h>

namespace {

// Options shared by read and write.
struct LinkOptions
{
    QCommandLineOption port{"port", "Serial port name or device path.", "PATH"};
    QCommandLineOption bitrate{"bitrate", "9600 or 115200 (default 115200).", "RATE", "115200"};
    QCommandLineOption trace{"trace", "Write a timestamped hex log of the line to FILE.", "FILE"};

    void addTo(QCommandLineParser &parser) const { parser.addOptions({port, bitrate, trace}); }

    // Fills the port, bitrate and trace; false after a usage message.
    bool take(const QCommandLineParser &parser, DeviceSession::Options &out) const
    {
        if (!parser.isSet(port) || parser.value(port).isEmpty()) {
            printError("--port PATH is needed.");
            return false;
        }
        out.port = parser.value(port);
        const QString rate = parser.value(bitrate);
        if (rate != "9600" && rate != "115200") {
            printError(QString("--bitrate must be 9600 or 115200, not '%1'.").arg(rate));
            return false;
        }
        out.bitrate = rate.toInt();
        out.traceFile = parser.value(trace);
        return true;
    }
};

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &c, 1);
}

} // namespace

int runRead(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            "Reads the configuration out of the switch. The file is written only after a\n"
            "complete readout; on any failure an existing file stays untouched.");
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
    return session.run();
}

int runWrite(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            "Writes an .ovs file into the switch. When the switch has another channel count\n"
            "than the file, nothing is written unless --yes is given.");
    LinkOptions link;
    link.addTo(parser);
    const QCommandLineOption yes({"y", "yes"}, "Go on over a channel count mismatch.");
    parser.addOption(yes);
    parser.addPositionalArgument("FILE.ovs", "The configuration to send.");
    if (const int code = parseCommand(parser, "write", args); code >= 0)
        return code;
    DeviceSession::Options options;
    if (!link.take(parser, options))
        return ExitUsage;
    if (parser.positionalArguments().size() != 1) {
        printError("write: exactly one FILE.ovs is needed.");
        return ExitUsage;
    }
    Document document;
    if (const int code
        = reportLoad(readOvsFile(parser.positionalArguments().first(), document.stagingConfig)))
        return code;
    document.currentConfig = document.stagingConfig;
    options.direction = kDirectionTransmit;
    options.continueOnMismatch = parser.isSet(yes);
    // Switches with more than four channels always talk at 115200 bit/s.
    if (document.currentConfig.channelCount > 4)
        options.bitrate = 115200;
    DeviceSession session(options, document);
    return session.run();
}

int runEmulate(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            "Plays a switch on a new pseudo-terminal until interrupted. Prints the device\n"
            "path a serial port opens.");
    const QCommandLineOption channels("channels", "Channel count: 2, 4 or 8.", "N");
    const QCommandLineOption from("from", "Start from this configuration.", "FILE.ovs");
    const QCommandLineOption linkPath("link", "Make PATH a symbolic link to the device.", "PATH");
    const QCommandLineOption save("save", "Write the configuration to FILE.ovs on exit.",
                                  "FILE.ovs");
    const QCommandLineOption corrupt("corrupt", "Damage this share (0 to 1) of the frames sent.",
                                     "SHARE");
    parser.addOptions({channels, from, linkPath, save, corrupt});
    if (const int code = parseCommand(parser, "emulate", args); code >= 0)
        return code;

    Configuration config;
    if (parser.isSet(from)) {
        if (const int code = reportLoad(readOvsFile(parser.value(from), config)))
            return code;
    }
    int count = parser.isSet(from) ? config.channelCount : 0;
    if (parser.isSet(channels))
        count = parser.value(channels).toInt();
    if (count != 2 && count != 4 && count != 8) {
        printError("emulate: --channels must be 2, 4 or 8.");
        return ExitUsage;
    }
    bool shareOk = true;
    const double share = parser.isSet(corrupt) ? parser.value(corrupt).toDouble(&shareOk) : 0.0;
    // Written so that NaN, which fails every comparison, is refused too.
    if (!shareOk || !(share >= 0.0 && share <= 1.0)) {
        printError("emulate: --corrupt must be a number from 0 to 1.");
        return ExitUsage;
    }

    if (parser.isSet(save) && !isReplaceableFile(parser.value(save))) {
        printError(Msg::couldNotSave());
        return ExitFile;
    }

    SwitchEmulator emulator(count, config);
    emulator.setCorruptShare(share, quint32(::getpid()));
    if (!emulator.startOnPty()) {
        printError("emulate: no pseudo-terminal is available.");
        return ExitDevice;
    }
    const QString link = parser.value(linkPath);
    if (!link.isEmpty()) {
        const QFileInfo existing(link);
        if (existing.exists() && !existing.isSymLink()) {
            printError(QString("emulate: %1 exists and is not a symbolic link.").arg(link));
            return ExitFile;
        }
        QFile::remove(link);
        if (!QFile::link(emulator.devicePath(), link)) {
            printError(QString("emulate: cannot create the link %1.").arg(link));
            return ExitFile;
        }
    }
    QTextStream(stdout) << emulator.devicePath() << Qt::endl;

    if (::pipe(signalPipe) != 0)
        return ExitDevice;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    QSocketNotifier stop(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stop, &QSocketNotifier::activated, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();

    emulator.stop();
    if (!link.isEmpty())
        QFile::remove(link);
    if (parser.isSet(save) && !writeOvsFile(parser.value(save), emulator.configuration())) {
        printError(Msg::couldNotSave());
        return ExitFile;
    }
    return ExitOk;
}
