#include "configwidget.h"

#include "document/documentchanges.h"
#include "editor/dragpayload.h"
#include "editor/editorimages.h"
#include "editor/editorstate.h"
#include "editor/rastergeometry.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>

// What the mouse does with a tile: selecting on a press, dragging the selected tiles,
// and resizing by the eight handles, with the outline that shows the cells a release
// would give the tile.

QString configwidget::dragText() const
{
    QList<int> channels;
    if (m_state) {
        for (int k = 0; k < m_state->selectedChannels.size(); ++k)
            channels.append(m_state->selectedChannels.at(k) + 1);
    }
    return buildDragPayload(DragPayload::Kind::Old, channels);
}

QPixmap configwidget::dragPixmap() const
{
    if (!m_state || !m_changes)
        return {};
    return oldDragImage(*m_state, m_changes->configuration());
}

int configwidget::grabZoneAt(QPoint pos, QSize size)
{
    const int x = pos.x();
    const int y = pos.y();
    const int w = size.width();
    const int h = size.height();
    const bool leftBand = 1 <= x && x <= 9;
    const bool topBand = 1 <= y && y <= 9;
    const bool rightBand = w - 10 < x && x < w;
    const bool bottomBand = h - 10 < y && y < h;
    const bool middleX = w / 2 - 5 < x && x < w / 2 + 5;
    const bool middleY = h / 2 - 5 < y && y < h / 2 + 5;

    if (leftBand && topBand)
        return 1;
    if (leftBand && middleY)
        return 2;
    if (leftBand && bottomBand)
        return 3;
    if (topBand && middleX)
        return 4;
    if (topBand && rightBand)
        return 5;
    if (rightBand && bottomBand)
        return 7;
    if (rightBand && middleY)
        return 6;
    if (bottomBand && middleX)
        return 8;
    return 9;
}

QRect configwidget::resizeOutlineFor(int zone, QPoint m, QPoint t, QSize s)
{
    const int w = s.width();
    const int h = s.height();
    switch (zone) {
    case 1:
        return QRect(m.x(), m.y(), t.x() + w - m.x(), t.y() + h - m.y());
    case 2:
        return QRect(m.x(), t.y(), t.x() + w - m.x(), h);
    case 3:
        return QRect(m.x(), t.y(), t.x() + w - m.x(), m.y() - t.y());
    case 4:
        return QRect(t.x(), m.y(), w, t.y() + h - m.y());
    case 5:
        return QRect(t.x(), m.y(), m.x() - t.x(), t.y() + h - m.y());
    case 6:
        return QRect(t.x(), t.y(), m.x() - t.x(), h);
    case 7:
        return QRect(t.x(), t.y(), m.x() - t.x(), m.y() - t.y());
    case 8:
        return QRect(t.x(), t.y(), w, m.y() - t.y());
    default:
        return QRect(m.x(), m.y(), 0, 0);
    }
}

RasterRect configwidget::resizedRect(int zone, const RasterRect &old, int col, int row)
{
    RasterRect r = old;
    const bool left = zone == 1 || zone == 2 || zone == 3;
    const bool top = zone == 1 || zone == 4 || zone == 5;
    const bool right = zone == 5 || zone == 6 || zone == 7;
    const bool bottom = zone == 3 || zone == 7 || zone == 8;
    if (left)
        r.left = col;
    if (top)
        r.top = row;
    if (right)
        r.right = col;
    if (bottom)
        r.bottom = row;
    return r;
}

void configwidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    // The press itself says whether Control is down: a release of the key while another
    // widget had the focus never reaches the tiles, so the tracked state can be stale.
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    if (m_state)
        m_state->ctrlPressed = ctrl;
    if (!selected) {
        markSelected(true);
        grabZone = 9;
        pressPos = pos;
        if (!ctrl) {
            emit getFocus(this);
            if (m_state)
                m_state->selectedChannels.clear();
        }
        if (m_state)
            m_state->selectedChannels.add(m_channelIndex);
    } else if (ctrl) {
        if (m_state)
            m_state->selectedChannels.remove(m_channelIndex);
        markSelected(false);
    } else {
        // A group can be dragged by any of its members, so the selection stays.
        grabZone = quint8(grabZoneAt(pos, size()));
        pressPos = pos;
    }
}

void configwidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    if (grabZone == 9 && (pos - pressPos).manhattanLength() > QApplication::startDragDistance()) {
        auto *mime = new QMimeData;
        mime->setText(dragText());
        auto *drag = new QDrag(this);
        drag->setMimeData(mime);
        const QPixmap image = dragPixmap();
        if (!image.isNull()) {
            drag->setPixmap(image);
            drag->setHotSpot(QPoint(image.width() / 2, image.height() / 2));
        }
        drag->exec(Qt::MoveAction);
        // The drag consumed the button release, so the gesture ends here; a stale zone 9
        // would start a drag of the rest of the selection on the next press.
        grabZone = 0;
        emit resizeInPorgress(0, 0, 0, 0, 0);
        update();
        return;
    }
    if (grabZone >= 1 && grabZone <= 8 && m_changes && m_state
        && m_changes->configuration().channels[m_channelIndex].placed == 1) {
        // The outline shows the cells the tile will take on release, and turns red
        // where the release would be refused.
        bool allowed = false;
        const QRect r = pixelRectOf(*m_state, resizeTarget(grabZone, mapToParent(pos), &allowed));
        emit resizeInPorgress(r.x(), r.y(), r.width(), r.height(), allowed ? 1 : 2);
        return;
    }
    const QRect r = resizeOutlineFor(grabZone, mapToParent(pos), this->pos(), size());
    emit resizeInPorgress(r.x(), r.y(), r.width(), r.height(), 1);
}

void configwidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    // The gesture is over before the release changes the document: the change is
    // announced, and an announcement ends the gestures that are still running.
    const int zone = grabZone;
    grabZone = 0;
    if (zone != 0)
        finishResize(zone, mapToParent(event->position().toPoint()));
    emit resizeInPorgress(0, 0, 0, 0, 0);
    update();
}

void configwidget::endGesture()
{
    if (grabZone == 0)
        return;
    grabZone = 0;
    pressPos = QPoint();
    emit resizeInPorgress(0, 0, 0, 0, 0);
    update();
}

RasterRect configwidget::resizeTarget(int zone, QPoint p, bool *allowed) const
{
    const Configuration &config = m_changes->configuration();
    const RasterRect old = rasterRectOf(config.channels[m_channelIndex]);
    if (p.x() < m_state->spareWidth / 2)
        p.setX(m_state->spareWidth / 2 + 1);
    if (p.y() < m_state->spareHeight / 2)
        p.setY(m_state->spareHeight / 2 + 1);
    // A release beyond the raster takes its last line; the first line would turn the
    // tile inside out or stretch it over the whole raster.
    const int row = snapToRowClamped(*m_state, p.y());
    const int col = snapToColumnClamped(*m_state, p.x());

    RasterRect rect = resizedRect(zone, old, col, row);
    if (rect.width() < 2 || rect.height() < 2)
        rect = old;
    *allowed = !overlapsPlaced(config, rect, {m_channelIndex});
    return rect;
}

void configwidget::finishResize(int zone, QPoint p)
{
    if (!m_changes || !m_state)
        return;
    const Configuration &config = m_changes->configuration();
    // A release never places a channel that is not on the canvas.
    if (config.channels[m_channelIndex].placed != 1)
        return;
    bool allowed = false;
    const RasterRect rect = resizeTarget(zone, p, &allowed);
    if (!allowed)
        return;

    Configuration after = config;
    ChannelEntry &resized = after.channels[m_channelIndex];
    resized.left = quint8(rect.left);
    resized.top = quint8(rect.top);
    resized.right = quint8(rect.right);
    resized.bottom = quint8(rect.bottom);
    // The canvas lays the tile out anew when the change is announced. A click rewrites
    // the same rectangle: no step, but the document counts as edited all the same.
    if (!m_changes->apply(after, DocumentChanges::resizeText(m_channelIndex)))
        m_changes->touch();
}
