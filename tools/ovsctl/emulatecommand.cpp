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

#ifndef Q_OS_WIN
#include <csignal>
#include <unistd.h>
#endif

namespace {

using Faults = SwitchEmulator::Faults;

// The options of ovsctl emulate, in the order its help lists them.
struct EmulateOptions
{
    QCommandLineOption channels{"channels", "Channel count: 2, 4 or 8.", "N"};
    QCommandLineOption from{"from", "Start from this configuration.", "FILE.ovs"};
    QCommandLineOption link{"link", "Make PATH a symbolic link to the device.", "PATH"};
    QCommandLineOption save{"save", "Write the configuration to FILE.ovs on exit.", "FILE.ovs"};
    QCommandLineOption corrupt{"corrupt", "Damage this share (0 to 1) of the frames sent.",
                               "SHARE"};
    QCommandLineOption keepRecord{
            "keep-record", "Acknowledge writes of channel N's record but keep the old one.", "N"};
    QCommandLineOption corruptHeader{
            "corrupt-header", "Let --corrupt damage any byte, start, command and length included."};
    QCommandLineOption chatter{
            "chatter",
            "Misbehave after the hello: 'unknown' answers nothing and sends a frame with an "
            "unknown command every 1 to 1.5 s; 'reack' acknowledges the switching state "
            "request every 1.5 s but never answers it.",
            "MODE"};
    QCommandLineOption recordOffset{
            "record-offset", "Answer the request for record i with record i+N, modulo 8 (0 to 7).",
            "N"};
    QCommandLineOption loseRecord{"lose-record",
                                  "Lose the first write of channel N's record on its way in.", "N"};
    QCommandLineOption strayBytes{
            "stray-bytes", "Send a stray byte 00 after this share (0 to 1) of the frames sent.",
            "SHARE"};
    QCommandLineOption corruptIncoming{
            "corrupt-incoming", "Damage this share (0 to 1) of the bytes received.", "SHARE"};
    QCommandLineOption delay{"delay", "Send everything MS milliseconds late.", "MS"};
    QCommandLineOption recordDelay{
            "record-delay", "Acknowledge record writes MS milliseconds late (not --delay).", "MS"};
    QCommandLineOption silent{"silent", "Answer nothing at all, as a port without a switch."};
    QCommandLineOption silentAfter{"silent-after",
                                   "Fall silent for good once N frames have been received.", "N"};
    QCommandLineOption onlyBitrate{"answer-bitrate",
                                   "Hear only a line set to RATE bit/s (9600 or 115200).", "RATE"};

    void addTo(QCommandLineParser &parser) const
    {
        parser.addOptions({channels, from, link, save, corrupt, keepRecord, corruptHeader, chatter,
                           recordOffset, loseRecord, strayBytes, corruptIncoming, delay,
                           recordDelay, silent, silentAfter, onlyBitrate});
    }
};

QString optionName(const QCommandLineOption &option)
{
    return option.names().first();
}

// A share from 0 to 1; `share` keeps its value when the option is not given.
bool takeShare(const QCommandLineParser &parser, const QCommandLineOption &option, double &share)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    share = parser.value(option).toDouble(&ok);
    // Written so that NaN, which fails every comparison, is refused too.
    if (ok && share >= 0.0 && share <= 1.0)
        return true;
    printError(QString("emulate: --%1 must be a number from 0 to 1.").arg(optionName(option)));
    return false;
}

// A channel number from 1 to `count`; 0 when the option is not given.
bool takeChannel(const QCommandLineParser &parser, const QCommandLineOption &option, int count,
                 int &channel)
{
    channel = 0;
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    channel = parser.value(option).toInt(&ok);
    if (ok && channel >= 1 && channel <= count)
        return true;
    printError(QString("emulate: --%1 must be a channel number of the switch.")
                       .arg(optionName(option)));
    return false;
}

// A whole number from 0 to `max`; `value` keeps its value when the option is not given.
bool takeNumber(const QCommandLineParser &parser, const QCommandLineOption &option, int max,
                int &value)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    value = parser.value(option).toInt(&ok);
    if (ok && value >= 0 && value <= max)
        return true;
    printError(QString("emulate: --%1 must be a number from 0 to %2.")
                       .arg(optionName(option))
                       .arg(max));
    return false;
}

