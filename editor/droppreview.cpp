#include "droppreview.h"

#include "editor/editorimages.h"

#include <QPainter>

DropPreview::DropPreview(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void DropPreview::setRects(const QList<QRect> &rects, bool refused)
{
    if (rects == m_rects && refused == m_refused)
        return;
    m_rects = rects;
    m_refused = refused;
    if (!m_rects.isEmpty())
        raise();
    update();
}

void DropPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    for (const QRect &r : std::as_const(m_rects)) {
        if (m_refused) {
            // Tinted, so that it still shows through the drag image above it.
            painter.fillRect(r, QColor(255, 0, 0, 70));
            painter.setPen(QPen(Qt::red, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(r.adjusted(1, 1, -1, -1));
        } else {
            const QPixmap image = outlineImage(r.width(), r.height());
            if (!image.isNull())
                painter.drawPixmap(r.topLeft(), image);
        }
    }
}
