#pragma once

#include "configuration.h"

#include <QString>

// The one document being edited: the configuration, its staging copy and the flags
// around it. The main window owns one and hands it to the widgets that edit it.
struct Document
{
    Document()
    {
        resetConfiguration(currentConfig);
        stagingConfig = currentConfig;
    }

    Configuration currentConfig;
    // Loaders (file, device) fill this copy and commit it only on success.
    Configuration stagingConfig;
    bool modified = false;
    QString fileName;     // what Save writes; empty = no file yet
    QString openFileName; // chosen in the Open dialog; becomes fileName after a good load
    // Set while the program itself changes the two switching controls.
    bool syncingControls = false;
};
