#include "rasterwidget.h"

#include "editor/dragpayload.h"
#include "editor/editorimages.h"
#include "editor/editorstate.h"
#include "editor/listmodel.h"
#include "editor/rastergeometry.h"

#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QTimer>

#include <algorithm>

namespace {

const int kGrowthPhaseMs = 250;
// Auto-scroll while a drag rests near an edge of the visible part: one step every 20 ms
// of 2 to 16 pixels, that is 100 to 800 pixels a second.
const int kAutoScrollMs = 20;
const int kMinScrollStep = 2;
const int kMaxScrollStep = 16;

// Floor division, also for negative numerators.
int floorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

bool validIndex(int index)
{
    return index >= 0 && index < kMaxChannels;
}

} // namespace

// Drawn above the tiles: where the tiles of a drag would land, with a red border where
// the drop would be refused. It lets every mouse and drag event through to the canvas.
class RasterWidget::DropPreview : public QWidget
{
public:
    explicit DropPreview(QWidget *parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

    void setRects(const QList<QRect> &rects, bool refused)
    {
        if (rects == m_rects && refused == m_refused)
            return;
        m_rects = rects;
        m_refused = refused;
        if (!m_rects.isEmpty())
            raise();
        update();
    }
    const QList<QRect> &rects() const { return m_rects; }
    bool refused() const { return m_refused; }

protected:
    void paintEvent(QPaintEvent *) override
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

private:
    QList<QRect> m_rects;
    bool m_refused = false;
};

RasterWidget::RasterWidget(QWidget *parent)
    : QWidget(parent)
{
    setAcceptDrops(true);
    setFocusPolicy(Qt::ClickFocus);

    resizeTimer = new QTimer(this);
    connect(resizeTimer, SIGNAL(timeout()), this, SLOT(resizeTimerSlot()));
    m_scrollTimer = new QTimer(this);
    m_scrollTimer->setInterval(kAutoScrollMs);
    connect(m_scrollTimer, &QTimer::timeout, this, &RasterWidget::autoScrollStep);

    for (int i = 0; i < kMaxChannels; ++i) {
        auto *t = new configwidget(this);
        tiles[i] = t;
        // Each tile knows its channel from the start: a hidden tile that is deselected
        // must take its own index out of the selection, not channel 1's.
        t->setChannel(i);
        t->setEnabled(false);
        t->hide();
        connect(t, SIGNAL(resizeInPorgress(int, int, int, int, int)), this,
                SLOT(paintResizeObject(int, int, int, int, int)));
        connect(t, SIGNAL(lostFocus()), this, SLOT(childLostFocus()));
        connect(t, SIGNAL(ctrlStateChanged(bool)), this, SLOT(changeCtrlPressed(bool)));
        connect(t, SIGNAL(getFocus(configwidget *)), this, SLOT(childGetsFocus(configwidget *)));
        connect(t, SIGNAL(deletion(configwidget *)), this, SLOT(childDeletion(configwidget *)));
    }
    m_preview = new DropPreview(this);
}

QList<QRect> RasterWidget::dropPreview() const
{
    return m_preview->rects();
}

bool RasterWidget::dropPreviewRefused() const
{
    return m_preview->refused();
}

void RasterWidget::setContext(DocumentChanges *changes, EditorState *state, ListModel *listModel)
{
    if (m_changes)
        disconnect(m_changes, nullptr, this, nullptr);
    m_changes = changes;
    m_state = state;
    m_listModel = listModel;
    if (m_state) {
        m_state->cellWidth = 46;
        m_state->cellHeight = 46;
    }
    for (configwidget *t : tiles)
        t->setContext(changes, state);
    if (m_changes) {
        connect(m_changes, &DocumentChanges::configurationChanged, this,
                &RasterWidget::onConfigurationChanged);
    }
}

void RasterWidget::setResolutionPrompt(const ResolutionPrompt &prompt)
{
    for (configwidget *t : tiles)
        t->setResolutionPrompt(prompt);
}

void RasterWidget::onConfigurationChanged(DocumentChanges::Kind kind)
{
    if (kind == DocumentChanges::Kind::Replacement)
        rebuildFromConfig();
    else
        syncWithConfig();
}

const Configuration &RasterWidget::config() const
{
    return m_changes->configuration();
}

configwidget *RasterWidget::tile(int index) const
{
    return validIndex(index) ? tiles[index] : nullptr;
}

int RasterWidget::channelCount() const
{
    return m_changes ? qMin<int>(config().channelCount, kMaxChannels) : 0;
}

void RasterWidget::resetList()
{
    if (m_listModel)
        m_listModel->reset();
}

void RasterWidget::paintEvent(QPaintEvent *event)
{
    if (!m_state || !m_changes)
        return;
    EditorState &s = *m_state;
    measureRaster(s, width(), height());

    const int originX = s.spareWidth / 2;
    const int originY = s.spareHeight / 2;
    const int cw = s.cellWidth;
    const int ch = s.cellHeight;

    // Only the cells that meet the exposed rectangle; a cell's outline reaches one
    // pixel past its size.
    const QRect exposed = event->rect();
    const int firstColumn = std::max(0, floorDiv(exposed.left() - originX - cw, cw));
    const int lastColumn = std::min(s.rasterColumns - 1, floorDiv(exposed.right() - originX, cw));
    const int firstRow = std::max(0, floorDiv(exposed.top() - originY - ch, ch));
    const int lastRow = std::min(s.rasterRows - 1, floorDiv(exposed.bottom() - originY, ch));

    QPainter painter(this);
    painter.setPen(QPen(QColor(160, 160, 164), 1));
    painter.setBrush(Qt::white);
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstColumn; c <= lastColumn; ++c)
            painter.drawRect(originX + c * cw, originY + r * ch, cw, ch);
    }

    const Configuration &config = this->config();
    const int count = channelCount();
    for (int i = 0; i < count; ++i) {
        if (standsOnCanvas(config.channels[i]))
            tiles[i]->move(tilePosition(s, config.channels[i]));
    }

    if (outlineVisible) {
        // 2: the release would be refused.
        const QColor colour = outlineVisible == 2 ? QColor(Qt::red) : QColor(Qt::black);
        const QPixmap image = outlineImage(resizeOutline.width(), resizeOutline.height(), colour);
        if (!image.isNull())
            painter.drawPixmap(resizeOutline.topLeft(), image);
        for (int i = 0; i < count; ++i) {
            const QPoint at = tiles[i]->pos();
            tiles[i]->setOutlineColour(colour);
            tiles[i]->setOutline(resizeOutline.x() - at.x(), resizeOutline.y() - at.y(),
                                 resizeOutline.width(), resizeOutline.height(), true);
        }
    }
}

void RasterWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_preview->setGeometry(rect());
    if (autoGrowing || !m_changes || !m_state)
        return;
    const Configuration &config = this->config();
    if (event->size().width() != event->oldSize().width() && maxRight(config) > 0)
        setMinimumWidth(maxRight(config) * m_state->cellWidth + 2);
    if (event->size().height() != event->oldSize().height() && maxBottom(config) > 0)
        setMinimumHeight(maxBottom(config) * m_state->cellHeight + 2);
}

void RasterWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Control)
        changeCtrlPressed(true);
    else if (editByKey(event))
        event->accept();
    else
        QWidget::keyPressEvent(event); // the scroll area scrolls
}

configwidget *RasterWidget::focusedTile() const
{
    QWidget *focus = QApplication::focusWidget();
    for (configwidget *t : tiles) {
        if (t == focus && t->isVisible())
            return t;
    }
    return nullptr;
}

// The keys that edit the layout; they reach the canvas from a focused tile too, since a
// tile passes on what it does not handle. Each change is one undoable step.
bool RasterWidget::editByKey(QKeyEvent *event)
{
    if (!m_changes || !m_state)
        return false;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->matches(QKeySequence::SelectAll)) {
        const Configuration &c = config();
        for (int i = 0; i < channelCount(); ++i) {
            if (standsOnCanvas(c.channels[i]))
                tiles[i]->setSelected(true);
        }
        return true;
    }
    if (event->key() == Qt::Key_Escape && modifiers == Qt::NoModifier) {
        if (m_state->selectedChannels.isEmpty())
            return false;
        childLostFocus();
        return true;
    }
    if (event->key() == Qt::Key_Delete && modifiers == Qt::NoModifier)
        return removeSelection();
    if (event->key() == Qt::Key_Space && modifiers == Qt::NoModifier) {
        configwidget *tile = focusedTile();
        if (!tile)
            return false;
        tile->setSelected(!tile->isSelected());
        return true;
    }

    QPoint step;
    switch (event->key()) {
    case Qt::Key_Left:
        step = QPoint(-1, 0);
        break;
    case Qt::Key_Right:
        step = QPoint(1, 0);
        break;
    case Qt::Key_Up:
        step = QPoint(0, -1);
        break;
    case Qt::Key_Down:
        step = QPoint(0, 1);
        break;
    default:
        return false;
    }
    if (modifiers == Qt::NoModifier)
        return moveSelection(step);
    if (modifiers == Qt::ShiftModifier)
        return resizeFocusedTile(step);
    return false;
}

