#include "ovsctljournal.h"

#include "ovsctl.h"

#include "document/restorepoints.h"

#include <QFileInfo>

void addToJournal(const QString &action, const QString &port, bool ok, const QString &reason,
                  const QString &file, const Configuration *config, const QString &restorePoint)
{
    JournalEntry entry; // stamped by the journal as it is added
    entry.source = QStringLiteral("ovsctl");
    entry.action = action;
    entry.port = port;
    entry.outcome = ok ? QStringLiteral("ok") : QStringLiteral("failed");
    if (!ok)
        entry.reason = reason.split('\n', Qt::SkipEmptyParts).join(' ');
    // The journal is read from anywhere: a file is named by its whole path.
    entry.file = file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath();
    entry.restorePoint = restorePoint;
    if (config) {
        entry.model = Journal::modelName(config->channelCount);
        entry.sha256 = Journal::sha256Of(*config);
    }
    QString error;
    if (!Journal().append(entry, &error))
        printError(QString("The journal was not written: %1.").arg(error));
}

Link::RestorePointHook restorePointSaver(RestorePoints &points, const QString &port,
                                         QString &savedPath)
{
    return [&points, port, &savedPath](const Configuration &previous, QString *why) {
        QString error;
        savedPath = points.save(previous, port, &error);
        if (!savedPath.isEmpty())
            return true;
        if (why)
            *why = QString("The switch's configuration could not be kept as a restore point "
                           "(%1); nothing was sent.")
                           .arg(error);
        return false;
    };
}

QString printable(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}
