#pragma once

#include "link/comport.h"

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

// Answers the modal dialogs one after the other from a list and writes down what
// it saw: "new", "port:<title>:<bitrate or 'fixed'>", "message:<text>". Dialogs are
// looked up while they run; no pointer to one is kept after it was answered.
// Answers: "ok" / "cancel" for the port dialog, "Ok" / "Yes" / "Cancel" for messages,
// "Return" for the key on a message box, "Keep" / "Go back" for the question after a
// transmission (seen as "keep"), "Go back" / "Leave it" for the question after a failed
// one (seen as "go back?"). Other dialogs (a file dialog) are rejected.
class DialogAnswerer : public QObject
{
public:
    explicit DialogAnswerer(const QStringList &answers = {})
        : m_answers(answers)
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }

    // Runs just before a dialog is answered, with the entry it was written down as.
    std::function<void(const QString &)> beforeAnswer;
    QStringList seen;
    bool done() const { return m_answers.isEmpty(); }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        const QString entry = describe(modal);
        seen << entry;
        const QString answer = m_answers.isEmpty() ? QString() : m_answers.takeFirst();
        if (beforeAnswer)
            beforeAnswer(entry);
        if (answer == "Return") {
            QTest::keyClick(modal, Qt::Key_Return);
        } else if (modal->objectName() == QLatin1String("GoBackQuestion")) {
            const char *name = answer == "Go back" ? "goBackButton" : "leaveButton";
            modal->findChild<QPushButton *>(name)->click();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            QAbstractButton *button = answer == "Yes"      ? box->button(QMessageBox::Yes)
                                      : answer == "Cancel" ? box->button(QMessageBox::Cancel)
                                                           : box->button(QMessageBox::Ok);
            if (button)
                button->click();
            else
                box->reject();
        } else if (qobject_cast<comPort *>(modal)) {
            const char *name = answer == "ok" ? "pushButtonOk" : "pushButtonCancel";
            modal->findChild<QPushButton *>(name)->click();
        } else if (modal->objectName() == QLatin1String("KeepDialog")) {
            const char *name = answer == "Keep" ? "keepButton" : "goBackButton";
            modal->findChild<QPushButton *>(name)->click();
        } else if (auto *ok = modal->findChild<QPushButton *>("pushOk")) {
            ok->click(); // the new-configuration dialog
        } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            dialog->reject();
        }
    }

    static QString describe(QWidget *modal)
    {
        if (modal->objectName() == QLatin1String("GoBackQuestion"))
            return QStringLiteral("go back?");
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            return QStringLiteral("message:") + box->text();
        if (qobject_cast<comPort *>(modal)) {
            auto *combo = modal->findChild<QComboBox *>("comboBoxBitRate");
            return QStringLiteral("port:%1:%2")
                    .arg(modal->windowTitle(),
                         combo->isVisible() ? combo->currentText() : QStringLiteral("fixed"));
        }
        if (modal->objectName() == QLatin1String("KeepDialog"))
            return QStringLiteral("keep");
        if (modal->findChild<QPushButton *>("pushOk"))
            return QStringLiteral("new");
        return QStringLiteral("unexpected:") + modal->metaObject()->className();
    }

    QTimer m_timer;
    QStringList m_answers;
};
