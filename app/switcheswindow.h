#pragma once

#include "app/keepdialog.h"
#include "link/devicesequence.h"
#include "link/switchroom.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

class CommandHost;
class DocumentChanges;
class SwitchRoomModel;

namespace Ui {
class SwitchesWindow;
}

// Action → Switches…: every switch in reach in one table beside the main window, whether
// each still holds what it last held, and Check, Back up…, Send a file… and Open on the
// selected rows (all rows when none is selected). A send is followed by one keep question
// for every switch it wrote. The switches are found while the window is shown; nothing
// runs while it is closed.
class SwitchesWindow : public QWidget
{
    Q_OBJECT

public:
    SwitchesWindow(CommandHost &host, DocumentChanges &changes, PortChoice ports,
                   QWidget *parent = nullptr);
    ~SwitchesWindow() override;

    SwitchRoom &room() { return m_room; }
    // Ports given on the command line.
    void setExtraPorts(const QStringList &paths) { m_room.setExtraPorts(paths); }
    // An action runs, or its question or going back is still to come.
    bool busy() const { return m_room.busy() || m_keep || m_goBackPending; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QList<int> selectedRows() const;
    void check();
    void backUp();
    void sendFile();
    void openSwitch();
    void finished(SwitchRoom::Action action);
    void opened();
    void askToKeep();
    void keepAnswered(KeepDialog::Answer answer);
    void offerWayBack();
    void updateButtons();
    void retranslate();

    Ui::SwitchesWindow *ui;
    CommandHost &m_host;
    DocumentChanges &m_changes;
    PortChoice m_ports;
    SwitchRoom m_room;
    SwitchRoomModel *const m_model;
    QPointer<KeepDialog> m_keep;
    // Going back after the keep question; those that failed part-way are asked next.
    bool m_goBackPending = false;
    bool m_closeWhenDone = false;
    // The columns follow their texts once a burst of changes is over.
    QTimer m_fitColumns;
};
