#pragma once

#include "document/document.h"
#include "document/documentchanges.h"
#include "editor/editorstate.h"
#include "link/portdescription.h"

#include <QList>
#include <QMainWindow>
#include <QMessageBox>

#include <memory>

class QAction;
class QLabel;
class QMenu;
class QTimer;
class DeviceSequence;
class DocumentCommands;
class EditorWiring;
class LanguageSwitch;
class LayoutMarks;
class ListModel;
class RasterWidget;
class SwitchesWindow;
class WayBack;

namespace Ui {
class CorvaneCfg;
}

// The main window: the hub every action and editor signal ends in. Each slot hands
// the work to the object that owns it (document commands, device sequence, editor
// wiring, language switch); the window itself keeps the form, the message box, the
// protocol timer, the chosen port and the title.
class CorvaneCfg : public QMainWindow
{
    Q_OBJECT

public:
    // With a startupFile the window opens that file instead of asking for a new
    // configuration; the question follows only when the file cannot be loaded.
    explicit CorvaneCfg(QWidget *parent = nullptr, const QString &startupFile = QString());
    ~CorvaneCfg() override;

    // "Vorrix %1" with the channel count of the current configuration.
    void updateWindowTitle();
    // Re-applies the translatable texts of the menus, actions and controls.
    void retranslateTexts();
    // Sets the switching action and check box from switchingEnabled under the guard.
    void syncSwitchingControls();
    // The undo history the Edit menu works on.
    DocumentChanges &documentChanges() { return m_changes; }

    // The New flow; the constructor runs it with atStartup = true as its last step.
    void newConfiguration(bool atStartup);
    // The save prompt; true means the caller may go on.
    bool askToSave();
    void saveConfigFile();
    void loadConfigFile();

    void applyLanguage(const QString &language);
    void saveLanguageChoice();
    void loadLanguageChoice();

    Document &document() { return m_document; }
    EditorState &editorState() { return m_editorState; }
    ListModel &listModel() { return *m_listModel; }
    RasterWidget *rasterWidget() const;
    DeviceSequence &deviceSequence() { return *m_sequence; }

    // Ports given with --port: listed first, with the description "Command line".
    void setExtraPorts(const QStringList &paths);

    PortDescription selectedPort;
    int bitrate = 115200;
    // The one message box through which the program reports to the operator.
    QMessageBox messageBox;
    QTimer *protocolTimer = nullptr;
    QList<PortDescription> availablePorts;

protected:
    void closeEvent(QCloseEvent *event) override;
    // The problems of the file named at start-up are told over the window.
    void showEvent(QShowEvent *event) override;
    // A .ovs file dropped from a file manager is opened.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private slots:
    void MsTimerSlot();
    void ConnectionDelaySlot();
    void ConnectionDelaySlot2();
    void ClosingDelaySlot();
    void childGetsFocus();
    void addChannelsToConfig(QList<int> indexList);
    void delChannelsToConfig(QList<int> indexList);
    void areaScroll(int x, int y);
    void changeEvent(QEvent *event) override;
    void on_actionQuit_triggered();
    void on_actionReadout_triggered();
    void on_actionTransmit_triggered();
    void on_actionNeu_triggered();
    void on_action_Open_triggered();
    void on_action_Save_triggered();
    void on_action_Save_as_triggered();
    void on_action_OrvanelSwitching_changed();
    void on_action_Maus_speed_triggered();
    void on_action_About_triggered();
    void on_checkBoxEnabled_stateChanged(int state);
    void on_action_Print_triggered();
    void on_toolButtonDel_clicked();
    void on_toolButtonAdd_clicked();
    void on_action_English_triggered();
    void on_action_Deutsch_triggered();

private:
    class Host;
    // Parts of the constructor, in its order.
    void makeOwners();
    void makeMenus();
    void setUpMessageBox();
    // Whatever changed the configuration, the title and the switching controls follow.
    void onConfigurationChanged();
    // Undo and Redo carry their prefix in the language of their creation, so a language
    // change makes them anew.
    void makeUndoActions();
    // An exchange with the switch runs, or a question or going back follows one.
    bool busyWithSwitch() const;
    // Closing waits until the switch is done with; the status bar says so meanwhile.
    void closeWhenIdle();
    void showSwitches();

    // State owners come first: the form's widgets are handed them in the constructor.
    Document m_document;
    DocumentChanges m_changes{m_document};
    EditorState m_editorState;
    std::unique_ptr<ListModel> m_listModel;
    Ui::CorvaneCfg *ui = nullptr;
    QMenu *m_editMenu = nullptr;
    QAction *m_verifyAction = nullptr;
    QAction *m_undoAction = nullptr;
    QAction *m_redoAction = nullptr;
    std::unique_ptr<Host> m_host;
    std::unique_ptr<DeviceSequence> m_sequence;
    std::unique_ptr<DocumentCommands> m_documentCommands;
    std::unique_ptr<EditorWiring> m_editorWiring;
    std::unique_ptr<LanguageSwitch> m_language;
    std::unique_ptr<LayoutMarks> m_marks;
    std::unique_ptr<WayBack> m_wayBack;
    QString m_startupProblems;
    // Action → Switches…, made when first asked for.
    QAction *m_switchesAction = nullptr;
    SwitchesWindow *m_switches = nullptr;
    QStringList m_extraPorts;
    QTimer *m_closeWhenIdle = nullptr;
    QLabel *m_closePending = nullptr;
};
