#include "app/wayback.h"

#include "app/gobackquestion.h"
#include "app/historydialog.h"
#include "document/commandhost.h"
#include "document/configdiff.h"
#include "document/documentchanges.h"
#include "document/documentcommands.h"
#include "document/journal.h"
#include "link/devicesequence.h"
#include "link/goingback.h"
#include "link/lastknown.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include <utility>

namespace {
// How often going back looks again for the end of the exchange before it.
constexpr int kRetryMs = 50;

QString clockTime(const QTime &time)
{
    return time.toString(QStringLiteral("HH:mm:ss"));
}
} // namespace

WayBack::WayBack(Parts parts, QObject *parent)
    : QObject(parent)
    , m(parts)
{
    m_history = new QAction(this);
    m_history->setObjectName(QStringLiteral("actionHistory"));
    m.actionMenu.addAction(m_history);
    connect(m_history, &QAction::triggered, this, &WayBack::showHistory);
    retranslate();

    m.sequence.setRestorePointHook([this](const Configuration &previous, QString *why) {
        return saveRestorePoint(previous, why);
    });
    connect(&m.sequence, &DeviceSequence::exchangeBegan, this, &WayBack::exchangeBegan);
    connect(&m.sequence, &DeviceSequence::exchangeEnded, this, &WayBack::exchangeEnded);
}

WayBack::~WayBack()
{
    m.sequence.setRestorePointHook({});
    delete m_keep;
}

void WayBack::retranslate()
{
    m_history->setText(tr("&History…"));
}

bool WayBack::saveRestorePoint(const Configuration &previous, QString *why)
{
    QString error;
    const QString path = m_restorePoints.save(previous, m.port.portName, &error);
    if (path.isEmpty()) {
        if (why)
            *why = tr("The switch's present configuration could not be kept as a restore "
                      "point, so nothing was written: %1")
                           .arg(error);
        return false;
    }
    m_restorePoint = path;
    m_restorePointTime = QTime::currentTime();
    m_previous = previous;
    return true;
}

// A restore point belongs to the exchange that took it: one cancelled at the
// channel-count question must not lend it to the next.
void WayBack::exchangeBegan()
{
    m_restorePoint.clear();
    m_file = exchangeFile();
}

QString WayBack::exchangeFile() const
{
    const Document &doc = m.changes.document();
    switch (m.sequence.action()) {
    case ExchangeReport::Action::Readout:
        return QString();
    case ExchangeReport::Action::Verify:
        break;
    case ExchangeReport::Action::Transmit:
        if (m.sequence.goingBack())
            return m_backFile;
        if (m.sequence.sending())
            return Journal::sha256Of(*m.sequence.sending()) == m_historySha ? m_historyFile
                                                                            : QString();
        break;
    }
    // The document's file holds what is shown only while nothing has changed since.
    return doc.modified ? QString() : doc.fileName;
}

void WayBack::exchangeEnded()
{
    const ExchangeReport &report = m.sequence.report();
    const bool failed = report.outcomeFailed();
    if (m.sequence.action() != ExchangeReport::Action::Transmit) {
        journal();
        return;
    }
    if (m.sequence.goingBack()) {
        if (!failed)
            m.sequence.report().wentBack(m_backReason);
        journal();
        return;
    }
    journal();
    const QString restorePoint = std::exchange(m_restorePoint, QString());
    if (restorePoint.isEmpty())
        return;
    m_back = m_previous;
    m_backFile = restorePoint;
    m_sent = m.sequence.link().snapshot();
    m_sentPort = report.outcomePort();
    m_sentTime = report.lastExchange().time;
    if (!failed)
        ask();
    else if (m.sequence.link().wroteAnything())
        offerWayBack();
}

void WayBack::journal()
{
    const ExchangeReport &report = m.sequence.report();
    const Document &doc = m.changes.document();
    const bool failed = report.outcomeFailed();
    JournalEntry entry;
    entry.time = QDateTime::currentDateTime();
    entry.source = QStringLiteral("window");
    entry.port = report.outcomePort();
    entry.outcome = failed ? QStringLiteral("failed") : QStringLiteral("ok");
    if (failed) {
        entry.reason = report.outcomeReason();
        if (entry.reason.isEmpty())
            entry.reason = report.outcome();
    }
    entry.file = m_file;
    // What the exchange read (nothing known after a failed readout), or what it sent.
    const Configuration *config = failed ? nullptr : &doc.stagingConfig;
    switch (m.sequence.action()) {
    case ExchangeReport::Action::Readout:
        entry.action = QStringLiteral("read");
        break;
    case ExchangeReport::Action::Verify:
        entry.action = QStringLiteral("verify");
        break;
    case ExchangeReport::Action::Transmit:
        config = &m.sequence.link().snapshot();
        if (m.sequence.goingBack()) {
            entry.action = QStringLiteral("go-back");
        } else {
            entry.action = QStringLiteral("write");
            entry.restorePoint = m_restorePoint;
        }
        break;
    }
    if (config) {
        entry.model = Journal::modelName(config->channelCount);
        entry.sha256 = Journal::sha256Of(*config);
    }
    QStringList problems;
    QString error;
    if (!Journal().append(entry, &error))
        problems << error;
    if (!rememberHeld(failed, &error))
        problems << error;
    // Told where the operator looks: the exchange's outcome in the status bar.
    if (!problems.isEmpty())
        m.sequence.report().journalFailed(problems.join(QStringLiteral("; ")));
}