bool RasterWidget::moveSelection(QPoint step)
{
    const Configuration &current = config();
    QList<int> moved;
    for (int i : m_state->selectedChannels.items()) {
        if (i < channelCount() && standsOnCanvas(current.channels[i]))
            moved.append(i);
    }
    if (moved.isEmpty())
        return false;
    Configuration after = current;
    for (int i : std::as_const(moved)) {
        RasterRect r = rasterRectOf(current.channels[i]);
        r.left += step.x();
        r.right += step.x();
        r.top += step.y();
        r.bottom += step.y();
        // Refused like a drop: off the raster, or onto a tile that stays where it is.
        if (r.left < 0 || r.top < 0 || r.right > kMaxRasterLines || r.bottom > kMaxRasterLines
            || overlapsPlaced(current, r, moved))
            return true;
        ChannelEntry &e = after.channels[i];
        e.left = quint8(r.left);
        e.right = quint8(r.right);
        e.top = quint8(r.top);
        e.bottom = quint8(r.bottom);
    }
    m_changes->apply(after, DocumentChanges::moveText(moved));
    keepVisible(focusedTile() ? focusedTile() : tiles[moved.first()]);
    return true;
}

bool RasterWidget::resizeFocusedTile(QPoint step)
{
    configwidget *tile = focusedTile();
    if (!tile)
        return false;
    const int i = tile->channelIndex();
    const Configuration &current = config();
    if (i >= channelCount() || !standsOnCanvas(current.channels[i]))
        return false;
    // The right and the bottom edge move; the top left corner stays.
    RasterRect r = rasterRectOf(current.channels[i]);
    r.right += step.x();
    r.bottom += step.y();
    if (r.width() < 2 || r.height() < 2 || r.right > kMaxRasterLines || r.bottom > kMaxRasterLines
        || overlapsPlaced(current, r, {i}))
        return true;
    Configuration after = current;
    after.channels[i].right = quint8(r.right);
    after.channels[i].bottom = quint8(r.bottom);
    m_changes->apply(after, DocumentChanges::resizeText(i));
    keepVisible(tile);
    return true;
}

bool RasterWidget::removeSelection()
{
    ChannelSelection &selection = m_state->selectedChannels;
    if (selection.isEmpty())
        return false;
    const QList<int> removed = selection.items();
    Configuration after = config();
    for (int i : removed) {
        ChannelEntry &e = after.channels[i];
        e.placed = e.left = e.top = e.right = e.bottom = 0;
    }
    m_changes->apply(after, DocumentChanges::removeText(removed));
    selection.clear();
    return true;
}

void RasterWidget::keepVisible(QWidget *tile)
{
    QWidget *viewport = parentWidget();
    if (auto *area = qobject_cast<QScrollArea *>(viewport ? viewport->parentWidget() : nullptr))
        area->ensureWidgetVisible(tile, 0, 0);
}

void RasterWidget::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Control)
        changeCtrlPressed(false);
    else
        QWidget::keyReleaseEvent(event);
}

void RasterWidget::focusInEvent(QFocusEvent *)
{
    childLostFocus();
}

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
}

bool RasterWidget::showDropPreview(QPoint canvasPos)
{
    if (!m_dragPayload) {
        m_preview->setRects({}, false);
        return false;
    }
    const DropPlan plan = planDrop(*m_dragPayload, canvasPos);
    QList<QRect> rects;
    for (const RasterRect &r : plan.rects)
        rects.append(pixelRectOf(*m_state, r));
    m_preview->setRects(rects, !plan.allowed);
    return plan.allowed;
}

