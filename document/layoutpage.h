#pragma once

#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

struct Configuration;
class QPainter;

// The drawing of a layout on a page, shared by the printed page and the PDF record. It
// needs a painter only, no printer and no widgets.

// Paints the page into `page`, the printable area in the painter's coordinates (device
// pixels). Any painter will do, so the page can also be drawn into an image. Without a
// placed channel the drawing is an empty grid of the visible canvas area in whole cells.
void drawLayoutPage(QPainter &painter, const QRect &page, const Configuration &config,
                    int cellWidth, int cellHeight, const QString &fileName,
                    const QSize &visibleArea);

// "Vorrix<n>-Configuration", followed by " - " and the file's name without its folder.
QString printFooterText(const Configuration &config, const QString &fileName);

// The page's font, "MS Shell Dlg 2" or the system's sans-serif face, in points.
QFont printFont(int pointSize);
