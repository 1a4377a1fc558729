#include "link/knownstate.h"

#include "document/configdiff.h"
#include "link/lastknown.h"

#include <QCoreApplication>

KnownState compareWithKnown(const std::optional<KnownConfiguration> &known,
                            const Configuration &read)
{
    KnownState state;
    if (!known)
        return state;
    state.since = known->time;
    // The comparison Verify makes, summed up without the values.
    state.changes = summarizeChanges(known->config, read, ChangeValues::Left);
    state.kind = state.changes.isEmpty() ? KnownState::Kind::Same : KnownState::Kind::Changed;
    return state;
}

QString KnownState::text() const
{
    switch (kind) {
    case Kind::FirstRead:
        break;
    case Kind::Same:
        return QCoreApplication::translate("KnownState", "Same as at %1").arg(shownTime(since));
    case Kind::Changed:
        return QCoreApplication::translate("KnownState", "Changed since %1: %2")
                .arg(shownTime(since), changes);
    }
    return QCoreApplication::translate("KnownState", "First read now");
}

QString KnownState::word() const
{
    switch (kind) {
    case Kind::FirstRead:
        break;
    case Kind::Same:
        return QStringLiteral("same");
    case Kind::Changed:
        return QStringLiteral("changed");
    }
    return QStringLiteral("first");
}

QString shownTime(const QDateTime &time)
{
    const QDateTime local = time.toLocalTime();
    if (local.date() == QDate::currentDate())
        return local.toString(QStringLiteral("HH:mm:ss"));
    return local.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}
