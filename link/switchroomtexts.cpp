#include "link/switchroom.h"

#include <QDir>

// What the room's columns say of a row, in the current language.

QString SwitchRoom::switchText(int index) const
{
    const Row &r = row(index);
    if (r.probing)
        return tr("Asking…");
    if (!r.probe)
        return QString();
    switch (r.probe->outcome) {
    case ProbeResult::Outcome::Found:
        return switchModelText(r.probe->channels, r.probe->bitrate);
    case ProbeResult::Outcome::NoAnswer:
        return tr("No answer");
    case ProbeResult::Outcome::PortFailed:
        break;
    }
    return r.probe->reason;
}

QString SwitchRoom::lastExchangeText(int index) const
{
    const Row &r = row(index);
    if (!r.last)
        return QString();
    return tr("%1: %2, %3").arg(shownTime(r.last->time), r.last->action, r.last->outcome);
}

QString SwitchRoom::stateText(int index) const
{
    const Row &r = row(index);
    if (r.job && !r.job->isFinished()) {
        const QString step = r.job->report().stepText();
        return step.isEmpty() ? tr("Waiting…") : step;
    }
    return resultText(r);
}

bool SwitchRoom::failed(int index) const
{
    const Row &r = row(index);
    return r.job && r.job->isFinished() && !r.job->succeeded();
}

QString SwitchRoom::resultText(const Row &r) const
{
    const QString state = r.state ? r.state->text() : QString();
    if (r.action == Action::Send && !r.job) {
        return tr("Not sent: the switch has %1 channels, the file %2")
                .arg(r.probe ? r.probe->channels : 0)
                .arg(m_sentChannels);
    }
    if (!r.job)
        return state;
    const SwitchJob &job = *r.job;
    const QString reason = job.report().outcomeReason();
    switch (job.outcome()) {
    case SwitchJob::Outcome::Running:
        return QString();
    case SwitchJob::Outcome::Cancelled:
        return tr("Cancelled");
    case SwitchJob::Outcome::Failed:
        return reason.isEmpty() ? tr("Failed") : tr("Failed: %1").arg(reason);
    case SwitchJob::Outcome::Mismatch:
        return tr("Not sent: the switch has %1 channels, the file %2")
                .arg(job.deviceChannels())
                .arg(job.plan().send.channelCount);
    case SwitchJob::Outcome::SaveFailed:
        return tr("%1; the file %2 could not be written")
                .arg(state, QDir::toNativeSeparators(job.plan().saveTo));
    case SwitchJob::Outcome::Differs:
    case SwitchJob::Outcome::Done:
        break;
    }
    switch (r.action) {
    case Action::None:
    case Action::Check:
        return state;
    case Action::BackUp:
        return tr("%1; saved to %2").arg(state, QDir::toNativeSeparators(job.plan().saveTo));
    case Action::Open:
        return tr("%1; opened in the main window").arg(state);
    case Action::Send:
        return job.report().outcome();
    case Action::GoBack:
        return tr("Went back to the previous configuration");
    }
    return state;
}
