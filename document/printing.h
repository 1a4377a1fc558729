#pragma once

#include <QRect>
#include <QSize>
#include <QString>

struct Configuration;
class QPainter;
class QPrinter;

// The printed page of a layout.

// Puts the layout on one landscape page with 10 mm margins and paints it. The printer
// must be set up already (output, paper); the orientation and margins are set here.
// Returns false when the printer could not be started.
bool printLayout(QPrinter &printer, const Configuration &config, int cellWidth, int cellHeight,
                 const QString &fileName, const QSize &visibleArea);

// Paints the page into `page`, the printable area in the painter's coordinates (device
// pixels). Any painter will do, so the page can also be drawn into an image. Without a
// placed channel the drawing is an empty grid of the visible canvas area in whole cells.
void drawLayoutPage(QPainter &painter, const QRect &page, const Configuration &config,
                    int cellWidth, int cellHeight, const QString &fileName,
                    const QSize &visibleArea);

// "Vorrix<n>-Configuration", followed by " - " and the file's name without its folder.
QString printFooterText(const Configuration &config, const QString &fileName);
