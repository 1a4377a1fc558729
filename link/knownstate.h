#pragma once

#include "document/configuration.h"

#include <QDateTime>
#include <QString>

#include <optional>

struct KnownConfiguration;

// How a fresh readout of a switch compares with what its port was last known to hold:
// the same, changed (by another PC, by hand at the switch, or a replaced unit), or read
// for the first time. The window's room of switches and `ovsctl status` say it alike.
struct KnownState
{
    enum class Kind { FirstRead, Same, Changed };
    Kind kind = Kind::FirstRead;
    QDateTime since; // when it was last known
    QString changes; // Changed: what differs, in one short phrase

    // "Same as at 14:02:11", "Changed since 14:02:11: channels 2 and 5, mouse speed",
    // "First read now"; the date goes with the time when it is not today's. In the
    // current language.
    QString text() const;
    // "same", "changed" or "first", for scripts.
    QString word() const;
};

KnownState compareWithKnown(const std::optional<KnownConfiguration> &known,
                            const Configuration &read);

// A time as the room of switches shows it: "14:02:11" today, "2026-12-08 14:02:11" before.
QString shownTime(const QDateTime &time);
