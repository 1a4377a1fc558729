#pragma once

#include "document/configuration.h"
#include "link/link.h"

#include <QString>
#include <QTime>

// The checks that going back makes before it writes a restore point into a switch: it
// reads the switch first, in the same connection, and writes nothing when the switch is
// not the one it means to put back.

// After the keep question: the switch still holds what was sent at `sentAt`. The cable
// may have moved to the next switch in the rack, or another program may have written it.
Link::RestorePointHook holdsWhatWasSent(const QString &port, const Configuration &sent,
                                        const Configuration &back, const QTime &sentAt);

// After a failed write, when the switch is expected to hold parts of both: it has the
// restore point's channel count.
Link::RestorePointHook hasChannelCountOf(const QString &port, const Configuration &back);
