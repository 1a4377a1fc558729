#pragma once

// The flat white-and-grey look shared by the main window, the port dialog and the
// small settings dialogs. The new-configuration dialog and message boxes keep the
// platform look and must not get it.
extern const char kStyleSheet[];

// Added to the main tool bar's own style sheet. A tool bar rule without a border leaves
// the painting to the platform style, and Fusion draws a lighter gradient and a dark line
// instead of the sheet's grey; with a border of its own the sheet paints it flat.
extern const char kToolBarStyleSheet[];
