#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the next modal dialog: polls the event loop until a modal widget is active,
// then hands it to the given function once. Dialogs run their own event loop, so the
// answer happens inside exec(); the widget pointer is never kept past that call.
// Destroying the object disarms it, so an unanswered arming cannot leak into a later
// dialog.
class ModalAnswer
{
public:
    explicit ModalAnswer(std::function<void(QWidget *)> answer)
        : m_answer(std::move(answer))
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            m_timer.stop();
            m_answered = true;
            m_answer(modal);
        });
        m_timer.start();
    }

    bool answered() const { return m_answered; }

private:
    QTimer m_timer;
    std::function<void(QWidget *)> m_answer;
    bool m_answered = false;
};