// The options that take a number, each into its field of the faults, in the order they
// are checked.
bool takeNumbers(const QCommandLineParser &parser, const EmulateOptions &o, int count,
                 Faults &faults)
{
    const struct
    {
        const QCommandLineOption &option;
        double Faults::*field;
    } shares[] = {{o.corrupt, &Faults::corruptShare},
                  {o.strayBytes, &Faults::strayShare},
                  {o.corruptIncoming, &Faults::incomingShare}};
    for (const auto &share : shares) {
        if (!takeShare(parser, share.option, faults.*share.field))
            return false;
    }
    int kept = 0;
    int lost = 0;
    if (!takeChannel(parser, o.keepRecord, count, kept)
        || !takeChannel(parser, o.loseRecord, count, lost))
        return false;
    faults.keptRecord = kept - 1;
    faults.lostRecords = lost > 0 ? 1u << (lost - 1) : 0u;
    constexpr int kMaxMs = 60000;
    const struct
    {
        const QCommandLineOption &option;
        int Faults::*field;
    } numbers[] = {{o.delay, &Faults::answerDelayMs},
                   {o.recordDelay, &Faults::recordDelayMs},
                   {o.silentAfter, &Faults::quietAfter}};
    for (const auto &number : numbers) {
        if (!takeNumber(parser, number.option, kMaxMs, faults.*number.field))
            return false;
    }
    return true;
}

// Fills `faults` from the options; false after a usage message.
bool takeFaults(const QCommandLineParser &parser, const EmulateOptions &o, int count,
                Faults &faults)
{
    if (!takeNumbers(parser, o, count, faults))
        return false;
    if (parser.isSet(o.onlyBitrate)) {
        const QString rate = parser.value(o.onlyBitrate);
        if (rate != "9600" && rate != "115200") {
            printError("emulate: --answer-bitrate must be 9600 or 115200.");
            return false;
        }
        faults.onlyBitrate = rate.toInt();
    }
    if (parser.isSet(o.chatter)) {
        const QString mode = parser.value(o.chatter);
        if (mode == "unknown") {
            faults.chatter = SwitchEmulator::Chatter::UnknownFrames;
        } else if (mode == "reack") {
            faults.chatter = SwitchEmulator::Chatter::ReAcknowledge;
        } else {
            printError("emulate: --chatter must be 'unknown' or 'reack'.");
            return false;
        }
    }
    if (!takeNumber(parser, o.recordOffset, kMaxChannels - 1, faults.recordOffset))
        return false;
    faults.corruptHeaders = parser.isSet(o.corruptHeader);
    faults.silent = parser.isSet(o.silent);
    // Each run damages other frames.
    faults.seed = quint32(QCoreApplication::applicationPid());
    return true;
}

#ifdef Q_OS_WIN

// The emulator's line is a pseudo-terminal; Windows has none.
int serveUntilInterrupted(SwitchEmulator &, const QString &, const QString &)
{
    printError("emulate: needs a pseudo-terminal (run it on Linux) or a virtual COM-port pair, "
               "and this Windows build has neither.");
    return ExitDevice;
}

#else

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &c, 1);
}

// Serves on a new pseudo-terminal until SIGINT or SIGTERM; `link` and `save` may be empty.
int serveUntilInterrupted(SwitchEmulator &emulator, const QString &link, const QString &save)
{
    if (!emulator.startOnPty()) {
        printError("emulate: no pseudo-terminal is available.");
        return ExitDevice;
    }
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
    if (!save.isEmpty() && !writeOvsFile(save, emulator.configuration())) {
        printError(Msg::couldNotSave());
        return ExitFile;
    }
    return ExitOk;
}

#endif

} // namespace

int runEmulate(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            "Plays a switch on a new pseudo-terminal until interrupted. Prints the device\n"
            "path a serial port opens.");
    const EmulateOptions options;
    options.addTo(parser);
    if (const int code = parseCommand(parser, "emulate", args); code >= 0)
        return code;

    Configuration config;
    if (parser.isSet(options.from)) {
        if (const int code = reportLoad(readOvsFile(parser.value(options.from), config)))
            return code;
    }
    int count = parser.isSet(options.from) ? config.channelCount : 0;
    if (parser.isSet(options.channels))
        count = parser.value(options.channels).toInt();
    if (count != 2 && count != 4 && count != 8) {
        printError("emulate: --channels must be 2, 4 or 8.");
        return ExitUsage;
    }
    Faults faults;
    if (!takeFaults(parser, options, count, faults))
        return ExitUsage;
    if (parser.isSet(options.save) && !isReplaceableFile(parser.value(options.save))) {
        printError(Msg::couldNotSave());
        return ExitFile;
    }

    SwitchEmulator emulator(count, config);
    emulator.setFaults(faults);
    return serveUntilInterrupted(emulator, parser.value(options.link), parser.value(options.save));
}
