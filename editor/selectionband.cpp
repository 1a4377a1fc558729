#include "selectionband.h"

#include "editor/layoutedits.h"

#include <QApplication>
#include <QRubberBand>
#include <QTimer>
#include <QWidget>

namespace {
// The same pace as the auto-scroll of a tile drag: one step every 20 ms.
const int kScrollMs = 20;
} // namespace

SelectionBand::SelectionBand(QWidget *canvas)
    : QObject(canvas)
    , m_canvas(canvas)
    , m_band(new QRubberBand(QRubberBand::Rectangle, canvas))
    , m_timer(new QTimer(this))
{
    m_band->hide();
    m_timer->setInterval(kScrollMs);
    connect(m_timer, &QTimer::timeout, this, &SelectionBand::scrollStep);
}

void SelectionBand::press(QPoint pos, bool adds, int cellWidth)
{
    m_origin = pos;
    m_adds = adds;
    m_cellWidth = cellWidth;
    m_pressed = true;
    m_band->hide();
}

void SelectionBand::moveTo(QPoint pos)
{
    if (!m_pressed)
        return;
    if (!m_band->isVisible()
        && (pos - m_origin).manhattanLength() <= QApplication::startDragDistance())
        return;
    follow(pos);
    m_viewportPos = m_canvas->mapToParent(pos);
    if (scrollPace().isNull())
        m_timer->stop();
    else if (!m_timer->isActive())
        m_timer->start();
}

void SelectionBand::follow(QPoint pos)
{
    // Both corners belong to the rectangle, whichever way it was drawn.
    const QRect area(QPoint(qMin(m_origin.x(), pos.x()), qMin(m_origin.y(), pos.y())),
                     QPoint(qMax(m_origin.x(), pos.x()), qMax(m_origin.y(), pos.y())));
    m_band->setGeometry(area.intersected(m_canvas->rect()));
    m_band->show();
    m_band->raise();
}

std::optional<QRect> SelectionBand::release()
{
    const bool shown = m_band->isVisible();
    const QRect area = m_band->geometry();
    cancel();
    if (!shown)
        return std::nullopt;
    return area;
}

void SelectionBand::cancel()
{
    m_pressed = false;
    m_timer->stop();
    m_band->hide();
}

bool SelectionBand::isShown() const
{
    return m_band->isVisible();
}

QRect SelectionBand::rect() const
{
    return m_band->isVisible() ? m_band->geometry() : QRect();
}

QPoint SelectionBand::scrollPace() const
{
    const QWidget *viewport = m_canvas->parentWidget();
    if (!viewport)
        return {};
    return autoScrollPace(viewport->size(), m_viewportPos, m_cellWidth);
}

void SelectionBand::scrollStep()
{
    const QPoint v = scrollPace();
    const QPoint before = m_canvas->pos();
    if (!v.isNull())
        emit scrollRequested(v.x(), v.y());
    if (v.isNull() || m_canvas->pos() == before) {
        m_timer->stop(); // away from the edges, or the view is at its end
        return;
    }
    // The pointer rests on the view while the canvas moves under it.
    follow(m_canvas->mapFromParent(m_viewportPos));
}
