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
    void loadConfigFile();
    void print();

private:
    // Runs the file dialog; the chosen path, or empty when it was rejected.
    QString chooseFile(QFileDialog::AcceptMode mode);

    CommandHost &m_host;
    DocumentChanges &m_changes;
};
