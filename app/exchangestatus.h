#pragma once

#include "link/exchangereport.h"

#include <QLabel>
#include <QPointer>

class QStatusBar;

// The status bar's account of the exchanges with the switch: the progress of the one
// running as a passing message, and the outcome of the last one in this label, which
// stays until the next outcome and speaks the current language.
class ExchangeStatus : public QLabel
{
    Q_OBJECT

public:
    ExchangeStatus(ExchangeReport &report, QStatusBar &statusBar);

protected:
    void changeEvent(QEvent *event) override;

private:
    void showOutcome();

    // The window lets the sequence go before its status bar.
    QPointer<ExchangeReport> m_report;
    QStatusBar &m_statusBar;
};
