#pragma once

#include <QDialog>
#include <QTimer>

#include <functional>

class QLabel;
class QPushButton;

// Asks whether the configuration just sent stays: "Keep" ends it; "Go back", closing
// the dialog, or no answer before the countdown runs out all mean going back. The
// countdown starts with the dialog's construction, not with its showing, so a message
// box still open over the window does not hold it up. Both timers stop when the dialog
// ends: nothing of it wakes at rest afterwards.
class KeepDialog : public QDialog
{
    Q_OBJECT

public:
    enum class Answer { None, Keep, GoBack, Closed, NoAnswer };

    explicit KeepDialog(QWidget *parent = nullptr);

    Answer answer() const { return m_answer; }
    // One short line under the countdown, made in the current language (what the switch
    // now holds that differs from before); an empty text hides it.
    void setSummary(std::function<QString()> summary);
    int secondsLeft() const { return m_secondsLeft; }
    // The length of one second of the countdown; tests shorten it.
    static void setSecondLength(int ms);

    static constexpr int kSeconds = 15;

signals:
    void answered(KeepDialog::Answer answer);

public slots:
    void done(int result) override;

protected:
    void changeEvent(QEvent *event) override;

private:
    void finish(Answer answer);
    void retranslate();

    QLabel *m_text = nullptr;
    QLabel *m_summary = nullptr;
    std::function<QString()> m_summaryText;
    QPushButton *m_keep = nullptr;
    QPushButton *m_goBack = nullptr;
    QTimer m_deadline;
    QTimer m_tick;
    int m_secondsLeft = kSeconds;
    Answer m_answer = Answer::None;
};
