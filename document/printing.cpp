#include "printing.h"

#include <QPainter>
#include <QPrinter>

bool printLayout(QPrinter &printer, const Configuration &config, int cellWidth, int cellHeight,
                 const QString &fileName, const QSize &visibleArea)
{
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // The painter's origin is the top left of the printable page.
    const QRect page(printer.paperRect(QPrinter::DevicePixel).topLeft().toPoint(),
                     printer.pageRect(QPrinter::DevicePixel).size().toSize());
    drawLayoutPage(painter, page, config, cellWidth, cellHeight, fileName, visibleArea);
    return painter.end();
}
