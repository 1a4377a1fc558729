#include "rasterwidget.h"

#include "editor/crossingmarks.h"
#include "editor/dragpayload.h"
#include "editor/droppreview.h"
#include "editor/editorstate.h"
#include "editor/layoutedits.h"
#include "editor/listmodel.h"
#include "editor/rastergeometry.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>

// Drops from the channel list and from the canvas itself: the outline that shows where
// tiles will land, the auto-scroll near an edge of the view, and the drop.

namespace {
const int kGrowthPhaseMs = 250;
} // namespace

void RasterWidget::dragEnterEvent(QDragEnterEvent *event)
{
    if (parseDragPayload(event->mimeData(), channelCount())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void RasterWidget::dragMoveEvent(QDragMoveEvent *event)
{
    const auto payload = parseDragPayload(event->mimeData(), channelCount());
    if (!payload || !m_state || !m_changes) {
        event->ignore();
        return;
    }
    EditorState &s = *m_state;
    const Configuration &config = this->config();

    const QPoint p = event->position().toPoint();
    int hx = 0;
    int hy = 0;
    if (payload->kind == DragPayload::Kind::Old) {
        hx = ((selectedMaxRight(s, config) - selectedMinLeft(s, config)) * s.cellWidth) / 2;
        hy = ((selectedMaxBottom(s, config) - selectedMinTop(s, config)) * s.cellHeight) / 2;
    } else {
        hx = int(payload->channels.size()) * s.cellWidth;
        hy = s.cellHeight;
    }

    bool grown = false;
    int w = width();
    if (w - s.spareWidth / 2 < p.x() + hx && s.rasterColumns < kMaxRasterLines) {
        autoGrowing = true;
        w = w + s.cellWidth + 2 - s.spareWidth;
        setMinimumWidth(w);
        grown = true;
    }
    int h = height();
    if (h - s.spareHeight / 2 < p.y() + hy && s.rasterRows < kMaxRasterLines) {
        autoGrowing = true;
        h = h + s.cellHeight + 2 - s.spareHeight;
        setMinimumHeight(h);
        grown = true;
    }
    if (grown) {
        resize(w, h);
        // The next move may come before the next paint; it must see the grown raster.
        measureRaster(s, width(), height());
        resizeTimer->start(kGrowthPhaseMs);
    }

    // Scrolling follows the time the pointer rests near an edge, not the distance it
    // moves: a distance measured on the canvas would feed each step into the next.
    const QWidget *viewport = parentWidget();
    m_dragViewportPos = viewport ? mapToParent(p) : p;
    m_dragPayload = *payload;
    updateAutoScroll();

    const bool allowed = showDropPreview(p);
    if (allowed)
        event->acceptProposedAction();
    else
        event->ignore(); // the forbidden cursor: this drop would be refused
}

void RasterWidget::dragLeaveEvent(QDragLeaveEvent *event)
{
    endDragFeedback();
    QWidget::dragLeaveEvent(event);
}

void RasterWidget::endDragFeedback()
{
    m_scrollTimer->stop();
    m_dragPayload.reset();
    m_preview->setRects({}, false);
    m_crossings->setPreview(std::nullopt);
}

bool RasterWidget::showDropPreview(QPoint canvasPos)
{
    if (!m_dragPayload) {
        m_preview->setRects({}, false);
        m_crossings->setPreview(std::nullopt);
        return false;
    }
    const DropPlan plan = planDrop(*m_state, config(), *m_dragPayload, canvasPos);
    QList<QRect> rects;
    for (const RasterRect &r : plan.rects)
        rects.append(pixelRectOf(*m_state, r));
    m_preview->setRects(rects, !plan.allowed);
    // The crossings as the drop would leave them; a refused drop leaves them as they are.
    m_crossings->setPreview(plan.allowed ? std::optional(withDrop(config(), plan)) : std::nullopt);
    return plan.allowed;
}

QPoint RasterWidget::autoScrollVelocity() const
{
    const QWidget *viewport = parentWidget();
    if (!viewport || !m_state)
        return {};
    return autoScrollPace(viewport->size(), m_dragViewportPos, m_state->cellWidth);
}

void RasterWidget::updateAutoScroll()
{
    if (autoScrollVelocity().isNull())
        m_scrollTimer->stop();
    else if (!m_scrollTimer->isActive())
        m_scrollTimer->start();
}

void RasterWidget::autoScrollStep()
{
    const QPoint v = autoScrollVelocity();
    if (v.isNull()) {
        m_scrollTimer->stop();
        return;
    }
    const QPoint before = pos();
    emit areaScroll(v.x(), v.y());
    if (pos() == before) {
        m_scrollTimer->stop(); // the view is at its end
        return;
    }
    // The pointer rests on the viewport while the canvas moves under it.
    showDropPreview(mapFromParent(m_dragViewportPos));
}

void RasterWidget::dropEvent(QDropEvent *event)
{
    endDragFeedback();
    if (!m_changes || !m_state) {
        event->ignore();
        return;
    }
    const auto payload = parseDragPayload(event->mimeData(), channelCount());
    if (!payload) {
        event->ignore();
        return;
    }
    if (payload->channels.isEmpty()) {
        m_changes->touch();
        event->acceptProposedAction();
        return;
    }
    const DropPlan plan = planDrop(*m_state, config(), *payload, event->position().toPoint());
    if (!plan.allowed) {
        event->ignore();
        return;
    }
    // The drop is worked out on a copy: the staging record belongs to the link, which
    // may be filling it during a readout.
    const Configuration after = withDrop(config(), plan);
    const StepText text = payload->kind == DragPayload::Kind::Old
                                  ? DocumentChanges::moveText(plan.indices)
                                  : DocumentChanges::placeText(plan.indices);
    // A group put back where it stood changes nothing, yet counts as an edit.
    if (!m_changes->apply(after, text))
        m_changes->touch();
    for (int i : plan.indices) {
        if (config().channels[i].placed == 1)
            showChannelTile(i);
    }
    // A tile dropped into the spare margin must not stand outside the canvas.
    fitMinimumSize(true);
    event->acceptProposedAction();
}
