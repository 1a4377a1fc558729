#include "app/keepdialog.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
int secondLength = 1000;
} // namespace

void KeepDialog::setSecondLength(int ms)
{
    secondLength = ms;
}

KeepDialog::KeepDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("KeepDialog"));
    setWindowModality(Qt::ApplicationModal);
    setMinimumWidth(360);
    auto *layout = new QVBoxLayout(this);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("countdown"));
    layout->addWidget(m_text);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("changes"));
    m_summary->setWordWrap(true);
    m_summary->hide();
    layout->addWidget(m_summary);
    auto *buttons = new QDialogButtonBox(this);
    m_keep = buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
    m_keep->setObjectName(QStringLiteral("keepButton"));
    m_goBack = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    m_goBack->setObjectName(QStringLiteral("goBackButton"));
    layout->addWidget(buttons);
    // A stray Enter, meant for the message box below, must not keep a layout the
    // operator may be unable to leave.
    m_keep->setAutoDefault(false);
    m_goBack->setDefault(true);
    m_goBack->setFocus();
    connect(m_keep, &QPushButton::clicked, this, [this] { finish(Answer::Keep); });
    connect(m_goBack, &QPushButton::clicked, this, [this] { finish(Answer::GoBack); });

    m_deadline.setSingleShot(true);
    m_deadline.setInterval(kSeconds * secondLength);
    connect(&m_deadline, &QTimer::timeout, this, [this] { finish(Answer::NoAnswer); });
    m_tick.setInterval(secondLength);
    connect(&m_tick, &QTimer::timeout, this, [this] {
        // The deadline decides; the label only counts down towards it.
        if (m_secondsLeft > 1)
            --m_secondsLeft;
        retranslate();
    });
    m_deadline.start();
    m_tick.start();
    retranslate();
}

void KeepDialog::setSummary(std::function<QString()> summary)
{
    m_summaryText = std::move(summary);
    retranslate();
}

void KeepDialog::retranslate()
{
    setWindowTitle(tr("Keep this configuration?"));
    m_text->setText(
            tr("The switch goes back to its previous configuration in %1 s.").arg(m_secondsLeft));
    m_text->setAccessibleName(m_text->text());
    m_keep->setText(tr("&Keep"));
    m_keep->setAccessibleName(tr("Keep"));
    m_goBack->setText(tr("&Go back"));
    m_goBack->setAccessibleName(tr("Go back"));
    const QString summary = m_summaryText ? m_summaryText() : QString();
    m_summary->setText(summary);
    m_summary->setAccessibleName(summary);
    m_summary->setVisible(!summary.isEmpty());
}

void KeepDialog::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QDialog::changeEvent(event);
}

void KeepDialog::done(int result)
{
    // Escape or the title bar's close button: going back, like silence.
    if (m_answer == Answer::None) {
        finish(Answer::Closed);
        return;
    }
    QDialog::done(result);
}

void KeepDialog::finish(Answer answer)
{
    if (m_answer != Answer::None)
        return;
    m_answer = answer;
    m_deadline.stop();
    m_tick.stop();
    QDialog::done(answer == Answer::Keep ? Accepted : Rejected);
    emit answered(answer);
}
