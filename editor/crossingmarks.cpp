#include "editor/crossingmarks.h"

#include "document/documentchanges.h"
#include "editor/editorstate.h"

#include <QPainter>

namespace {
// Across the seam, centred on the border line the two tiles share.
const int kThickness = 6;
// Kept off the corners, so that marks meeting at a corner stay apart.
const int kInset = 6;
} // namespace

CrossingMarks::CrossingMarks(QWidget *canvas)
    : QWidget(canvas)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void CrossingMarks::setContext(const DocumentChanges *changes, const EditorState *state)
{
    m_changes = changes;
    m_state = state;
    update();
}

void CrossingMarks::setPreview(const std::optional<Configuration> &layout)
{
    // A drag sends many moves to the same cells; only a change repaints.
    if (layout == m_preview)
        return;
    m_preview = layout;
    update();
}

QList<Crossing> CrossingMarks::crossings() const
{
    if (m_preview)
        return crossingsOf(*m_preview);
    return m_changes ? crossingsOf(m_changes->configuration()) : QList<Crossing>{};
}

QColor CrossingMarks::colour()
{
    // Green: the problem marks are red, selection and focus black, the drop preview black
    // or red.
    return QColor(0, 160, 80);
}

QRect CrossingMarks::markRect(const Crossing &c) const
{
    if (!m_state)
        return {};
    const int originX = m_state->spareWidth / 2;
    const int originY = m_state->spareHeight / 2;
    const int cw = m_state->cellWidth;
    const int ch = m_state->cellHeight;
    if (c.seam == Crossing::Seam::Vertical) {
        const int x = originX + c.line * cw - kThickness / 2;
        const int y = originY + c.from * ch + kInset;
        return QRect(x, y, kThickness + 1, (c.to - c.from) * ch - 2 * kInset + 1);
    }
    const int x = originX + c.from * cw + kInset;
    const int y = originY + c.line * ch - kThickness / 2;
    return QRect(x, y, (c.to - c.from) * cw - 2 * kInset + 1, kThickness + 1);
}

void CrossingMarks::paintEvent(QPaintEvent *)
{
    if (!m_state)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(colour());
    for (const Crossing &c : crossings()) {
        const QRectF r = QRectF(markRect(c)).adjusted(0.5, 0.5, -0.5, -0.5);
        painter.drawRoundedRect(r, kThickness / 2.0, kThickness / 2.0);
    }
}
