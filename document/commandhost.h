#pragma once

#include <QMessageBox>
#include <QSize>

class QWidget;

// What the document commands and the device sequence need of the window they work
// for: its one message box, its busy cursor, the enabled state of two of its actions,
// and the window itself as the parent of file and print dialogs.
class CommandHost
{
public:
    virtual ~CommandHost() = default;

    virtual QWidget *hostWindow() = 0;
    // Shows text in the message box with the given buttons and returns the button
    // chosen; the box has a single OK again afterwards.
    virtual int showMessage(const QString &text,
                            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                            QMessageBox::StandardButton defaultButton = QMessageBox::Ok)
            = 0;
    // Text shown below the next message only (what is known about a failure); the
    // message itself stays as it is.
    virtual void setMessageDetail(const QString &detail) { Q_UNUSED(detail) }
    virtual void setBusy(bool busy) = 0;
    virtual void setSaveEnabled(bool enabled) = 0;
    virtual void setTransmitEnabled(bool enabled) = 0;

    // The canvas as printing sees it: no tile selected, its cell size and the size of
    // the part that is visible.
    struct PrintArea
    {
        int cellWidth = 0;
        int cellHeight = 0;
        QSize viewport;
    };
    virtual PrintArea preparePrintArea() = 0;
};
