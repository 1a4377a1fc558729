#include "messages.h"
#include "ovsctl.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const char kUsage[] = "Usage: ovsctl <command> [options]\n"
                      "\n"
                      "Reads, writes, shows and converts switch configurations.\n"
                      "\n"
                      "Commands:\n"
                      "  read     Read the configuration out of the switch into an .ovs file\n"
                      "  write    Write an .ovs file into the switch\n"
                      "  show     Print an .ovs file as a table or as JSON\n"
                      "  import   Turn the JSON of 'show --json' back into an .ovs file\n"
                      "  check    List the layout problems of an .ovs file\n"
                      "  diff     Compare two configurations, each a file or a switch\n"
                      "  probe    Find the switches on several ports at once\n"
                      "  backup   Read several switches at once into a folder of .ovs files\n"
                      "  restore  Write a folder of .ovs files into several switches at once\n"
                      "  record   Write a PDF record of an .ovs file\n"
                      "  history  Print the journal of every exchange with a switch\n"
                      "  status   Read every switch and tell whether it still holds what it held\n"
                      "  emulate  Play a switch on a pseudo-terminal\n"
                      "\n"
                      "Options:\n"
                      "  -h, --help     Displays this help.\n"
                      "  -v, --version  Displays version information.\n"
                      "\n"
                      "'ovsctl <command> --help' describes each command.\n"
                      "Exit codes: 0 success, 1 device or link failure (also a failed\n"
                      "'write --verify'), 2 usage, 3 file failure, 4 layout problems found\n"
                      "('check', 'write' without --force) or configurations differ ('diff').\n";

} // namespace

void printError(const QString &text)
{
    QTextStream(stderr) << text << Qt::endl;
}

void runUntil(QEventLoop &loop, const std::function<bool()> &done)
{
    if (!done())
        loop.exec();
}

int parseCommand(QCommandLineParser &parser, const QString &command, const QStringList &args)
{
    const QCommandLineOption help({"h", "help"}, "Displays help for this command.");
    parser.addOption(help);
    if (!parser.parse(QStringList{"ovsctl " + command} + args)) {
        printError(parser.errorText());
        printError(QString("'ovsctl %1 --help' lists the options.").arg(command));
        return ExitUsage;
    }
    if (parser.isSet(help)) {
        // The parser names the program by its full path; name the command instead.
        QString text = parser.helpText();
        const QString program = QCoreApplication::arguments().constFirst();
        const qsizetype at = text.indexOf(program);
        if (at >= 0)
            text.replace(at, program.size(), "ovsctl " + command);
        QTextStream(stdout) << text;
        return ExitOk;
    }
    return -1;
}

QString loadFailureText(OvsLoadResult result)
{
    switch (result) {
    case OvsLoadResult::Loaded:
        break;
    case OvsLoadResult::CouldNotOpen:
        return Msg::couldNotOpen();
    case OvsLoadResult::Corrupt:
        return Msg::fileCorrupt();
    case OvsLoadResult::ChecksumError:
        return Msg::checksumError();
    }
    return QString();
}

int reportLoad(OvsLoadResult result)
{
    if (result == OvsLoadResult::Loaded)
        return ExitOk;
    printError(loadFailureText(result));
    return ExitFile;
}

// 'record' paints text, which needs fonts and so a graphical application. It runs on the
// offscreen platform, whatever QT_QPA_PLATFORM says, so it needs no display. Every other
// command stays a console program.
std::unique_ptr<QCoreApplication> makeApplication(int &argc, char **argv)
{
    if (argc > 1 && std::strcmp(argv[1], "record") == 0) {
#ifndef Q_OS_WIN
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

int main(int argc, char *argv[])
{
    const std::unique_ptr<QCoreApplication> app = makeApplication(argc, argv);
    QCoreApplication::setApplicationName("ovsctl");
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        std::fputs(kUsage, stderr);
        return ExitUsage;
    }
    const QString command = args.takeFirst();
    if (command == "-h" || command == "--help" || command == "help") {
        std::fputs(kUsage, stdout);
        return ExitOk;
    }
    if (command == "-v" || command == "--version") {
        QTextStream(stdout) << "ovsctl " << OVS_VERSION << "\n";
        return ExitOk;
    }
    if (command == "read")
        return runRead(args);
    if (command == "write")
        return runWrite(args);
    if (command == "show")
        return runShow(args);
    if (command == "import")
        return runImport(args);
    if (command == "check")
        return runCheck(args);
    if (command == "diff")
        return runDiff(args);
    if (command == "probe")
        return runProbe(args);
    if (command == "backup")
        return runBackup(args);
    if (command == "restore")
        return runRestore(args);
    if (command == "record")
        return runRecord(args);
    if (command == "history")
        return runHistory(args);
    if (command == "status")
        return runStatus(args);
    if (command == "emulate")
        return runEmulate(args);
    printError(QString("Unknown command '%1'.").arg(command));
    std::fputs(kUsage, stderr);
    return ExitUsage;
}
