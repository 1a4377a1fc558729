#pragma once

// The flat white-and-grey look shared by the main window, the port dialog and the
// small settings dialogs. The new-configuration dialog and message boxes keep the
// platform look and must not get it.
extern const char kStyleSheet[];
