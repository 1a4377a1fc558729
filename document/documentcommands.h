#pragma once

class CorvaneCfg;

// New, Open, Save, Save as, the save prompt and printing for the main window.
class DocumentCommands
{
public:
    explicit DocumentCommands(CorvaneCfg &window);

    void newConfiguration(bool atStartup);
    bool askToSave();
    void open();
    void save();
    void saveAs();
    void saveConfigFile();
    void loadConfigFile();
    void print();

private:
    CorvaneCfg &w;
};
