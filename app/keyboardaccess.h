#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

// Keyboard and screen-reader access to the main window: the names a screen reader
// speaks for its controls (again after a change of language), no Tab stop on the
// scroll area around the canvas, and the keyboard focus handed back to where it was
// once a dialog or message box closes, so Tab, Enter and Ctrl+Z go on working.
class KeyboardAccess : public QObject
{
    Q_OBJECT

public:
    // Watches the application's dialogs from now on; lives as long as the window.
    explicit KeyboardAccess(QWidget &window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void nameControls();
    void dialogShown();
    void dialogHidden();
    void returnFocus();

    QWidget &m_window;
    QPointer<QWidget> m_focus; // the window's focus when the first dialog opened
    int m_openDialogs = 0;
};
