#pragma once

#include <QFileDialog>
#include <QString>

class CommandHost;
class DocumentChanges;

// New, Open, Save, Save as, the save prompt and printing for the main window.
class DocumentCommands
{
public:
    DocumentCommands(CommandHost &host, DocumentChanges &changes);

    void newConfiguration(bool atStartup);
    // The save prompt; true means the caller may go on.
    bool askToSave();
    void open();
    void save();
    void saveAs();
    void saveConfigFile();
    // True when the file in openFileName was loaded; otherwise its message was shown.
    // With `deferredProblems` the message about the layout's problems is left there for
    // the caller to show, instead of being shown at once.
    bool loadConfigFile(QString *deferredProblems = nullptr);
    // Opens a file named outside the file dialog (command line, a drop on the window);
    // false when it could not be loaded.
    bool openFile(const QString &path, QString *deferredProblems = nullptr);
    // A file dropped on the window: the save prompt first, then the file.
    void openDroppedFile(const QString &path);
    void print();

private:
    // Runs the file dialog; the chosen path, or empty when it was rejected.
    QString chooseFile(QFileDialog::AcceptMode mode);

    CommandHost &m_host;
    DocumentChanges &m_changes;
};
