#include "ovsctljournal.h"

#include "ovsctl.h"

#include "document/layoutcheck.h"
#include "document/restorepoints.h"
#include "link/lastknown.h"

#include <QDir>
#include <QRegularExpression>

void addToJournal(const QString &action, const QString &port, bool ok, const QString &reason,
                  const QString &file, const Configuration *config, const QString &restorePoint)
{
    // Stamped by the journal as it is added.
    const JournalEntry entry = Journal::exchangeEntry(QStringLiteral("ovsctl"), action, port, ok,
                                                      reason, file, config, restorePoint);
    QString error;
    if (!Journal().append(entry, &error))
        printError(QString("The journal was not written: %1.").arg(error));
}

namespace {
void reportNotKept(const QString &error)
{
    printError(QString("What the switch holds was not kept: %1.").arg(error));
}
} // namespace

void rememberHeld(const QString &port, const Configuration &held)
{
    QString error;
    if (!LastKnown().remember(port, held, &error))
        reportNotKept(error);
}

void rememberWritten(const QString &port, const Configuration &sent, int switchChannels,
                     const Configuration *previous)
{
    QString error;
    if (!LastKnown().rememberWrite(port, sent, switchChannels, previous, &error))
        reportNotKept(error);
}

void forgetHeld(const QString &port, int switchChannels)
{
    QString error;
    if (!LastKnown().forget(port, switchChannels, &error))
        reportNotKept(error);
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

namespace {

// A word of a command line as a shell takes it back: quoted when it holds anything but
// letters, digits and the usual characters of paths.
QString shellWord(const QString &word)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_./:\\\\=+-]+$"));
    if (plain.match(word).hasMatch())
        return word;
#ifdef Q_OS_WIN
    return '"' + word + '"';
#else
    QString quoted = word;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    return '\'' + quoted + '\'';
#endif
}

} // namespace

void printWayBack(const QString &port, int bitrate, const QString &restorePoint)
{
    if (restorePoint.isEmpty())
        return;
    QStringList command{"ovsctl", "write", "--port", shellWord(port)};
    if (bitrate != 115200)
        command << "--bitrate" << QString::number(bitrate);
    // What the switch held may itself have layout problems; it goes back all the same.
    Configuration previous;
    if (readOvsFile(restorePoint, previous) == OvsLoadResult::Loaded
        && !layoutProblemsOf(checkLayout(previous), LayoutSeverity::Error).isEmpty())
        command << "--force";
    command << shellWord(QDir::toNativeSeparators(restorePoint));
    printError(QString("The switch may now hold parts of both configurations. What it held "
                       "before is kept in the restore point\n  %1\nTo write it back: %2")
                       .arg(QDir::toNativeSeparators(restorePoint), command.join(' ')));
}
