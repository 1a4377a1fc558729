// history: the journal of every exchange, as lines or as JSON.
#include "messages.h"
#include "ovsctl.h"
#include "ovsctljournal.h"

#include "document/datafolder.h"

#include <QCommandLineParser>
#include <QDir>
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
            "number is reported on standard error; of a journal larger than 64 MiB only\n"
            "the newest entries are read, and standard error says so. A journal that\n"
            "cannot be read gives exit code 3. The journal is journal.jsonl in\n"
            + QDir::toNativeSeparators(ovsDataFolder()) + ".");
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

    const JournalReading journal = Journal().read();
    if (!journal.unlocked.isEmpty())
        printError(QString("history: the journal was read without its lock: %1.")
                           .arg(journal.unlocked));
    QJsonArray array;
    QTextStream out(stdout);
    for (const JournalEntry &e : journal.entries) {
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
    const int damaged = journal.damaged;
    if (damaged > 0)
        printError(damaged == 1 ? QString("history: 1 damaged line of the journal was skipped.")
                                : QString("history: %1 damaged lines of the journal were skipped.")
                                          .arg(damaged));
    if (journal.olderSkipped)
        printError(QString("history: older entries were skipped because the journal is larger "
                           "than %1 MiB.")
                           .arg(Journal::kLargestReadBytes >> 20));
    if (!journal.error.isEmpty()) {
        printError(QString("history: the journal cannot be read: %1.").arg(journal.error));
        return ExitFile;
    }
    return ExitOk;
}
