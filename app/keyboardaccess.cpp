#include "app/keyboardaccess.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>
#include <QWidget>

KeyboardAccess::KeyboardAccess(QWidget &window)
    : QObject(&window)
    , m_window(window)
{
    // The canvas inside takes the focus itself; the frame around it is no stop of its own.
    if (auto *area = window.findChild<QWidget *>(QStringLiteral("scrollArea")))
        area->setFocusPolicy(Qt::NoFocus);
    nameControls();
    window.installEventFilter(this);
    qApp->installEventFilter(this);
}

void KeyboardAccess::nameControls()
{
    const auto name = [this](const char *object, const QString &text) {
        if (auto *widget = m_window.findChild<QWidget *>(QLatin1String(object)))
            widget->setAccessibleName(text);
    };
    name("toolButtonAdd", tr("Place the selected channels"));
    name("toolButtonDel", tr("Remove the selected screens"));
    name("scrollArea", tr("Layout"));
}

bool KeyboardAccess::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::LanguageChange:
        if (watched == &m_window)
            nameControls();
        break;
    case QEvent::Show:
    case QEvent::Hide: {
        // Every dialog and message box of the program is a window of its own.
        auto *dialog = qobject_cast<QDialog *>(watched);
        if (!dialog || !dialog->isWindow() || event->spontaneous())
            break;
        if (event->type() == QEvent::Show)
            dialogShown();
        else
            dialogHidden();
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void KeyboardAccess::dialogShown()
{
    if (m_openDialogs++ == 0)
        m_focus = m_window.focusWidget();
}

void KeyboardAccess::dialogHidden()
{
    if (m_openDialogs == 0 || --m_openDialogs > 0)
        return;
    // After the dialog's own clean-up, when the window manager (if any) has had its say.
    QTimer::singleShot(0, this, &KeyboardAccess::returnFocus);
}

void KeyboardAccess::returnFocus()
{
    if (m_openDialogs > 0 || !m_window.isVisible() || QApplication::activeModalWidget()
        || QApplication::activePopupWidget())
        return;
    // Without a window manager nobody else gives the window its focus back.
    if (!m_window.isActiveWindow())
        m_window.activateWindow();
    QWidget *target = m_focus;
    if (target && target->isVisible() && target->isEnabled() && target->window() == &m_window
        && m_window.focusWidget() != target)
        target->setFocus(Qt::ActiveWindowFocusReason);
}
