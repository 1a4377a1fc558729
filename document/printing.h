#pragma once

#include "document/layoutpage.h"

class QPrinter;

// The printed page of a layout.

// Puts the layout on one landscape page with 10 mm margins and paints it. The printer
// must be set up already (output, paper); the orientation and margins are set here.
// Returns false when the printer could not be started.
bool printLayout(QPrinter &printer, const Configuration &config, int cellWidth, int cellHeight,
                 const QString &fileName, const QSize &visibleArea);
