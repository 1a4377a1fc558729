#pragma once

#include "document/newconfig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QTest>
#include <QTimer>

// Answers the modal dialogs of a test one after the other, from a list of answers, and
// writes down what it saw. Each dialog is looked up with activeModalWidget() while it
// runs; no pointer to it is kept after it has been answered.
//
// What it writes down, one entry per dialog:
//   "prompt"          the save prompt (with Save as its default button)
//   "message:<text>"  any other message
//   "file:open", "file:save"
//   "new:<checked radio or none>[:startup]"
//   "print:<title>"
//   "unexpected:<entry>"  a dialog that came after the answers ran out (rejected)
//
// Answers: "Save", "Discard", "Cancel", "Ok", "Yes", "Escape" for message boxes;
// "close" (the window's close button) for any dialog; "accept" (with the
// path given to setFilePath) or "reject" for file dialogs; "2", "4", "8" (check that
// model and press OK), "ok" (press OK as it is) or "reject" for NewConfig;
// "accept" (printing to the file given to setFilePath) or "reject" for the print dialog.
class DialogScript : public QObject
{
public:
    explicit DialogScript(const QStringList &answers = {})
        : m_answers(answers)
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }

    void setAnswers(const QStringList &answers) { m_answers = answers; }
    void setFilePath(const QString &path) { m_filePath = path; }
    QStringList seen() const { return m_seen; }
    bool done() const { return m_answers.isEmpty(); }
    void clearSeen() { m_seen.clear(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Hide) {
            m_answeredShowing.removeAll(static_cast<QWidget *>(watched));
            watched->removeEventFilter(this);
        }
        return false;
    }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (m_pending || !modal || !modal->isVisible())
            return;
        // A dialog that was answered but is still on screen (a file dialog whose accept
        // is waiting for its own overwrite question to close) is not a new dialog.
        if (m_answeredShowing.contains(modal))
            return;
        const QString entry = describe(modal);
        if (m_answers.isEmpty()) {
            m_seen << QStringLiteral("unexpected:") + entry;
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->reject();
            return;
        }
        m_seen << entry;
        // Answered from a queued call, not from this timer slot: an answer can open a
        // dialog of its own (the file dialog's overwrite question), and this timer must
        // be free to fire inside that one's event loop.
        m_pending = true;
        QMetaObject::invokeMethod(
                this,
                [this, target = QPointer<QWidget>(modal), a = m_answers.takeFirst()] {
                    m_pending = false;
                    if (!target)
                        return;
                    m_answeredShowing.append(target);
                    target->installEventFilter(this);
                    answer(target, a);
                },
                Qt::QueuedConnection);
    }

    static QString describe(QWidget *modal)
    {
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            if (box->standardButtons().testFlag(QMessageBox::Discard)) {
                return box->defaultButton()
                                       == static_cast<QPushButton *>(box->button(QMessageBox::Save))
                               ? QStringLiteral("prompt")
                               : QStringLiteral("prompt without Save as default");
            }
            return QStringLiteral("message:") + box->text();
        }
        if (auto *fd = qobject_cast<QFileDialog *>(modal)) {
            return fd->acceptMode() == QFileDialog::AcceptOpen ? QStringLiteral("file:open")
                                                               : QStringLiteral("file:save");
        }
        if (auto *nc = qobject_cast<NewConfig *>(modal)) {
            QString checked = QStringLiteral("none");
            for (auto *radio : nc->findChildren<QRadioButton *>()) {
                if (radio->isChecked())
                    checked = radio->objectName();
            }
            auto *cancel = nc->findChild<QAbstractButton *>(QStringLiteral("pushCancel"));
            return QStringLiteral("new:") + checked
                   + (cancel && cancel->isHidden() ? QStringLiteral(":startup") : QString());
        }
        if (qobject_cast<QPrintDialog *>(modal))
            return QStringLiteral("print:") + modal->windowTitle();
        return QStringLiteral("other:") + QString::fromLatin1(modal->metaObject()->className());
    }

    void answer(QWidget *modal, const QString &a)
    {
        if (a == QLatin1String("close")) {
            modal->close();
            return;
        }
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            if (a == QLatin1String("Escape")) {
                QTest::keyClick(box, Qt::Key_Escape);
                return;
            }
            const QMessageBox::StandardButton which
                    = a == QLatin1String("Save")      ? QMessageBox::Save
                      : a == QLatin1String("Discard") ? QMessageBox::Discard
                      : a == QLatin1String("Cancel")  ? QMessageBox::Cancel
                      : a == QLatin1String("Yes")     ? QMessageBox::Yes
                                                      : QMessageBox::Ok;
            if (QAbstractButton *button = box->button(which))
                button->click();
            else
                box->reject();
            return;
        }
        if (auto *fd = qobject_cast<QFileDialog *>(modal)) {
            if (a == QLatin1String("accept")) {
                // Typed into the name field, as the operator would; selectFile() leaves
                // a focused field alone.
                if (auto *edit = fd->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                    edit->setText(m_filePath);
                // Through QDialog, where accept() is public; the file dialog's own
                // override runs and checks the name as a click on its button would.
                static_cast<QDialog *>(fd)->accept();
            } else {
                fd->reject();
            }
            return;
        }
        if (auto *nc = qobject_cast<NewConfig *>(modal)) {
            if (a == QLatin1String("reject")) {
                nc->reject();
                return;
            }
            if (a != QLatin1String("ok")) {
                if (auto *radio = nc->findChild<QRadioButton *>(QStringLiteral("radioVX") + a))
                    radio->setChecked(true);
            }
            nc->findChild<QAbstractButton *>(QStringLiteral("pushOk"))->click();
            return;
        }
        if (auto *pd = qobject_cast<QPrintDialog *>(modal); pd && a == QLatin1String("accept")) {
            if (auto *edit = pd->findChild<QLineEdit *>(QStringLiteral("filename")))
                edit->setText(m_filePath);
            pd->accept();
            return;
        }
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
    }

    QStringList m_answers;
    QStringList m_seen;
    QString m_filePath;
    bool m_pending = false;
    // Answered dialogs until they hide; the shared message box is shown many times.
    QList<QPointer<QWidget>> m_answeredShowing;
    QTimer m_timer;
};
