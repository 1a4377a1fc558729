#include "tileaccessible.h"

#include "document/configuration.h"
#include "editor/configwidget.h"

#include <QCoreApplication>

TileAccessible::TileAccessible(configwidget *tile)
    : QAccessibleWidget(tile, QAccessible::ListItem)
{
}

configwidget *TileAccessible::tile() const
{
    return static_cast<configwidget *>(widget());
}

QAccessible::State TileAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.selectable = true;
    s.selected = tile()->isSelected();
    return s;
}

QString TileAccessible::description(const ChannelEntry &entry)
{
    if (entry.placed != 1)
        return QString();
    // Cells count from 1 for the listener; right and bottom are the first lines past the
    // tile, so they name its last column and row.
    const QString cells = QCoreApplication::translate("TileAccessible", "columns %1–%2, rows %3–%4")
                                  .arg(entry.left + 1)
                                  .arg(entry.right)
                                  .arg(entry.top + 1)
                                  .arg(entry.bottom);
    if (entry.resolutionX == 0 || entry.resolutionY == 0)
        return QCoreApplication::translate("TileAccessible", "no resolution, %1").arg(cells);
    return QCoreApplication::translate("TileAccessible", "%1 × %2, %3")
            .arg(entry.resolutionX)
            .arg(entry.resolutionY)
            .arg(cells);
}
