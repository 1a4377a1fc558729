#pragma once

#include "document/ovsfile.h"

#include <QStringList>

#include <functional>

class QEventLoop;

class QCommandLineParser;

// The commands of ovsctl; each takes its arguments (without the command name) and
// returns the exit code.
int runRead(const QStringList &args);
int runWrite(const QStringList &args);
int runShow(const QStringList &args);
int runImport(const QStringList &args);
int runCheck(const QStringList &args);
int runDiff(const QStringList &args);
int runEmulate(const QStringList &args);
int runProbe(const QStringList &args);
int runBackup(const QStringList &args);
int runRestore(const QStringList &args);
// Needs a QGuiApplication.
int runRecord(const QStringList &args);
int runHistory(const QStringList &args);
int runStatus(const QStringList &args);

// Parses `args` for one command: prints help and reports ExitOk, prints the error
// and usage and reports ExitUsage, or returns -1 to go on.
int parseCommand(QCommandLineParser &parser, const QString &command, const QStringList &args);

// The message for a failed load; empty for a good one.
QString loadFailureText(OvsLoadResult result);
// Prints the message for a failed load to stderr and returns ExitFile; ExitOk when loaded.
int reportLoad(OvsLoadResult result);

void printError(const QString &text);

// Runs the event loop until `done` holds; whatever makes it hold calls quit() on `loop`.
// (Not a loop of processEvents(WaitForMoreEvents): on Windows that call may go on waiting
// after it has delivered the very event that ended the wait.)
void runUntil(QEventLoop &loop, const std::function<bool()> &done);
