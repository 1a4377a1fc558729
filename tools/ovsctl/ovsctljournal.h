#pragma once

#include "document/journal.h"
#include "document/restorepoints.h"
#include "link/switchjob.h"

// ovsctl's side of the journal and the restore points. Journal entries have the source
// "ovsctl" and are stamped when they are added.

// Adds one entry: `config` (may be null) gives the model and the checksum, `reason` is
// kept for a failure only, in one line. A journal that cannot be written is reported
// on standard error and changes no exit code, since the exchange itself happened as
// reported.
void addToJournal(const QString &action, const QString &port, bool ok, const QString &reason,
                  const QString &file, const Configuration *config,
                  const QString &restorePoint = QString());

// Keeps what the switch on `port` holds now as its last-known configuration: `held`
// after a readout, or what a write of `sent` leaves in a switch of `switchChannels`
// channels that held `previous` (null when unknown) before. A failure is reported on
// standard error as the journal's is.
void rememberHeld(const QString &port, const Configuration &held);
void rememberWritten(const QString &port, const Configuration &sent, int switchChannels,
                     const Configuration *previous);
// After a write that failed part-way: nothing is known of the switch any more.
void forgetHeld(const QString &port, int switchChannels);

// `text` with line breaks, tabs and other control characters written as \n, \t, \r and
// \xHH, so that a port name keeps a "PORT<TAB>result" line one line.
QString printable(const QString &text);

// After a transmission that failed once something of it had reached the switch: says on
// standard error that the switch may hold parts of both configurations, where the
// restore point is, and the command that writes it back. Nothing when there is none.
void printWayBack(const QString &port, int bitrate, const QString &restorePoint);
