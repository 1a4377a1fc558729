#include "app/wayback.h"

#include "app/historydialog.h"
#include "document/commandhost.h"
#include "document/configdiff.h"
#include "document/documentchanges.h"
#include "document/documentcommands.h"
#include "document/journal.h"
#include "document/restorepoints.h"
#include "link/devicesequence.h"

#include <QAction>
#include <QDateTime>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include <utility>

namespace {
// How often going back looks again for the end of the exchange before it.
constexpr int kRetryMs = 50;
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

    installHook();
    connect(&m.sequence.report(), &ExchangeReport::outcomeChanged, this, &WayBack::onOutcome);
    // A restore point belongs to the exchange that took it: one cancelled at the
    // channel-count question must not lend it to the next.
    connect(&m.sequence.report(), &ExchangeReport::progressChanged, this,
            [this](const QString &progress) {
                if (!progress.isEmpty() && !m_exchangeRunning)
                    m_restorePoint.clear();
                m_exchangeRunning = !progress.isEmpty();
            });
}

WayBack::~WayBack()
{
    m.sequence.link().setRestorePointHook({});
    delete m_keep;
}

void WayBack::retranslate()
{
    m_history->setText(tr("History…"));
}

void WayBack::installHook()
{
    m.sequence.link().setRestorePointHook([this](const Configuration &previous, QString *why) {
        return saveRestorePoint(previous, why);
    });
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
    m_previous = previous;
    return true;
}

void WayBack::onOutcome()
{
    const ExchangeReport &report = m.sequence.report();
    // Going back is told in the status bar after its own transmission was journalled.
    if (report.outcomeWentBack())
        return;
    journal();
    if (report.outcomeAction() != ExchangeReport::Action::Transmit)
        return;
    if (m.sequence.goingBack()) {
        installHook();
        if (!report.outcomeFailed())
            m.sequence.report().wentBack(m_backReason);
        return;
    }
    const QString restorePoint = std::exchange(m_restorePoint, QString());
    if (report.outcomeFailed() || restorePoint.isEmpty())
        return;
    m_backFile = restorePoint;
    m_back = m_previous;
    ask();
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
    entry.file = doc.fileName;
    const Configuration *config = failed ? nullptr : &doc.stagingConfig;
    switch (report.outcomeAction()) {
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
            entry.file = m_backFile;
        } else {
            entry.action = QStringLiteral("write");
            entry.restorePoint = m_restorePoint;
        }
        break;
    }
    if (config) {
        entry.model = Journal::modelName(config->channelCount);
        entry.sha256 = Journal::sha256Of(*config);
        if (entry.action == QLatin1String("write") && entry.sha256 == m_sentSha)
            entry.file = std::exchange(m_sentFile, QString());
    }
    QString error;
    if (!Journal().append(entry, &error))
        qWarning("The journal could not be written: %s", qPrintable(error));
}

void WayBack::ask()
{
    delete m_keep;
    // The countdown runs from here, the end of the transmission. The question is shown
    // once "Transmission complete!" is up, so that it stands above the message.
    m_keep = new KeepDialog(m.host.hostWindow());
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
    QTimer::singleShot(0, this, &WayBack::goBack);
}

void WayBack::goBack()
{
    // The transmission before still closes its connection when the message box ends.
    if (m.sequence.connectionInProgress()) {
        QTimer::singleShot(kRetryMs, this, &WayBack::goBack);
        return;
    }
    // Going back writes what the switch held a moment ago; it needs no restore point of
    // its own, and a readout that failed must not stop it.
    m.sequence.link().setRestorePointHook({});
    m.sequence.startTransmitOf(m_back, true);
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
        m_sentFile = dialog.configurationFile();
        m_sentSha = Journal::sha256Of(config);
        m.sequence.startTransmitOf(config, false);
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
