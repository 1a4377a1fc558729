#include "app/exchangestatus.h"

#include "link/exchangereport.h"

#include <QEvent>
#include <QStatusBar>

ExchangeStatus::ExchangeStatus(ExchangeReport &report, QStatusBar &statusBar)
    : QLabel(&statusBar)
    , m_report(&report)
    , m_statusBar(statusBar)
{
    setObjectName(QStringLiteral("exchangeOutcome"));
    // Where the passing messages begin.
    setIndent(4);
    // A passing message hides the label; the label is what a hover over a menu, which
    // clears passing messages, leaves standing.
    m_statusBar.addWidget(this, 1);
    connect(&report, &ExchangeReport::progressChanged, this, [this](const QString &text) {
        if (text.isEmpty())
            m_statusBar.clearMessage();
        else
            m_statusBar.showMessage(text);
    });
    connect(&report, &ExchangeReport::outcomeChanged, this, &ExchangeStatus::showOutcome);
}

void ExchangeStatus::showOutcome()
{
    if (!m_report)
        return;
    setText(m_report->outcome());
    setToolTip(m_report->outcomeDetails());
}

void ExchangeStatus::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        showOutcome();
        if (const QString progress = m_report ? m_report->progress() : QString();
            !progress.isEmpty())
            m_statusBar.showMessage(progress);
    }
    QLabel::changeEvent(event);
}
