#include "tileaccessible.h"

#include "document/configuration.h"
#include "document/crossings.h"
#include "editor/configwidget.h"

#include <QCoreApplication>

#include <algorithm>

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

namespace {

QString translated(const char *text)
{
    return QCoreApplication::translate("TileAccessible", text);
}

// "rows 2–3" or "row 2", counted from 1.
QString span(Crossing::Seam seam, int from, int to)
{
    const bool rows = seam == Crossing::Seam::Vertical;
    if (to - from == 1)
        return translated(rows ? QT_TRANSLATE_NOOP("TileAccessible", "row %1")
                               : QT_TRANSLATE_NOOP("TileAccessible", "column %1"))
                .arg(from + 1);
    return translated(rows ? QT_TRANSLATE_NOOP("TileAccessible", "rows %1–%2")
                           : QT_TRANSLATE_NOOP("TileAccessible", "columns %1–%2"))
            .arg(from + 1)
            .arg(to);
}

} // namespace

QString TileAccessible::crossingsText(const Configuration &config, int channel)
{
    if (channel < 0 || channel >= kMaxChannels)
        return QString();
    const ChannelEntry &e = config.channels[channel];
    QStringList pieces;
    for (const Crossing &c : crossingsOfChannel(config, channel)) {
        const bool vertical = c.seam == Crossing::Seam::Vertical;
        const bool first = c.before == channel;
        const char *side = vertical ? (first ? QT_TRANSLATE_NOOP("TileAccessible", "on the right")
                                             : QT_TRANSLATE_NOOP("TileAccessible", "on the left"))
                                    : (first ? QT_TRANSLATE_NOOP("TileAccessible", "below")
                                             : QT_TRANSLATE_NOOP("TileAccessible", "above"));
        QString piece = translated(QT_TRANSLATE_NOOP("TileAccessible", "to %1 %2"))
                                .arg(translated(QT_TRANSLATE_NOOP("TileAccessible", "Channel %1"))
                                             .arg(neighbourOf(c, channel) + 1),
                                     translated(side));
        // The tile's own edge along the seam; a seam over all of it needs no span.
        const int edgeFrom = vertical ? e.top : e.left;
        const int edgeTo = vertical ? e.bottom : e.right;
        if (c.from != edgeFrom || c.to != edgeTo)
            piece = translated(QT_TRANSLATE_NOOP("TileAccessible", "%1 (%2)"))
                            .arg(piece, span(c.seam, c.from, c.to));
        pieces << piece;
    }
    if (pieces.isEmpty())
        return QString();
    QString list = pieces.takeLast();
    if (!pieces.isEmpty())
        list = translated(QT_TRANSLATE_NOOP("TileAccessible", "%1 and %2"))
                       .arg(pieces.join(QLatin1String(", ")), list);
    return translated(QT_TRANSLATE_NOOP("TileAccessible", "crosses %1")).arg(list);
}

QString TileAccessible::description(const Configuration &config, int channel)
{
    if (channel < 0 || channel >= kMaxChannels)
        return QString();
    const QString own = description(config.channels[channel]);
    const QString crossings = crossingsText(config, channel);
    if (own.isEmpty() || crossings.isEmpty())
        return own;
    return translated(QT_TRANSLATE_NOOP("TileAccessible", "%1, %2")).arg(own, crossings);
}
