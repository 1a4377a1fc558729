// history: the journal of every exchange, as lines or as JSON.
#include "messages.h"
#include "ovsctl.h"
#include "ovsctljournal.h"

#include "document/datafolder.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

int runHistory(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            "Prints the journal that the window and ovsctl keep of every readout,\n"
            "transmission, verification, backup, restore and going back, oldest first. One\n"
            "line per entry, its fields separated by tabs: time, source, action, port,\n"
            "model, outcome, reason, file and restore point; control characters are\n"
            "written as \\n, \\t, \\r or \\xHH. With --json one JSON array of objects with\n"
            "the fields time, source, action, port, model, outcome, reason, file,\n"
            "restorePoint and sha256. Damaged lines of the journal are skipped and their\n"
            "number is reported on standard error. The journal is journal.jsonl in\n"
            + ovsDataFolder() + ".");
    const QCommandLineOption port("port", "Only the entries of this port, as it was given.",
                                  "PATH");
    const QCommandLineOption json("json", "Print JSON.");
    parser.addOptions({port, json});
    if (const int code = parseCommand(parser, "history", args); code >= 0)
        return code;
    if (!parser.positionalArguments().isEmpty()
        || (parser.isSet(port) && parser.value(port).isEmpty())) {
        printError("history: only --port PATH and --json are taken.");
        return ExitUsage;
    }

    int damaged = 0;
    const QList<JournalEntry> entries = Journal().entries(&damaged);
    QJsonArray array;
    QTextStream out(stdout);
    for (const JournalEntry &e : entries) {
        if (parser.isSet(port) && e.port != parser.value(port))
            continue;
        if (parser.isSet(json)) {
            array.append(Journal::toJson(e));
            continue;
        }
        const QJsonObject o = Journal::toJson(e);
        QStringList fields;
        for (const char *name : {"time", "source", "action", "port", "model", "outcome", "reason",
                                 "file", "restorePoint"})
            fields << printable(o.value(QLatin1String(name)).toString());
        out << fields.join('\t') << '\n';
    }
    if (parser.isSet(json))
        out << QJsonDocument(array).toJson(QJsonDocument::Indented);
    out.flush();
    if (damaged > 0)
        printError(damaged == 1 ? QString("history: 1 damaged line of the journal was skipped.")
                                : QString("history: %1 damaged lines of the journal were skipped.")
                                          .arg(damaged));
    return ExitOk;
}
