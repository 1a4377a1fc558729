#include "messages.h"
#include "ovsctl.h"

#include "document/configrecord.h"

#include <QCommandLineParser>
#include <QGuiApplication>

int runRecord(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            "Writes a PDF record of an .ovs file for the operator's documentation: the\n"
            "layout as printed, the model, Orvanel Switching, the pointer speed, the file\n"
            "with its time and a table of the channels with their places, sizes,\n"
            "resolutions and crossings. Needs no display. On any failure no PDF is\n"
            "written, and an existing one stays as it was.");
    const QCommandLineOption output({"o", "output"}, "The PDF file to write.", "FILE.pdf");
    parser.addOption(output);
    parser.addPositionalArgument("FILE.ovs", "The configuration file.");
    if (const int code = parseCommand(parser, "record", args); code >= 0)
        return code;
    if (parser.positionalArguments().size() != 1 || !parser.isSet(output)) {
        printError("record: one FILE.ovs and --output FILE.pdf are needed.");
        return ExitUsage;
    }
    // Painting needs the application object main() made for this command.
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        printError("record: cannot paint without a graphical application.");
        return ExitFile;
    }
    ConfigRecord record;
    record.fileName = parser.positionalArguments().first();
    if (const int code = reportLoad(readOvsFile(record.fileName, record.config)))
        return code;
    if (!record.write(parser.value(output))) {
        printError(Msg::couldNotSave());
        return ExitFile;
    }
    return ExitOk;
}
