#include "document/layoutpage.h"

#include "document/configuration.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>

// Where the family is not installed, the style hint lets the font matcher take the
// system's sans-serif face instead of an arbitrary one. No shaping: Latin text then has no
// ligatures, so "Configuration" stays plain letters in a PDF's text.
QFont printFont(int pointSize)
{
    QFont font(QStringLiteral("MS Shell Dlg 2"), pointSize, QFont::Normal, false);
    font.setStyleHint(QFont::SansSerif, QFont::PreferNoShaping);
    return font;
}

namespace {

// Kept free below the drawing for the footer line.
const int kFooterBand = 24;
const int kFooterBaselineFromBottom = 8;
const int kNameBaselineBelowCentre = 6;
const int kResolutionBaselineBelowCentre = 32;

// The raster cells to draw: the extent of the placed channels, or the visible canvas.
QRect drawnCells(const Configuration &config, int cellWidth, int cellHeight,
                 const QSize &visibleArea)
{
    if (minLeft(config) == -1) {
        return QRect(QPoint(0, 0),
                     QSize(visibleArea.width() / cellWidth, visibleArea.height() / cellHeight));
    }
    return QRect(QPoint(minLeft(config), minTop(config)),
                 QSize(maxRight(config) - minLeft(config), maxBottom(config) - minTop(config)));
}

void drawCentredText(QPainter &painter, int x, int width, int baseline, const QString &text)
{
    const int textWidth = painter.fontMetrics().horizontalAdvance(text);
    painter.drawText(QPoint(x + 1 + (width - textWidth) / 2, baseline), text);
}

} // namespace

QString printFooterText(const Configuration &config, const QString &fileName)
{
    QString footer = QCoreApplication::translate("CorvaneCfg", "Vorrix%1-Configuration")
                             .arg(config.channelCount);
    if (!fileName.isEmpty())
        footer += QStringLiteral(" - ") + fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
    return footer;
}

void drawLayoutPage(QPainter &painter, const QRect &page, const Configuration &config,
                    int cellWidth, int cellHeight, const QString &fileName,
                    const QSize &visibleArea)
{
    const int pageW = page.width();
    const int pageH = page.height();
    const QPen textPen(Qt::black, 0);

    painter.save();
    painter.setPen(textPen);
    painter.setFont(printFont(12));
    const QString footer = printFooterText(config, fileName);
    painter.drawText(
            QPoint(page.left() + pageW / 2 - painter.fontMetrics().horizontalAdvance(footer) / 2,
                   page.top() + pageH - kFooterBaselineFromBottom),
            footer);

    if (cellWidth <= 0 || cellHeight <= 0) {
        painter.restore();
        return;
    }
    const QRect cells = drawnCells(config, cellWidth, cellHeight, visibleArea);
    const int areaW = cells.width() * cellWidth;
    const int areaH = cells.height() * cellHeight;
    const int drawH = pageH - kFooterBand;
    // A canvas narrower than one cell, or a file whose tiles have no extent, leaves
    // nothing to scale: the page then carries the footer alone.
    if (areaW <= 0 || areaH <= 0 || pageW <= 0 || drawH <= 0) {
        painter.restore();
        return;
    }

    const double sx = double(pageW) / areaW;
    const double sy = double(drawH) / areaH;
    const double scale = sy <= sx ? sy : sx;
    painter.translate(page.left() + pageW / 2, page.top() + drawH / 2);
    painter.scale(scale, scale);
    painter.translate(-(areaW / 2), -(areaH / 2));

    painter.setPen(QPen(QColor(160, 160, 164), 0));
    painter.setBrush(Qt::white);
    for (int r = 0; r < cells.height(); ++r) {
        for (int c = 0; c < cells.width(); ++c)
            painter.drawRect(c * cellWidth, r * cellHeight, cellWidth, cellHeight);
    }

    painter.setPen(textPen);
    const int count = qMin<int>(config.channelCount, kMaxChannels);
    for (int i = 0; i < count; ++i) {
        const ChannelEntry &e = config.channels[i];
        if (e.placed != 1)
            continue;
        const int x = (e.left - cells.left()) * cellWidth;
        const int y = (e.top - cells.top()) * cellHeight;
        const int w = (e.right - e.left) * cellWidth;
        const int h = (e.bottom - e.top) * cellHeight;
        painter.setBrush(QColor(220, 220, 220));
        painter.drawRect(x, y, w, h);

        painter.setFont(printFont(12));
        drawCentredText(painter, x, w, y + h / 2 + kNameBaselineBelowCentre,
                        QCoreApplication::translate("CorvaneCfg", "Channel %1").arg(i + 1));
        if (e.resolutionX != 0 && e.resolutionY != 0) {
            painter.setFont(printFont(8));
            drawCentredText(painter, x, w, y + h / 2 + kResolutionBaselineBelowCentre,
                            QCoreApplication::translate("CorvaneCfg", "%1 X %2")
                                    .arg(e.resolutionX)
                                    .arg(e.resolutionY));
        }
    }
    painter.restore();
}