bool WayBack::rememberHeld(bool failed, QString *error) const
{
    const QString port = m.sequence.report().outcomePort();
    // What a readout read, or after a transmission the switch's channel count.
    const Configuration &staging = m.changes.document().stagingConfig;
    const bool transmitted = m.sequence.action() == ExchangeReport::Action::Transmit;
    if (failed) {
        // Part of a failed write may have reached the switch: what it holds is unknown.
        const bool partly = transmitted && m.sequence.link().wroteAnything();
        return !partly || LastKnown().forget(port, staging.deviceChannels, error);
    }
    if (!transmitted)
        return LastKnown().remember(port, staging, error);
    // Going back takes no restore point of its own; it sends one of this very switch.
    return LastKnown().rememberWrite(port, m.sequence.link().snapshot(), staging.deviceChannels,
                                     m_restorePoint.isEmpty() ? nullptr : &m_previous, error);
}

void WayBack::ask()
{
    delete m_keep;
    // The countdown runs from here, the end of the transmission. The question is shown
    // once "Transmission complete!" is up, so that it stands above the message.
    m_keep = new KeepDialog(m.host.hostWindow());
    m_keep->setSummary([back = m_back, sent = m_sent] {
        const QString changes = summarizeChanges(back, sent);
        return changes.isEmpty() ? QString() : tr("Changed: %1").arg(changes);
    });
    connect(m_keep, &KeepDialog::answered, this, &WayBack::answered);
    QTimer::singleShot(0, m_keep, [keep = m_keep] {
        if (keep->answer() == KeepDialog::Answer::None)
            keep->show();
    });
}

void WayBack::answered(KeepDialog::Answer answer)
{
    m_keep->deleteLater();
    m_keep = nullptr;
    switch (answer) {
    case KeepDialog::Answer::Keep:
    case KeepDialog::Answer::None:
        return;
    case KeepDialog::Answer::GoBack:
        m_backReason = tr("you chose Go back");
        break;
    case KeepDialog::Answer::Closed:
        m_backReason = tr("you closed the question");
        break;
    case KeepDialog::Answer::NoAnswer:
        m_backReason = tr("no answer within %1 s").arg(KeepDialog::kSeconds);
        break;
    }
    // "Transmission complete!" may still be open, out of the operator's reach as much
    // as the question was: it goes with the question.
    if (m.messageBox.isVisible())
        m.messageBox.done(QMessageBox::Ok);
    m_backPending = true;
    QTimer::singleShot(
            0, this, [this] { goBack(holdsWhatWasSent(m_sentPort, m_sent, m_back, m_sentTime)); });
}

void WayBack::offerWayBack()
{
    const bool chosen = askToGoBack(
            m.host.hostWindow(),
            tr("Not everything was sent to the switch on %1, so it may now hold parts of both "
               "configurations.\n\nGo back to the configuration it held before, kept as a "
               "restore point at %2?")
                    .arg(m_sentPort, clockTime(m_restorePointTime)),
            QDir::toNativeSeparators(m_backFile));
    if (!chosen)
        return;
    m_backReason = tr("you chose Go back after the failure");
    // The switch is expected to be mixed; it only has to be the one that was written.
    m_backPending = true;
    QTimer::singleShot(0, this, [this] { goBack(hasChannelCountOf(m_sentPort, m_back)); });
}

void WayBack::goBack(Link::RestorePointHook check)
{
    // The transmission before still closes its connection when the message box ends.
    if (m.sequence.connectionInProgress()) {
        QTimer::singleShot(kRetryMs, this, [this, check] { goBack(check); });
        return;
    }
    m_backPending = false;
    // Going back writes what the switch held a moment ago: it needs no restore point of
    // its own, only the certainty that it writes the switch that was written. Should it
    // fail part-way, the operator learns what the switch may hold now.
    m.sequence.startGoingBack(
            m_back, std::move(check),
            tr("The switch may now hold parts of both configurations. What it held before "
               "is kept in the restore point %1.")
                    .arg(QDir::toNativeSeparators(m_backFile)));
}

void WayBack::showHistory()
{
    HistoryDialog dialog(Journal().read(), m.changes.configuration());
    dialog.setCompare([this](const Configuration &config) { compare(config); });
    if (dialog.exec() != QDialog::Accepted)
        return;
    const Configuration config = dialog.configuration();
    switch (dialog.request()) {
    case HistoryDialog::Request::None:
        break;
    case HistoryDialog::Request::Open:
        openAsNew(config);
        break;
    case HistoryDialog::Request::Send:
        m_historyFile = dialog.configurationFile();
        m_historySha = Journal::sha256Of(config);
        m.sequence.startTransmitOf(config);
        break;
    }
}

void WayBack::openAsNew(const Configuration &config)
{
    if (!m.commands.askToSave())
        return;
    Document &doc = m.changes.document();
    doc.fileName.clear();
    doc.openFileName.clear();
    m.host.setSaveEnabled(false);
    m.changes.replaceAll(config);
    // Untitled and kept nowhere the operator chose: the save prompt guards it.
    m.changes.touch();
    m.host.setTransmitEnabled(true);
}

void WayBack::compare(const Configuration &config)
{
    const QStringList differences = diffConfigurations(m.changes.configuration(), config);
    if (differences.isEmpty()) {
        m.host.showMessage(tr("This entry holds the configuration shown here."));
        return;
    }
    m.host.showMessage(tr("This entry holds a different configuration (here → entry):\n\n%1")
                               .arg(differences.join(QLatin1Char('\n'))));
}
