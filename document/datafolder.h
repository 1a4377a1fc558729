#pragma once

#include <QString>

// The per-user folder that the window and ovsctl share for their restore points and
// journal: %LOCALAPPDATA%\Orvanel Switching Config Tool on Windows, $XDG_DATA_HOME (or
// ~/.local/share)/Orvanel Switching Config Tool on Linux. It is the application data
// folder of one fixed application name, whatever name the running program has, and the
// folder --user-folder of corvanecfg works in. Not created here.
QString ovsDataFolder();