QPoint RasterWidget::autoScrollVelocity() const
{
    const QWidget *viewport = parentWidget();
    if (!viewport || !m_state)
        return {};
    // The band along each edge of the visible part where a resting pointer scrolls the
    // view: the nearer the edge, the faster.
    const int band = std::max(1, std::min(m_state->cellWidth, viewport->width() / 4));
    const auto pace = [band](int distance) {
        const int depth = std::clamp(band - distance, 0, band);
        return kMinScrollStep + (kMaxScrollStep - kMinScrollStep) * depth / band;
    };
    const QPoint m = m_dragViewportPos;
    int vx = 0;
    int vy = 0;
    if (m.x() < band)
        vx = -pace(m.x());
    else if (m.x() > viewport->width() - band)
        vx = pace(viewport->width() - m.x());
    if (m.y() < band)
        vy = -pace(m.y());
    else if (m.y() > viewport->height() - band)
        vy = pace(viewport->height() - m.y());
    return QPoint(vx, vy);
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

void RasterWidget::resizeTimerSlot()
{
    autoGrowing = false;
    resizeTimer->stop();
}

RasterWidget::DropPlan RasterWidget::planDrop(const DragPayload &payload, QPoint d) const
{
    DropPlan plan;
    const EditorState &s = *m_state;
    const Configuration &current = config();
    const int n = int(payload.channels.size());
    const bool old = payload.kind == DragPayload::Kind::Old;

    const int minLeftCell = selectedMinLeft(s, current);
    const int minTopCell = selectedMinTop(s, current);
    int gx = d.x() - ((selectedMaxRight(s, current) - minLeftCell) * s.cellWidth) / 2;
    if (gx < s.spareWidth / 2)
        gx = s.spareWidth / 2 + 1;
    int gy = d.y() - ((selectedMaxBottom(s, current) - minTopCell) * s.cellHeight) / 2;
    if (gy < s.spareHeight / 2)
        gy = s.spareHeight / 2 + 1;

    QList<int> moved;
    for (int channel : payload.channels)
        moved.append(channel - 1);

    int shift = 0;
    for (int k = 0; k < n; ++k) {
        const int i = payload.channels.at(k) - 1;
        const ChannelEntry &entry = current.channels[i];
        int x = 0;
        int y = 0;
        int w = 2;
        int h = 2;
        if (old) {
            // A moved tile must be one that stands on the canvas; an empty rectangle
            // would be written as a placed tile of no size. The group's box comes from
            // the selection, so a tile outside it (a payload from another program, or
            // a selection cleared by a readout during the drag) has no place to go.
            if (entry.placed != 1 || entry.right <= entry.left || entry.bottom <= entry.top
                || !s.selectedChannels.contains(i)) {
                plan.allowed = false;
                continue;
            }
            x = (entry.left - minLeftCell) * s.cellWidth + gx;
            y = (entry.top - minTopCell) * s.cellHeight + gy;
            w = entry.right - entry.left;
            h = entry.bottom - entry.top;
        } else {
            x = 2 * s.cellWidth * k + d.x() - n * s.cellWidth;
            if (x < 0)
                shift = n * s.cellWidth;
            x += shift;
            y = d.y() - s.cellHeight;
            if (y < s.spareHeight / 2)
                y = s.spareHeight / 2 + 1;
        }
        const int row = snapToRowClamped(s, y);
        const int col = snapToColumnClamped(s, x);
        const RasterRect rect{col, row, col + w, row + h};
        // The record holds raster lines 0 to 255 only.
        if (rect.right > kMaxRasterLines || rect.bottom > kMaxRasterLines)
            plan.allowed = false;
        // The tiles that move leave their cells; every other placed tile keeps them.
        if (overlapsPlaced(current, rect, {i}))
            plan.allowed = false;
        // Snapping at the raster's end can bring two tiles of one drop onto the same
        // cells; such a drop is refused like any other overlap.
        for (const RasterRect &other : std::as_const(plan.rects)) {
            if (rectanglesOverlap(rect, other))
                plan.allowed = false;
        }
        plan.indices.append(i);
        plan.rects.append(rect);
    }
    return plan;
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
    const DropPlan plan = planDrop(*payload, event->position().toPoint());
    if (!plan.allowed) {
        event->ignore();
        return;
    }
    // The drop is worked out on a copy: the staging record belongs to the link, which
    // may be filling it during a readout.
    Configuration after = config();
    for (int k = 0; k < plan.indices.size(); ++k) {
        const RasterRect &rect = plan.rects.at(k);
        ChannelEntry &target = after.channels[plan.indices.at(k)];
        target.placed = 1;
        target.left = quint8(rect.left);
        target.right = quint8(rect.right);
        target.top = quint8(rect.top);
        target.bottom = quint8(rect.bottom);
    }
    const QString text = payload->kind == DragPayload::Kind::Old
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

void RasterWidget::layOutTile(int index)
{
    const ChannelEntry &e = config().channels[index];
    configwidget *t = tiles[index];
    t->resize(tileSize(*m_state, e));
    t->setChannel(index);
    t->setBackground(QString::fromLatin1(tileColour));
    t->move(tilePosition(*m_state, e));
    t->setEnabled(true);
    t->show();
}

void RasterWidget::showChannelTile(int index)
{
    if (!validIndex(index) || !m_changes || !m_state)
        return;
    layOutTile(index);
    tiles[index]->setSelected(true);
}

void RasterWidget::hideChannelTile(int index)
{
    if (!validIndex(index))
        return;
    tiles[index]->setEnabled(false);
    tiles[index]->hide();
    tiles[index]->setSelected(false);
}

void RasterWidget::fitMinimumSize(bool raiseOnly)
{
    const Configuration &config = this->config();
    const int right = maxRight(config);
    const int bottom = maxBottom(config);
    int minWidth = right >= 1 ? right * m_state->cellWidth + 2 : 0;
    int minHeight = bottom >= 1 ? bottom * m_state->cellHeight + 2 : 0;
    if (raiseOnly) {
        minWidth = std::max(minWidth, minimumWidth());
        minHeight = std::max(minHeight, minimumHeight());
    }
    setMinimumSize(minWidth, minHeight);
    if (minWidth > m_state->canvasWidth || minHeight > m_state->canvasHeight)
        resize(std::max(minWidth, width()), std::max(minHeight, height()));
}

void RasterWidget::rebuildFromConfig()
{
    resetList();
    if (!m_changes || !m_state)
        return;
    fitMinimumSize(false);
    layOutTiles(false);
    m_state->selectedChannels.clear();
}

void RasterWidget::layOutTiles(bool keepSelection)
{
    const Configuration &config = this->config();
    const int count = channelCount();
    for (int i = 0; i < kMaxChannels; ++i) {
        if (i < count && standsOnCanvas(config.channels[i])) {
            layOutTile(i);
            if (!keepSelection)
                tiles[i]->setSelected(false);
        } else {
            tiles[i]->setEnabled(false);
            tiles[i]->hide();
            tiles[i]->setSelected(false);
        }
    }
}

void RasterWidget::syncWithConfig()
{
    resetList();
    if (!m_changes || !m_state)
        return;
    layOutTiles(true);
    // An undone move may bring a tile back beyond the canvas's current size.
    fitMinimumSize(true);
    update();
}

void RasterWidget::childGetsFocus(configwidget *sender)
{
    for (configwidget *t : tiles) {
        if (t != sender)
            t->setSelected(false);
    }
    update();
}

void RasterWidget::childLostFocus()
{
    if (m_state)
        m_state->selectedChannels.clear();
    for (configwidget *t : tiles)
        t->setSelected(false);
    update();
}

void RasterWidget::changeCtrlPressed(bool state)
{
    if (m_state)
        m_state->ctrlPressed = state;
}

void RasterWidget::paintResizeObject(int x, int y, int width, int height, int paint)
{
    resizeOutline = QRect(x, y, width, height);
    outlineVisible = paint;
    if (paint == 0) {
        for (configwidget *t : tiles)
            t->setOutline(0, 0, -1, -1, false);
    }
    update();
}

void RasterWidget::childDeletion(configwidget *sender)
{
    if (!sender || !m_changes || !m_state)
        return;
    const int i = sender->channelIndex();
    if (!validIndex(i))
        return;
    // A selected tile takes the whole selection with it; another one goes alone.
    ChannelSelection &selection = m_state->selectedChannels;
    const bool group = selection.contains(i);
    const QList<int> removed = group ? selection.items() : QList<int>{i};
    Configuration after = config();
    for (int index : removed) {
        ChannelEntry &e = after.channels[index];
        e.placed = e.left = e.top = e.right = e.bottom = 0;
    }
    m_changes->apply(after, DocumentChanges::removeText(removed));
    if (group)
        selection.clear();
    else
        childLostFocus();
}
