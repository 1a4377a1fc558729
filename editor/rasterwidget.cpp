#include "rasterwidget.h"

#include "editor/canvasaccessible.h"
#include "editor/crossingmarks.h"
#include "editor/droppreview.h"
#include "editor/editorimages.h"
#include "editor/editorstate.h"
#include "editor/layoutedits.h"
#include "editor/listmodel.h"
#include "editor/selectionband.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>

namespace {

// Auto-scroll while a drag rests near an edge of the visible part: one step every 20 ms.
const int kAutoScrollMs = 20;

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

RasterWidget::RasterWidget(QWidget *parent)
    : QWidget(parent)
{
    setAcceptDrops(true);
    setFocusPolicy(Qt::ClickFocus);
    CanvasAccessible::installFactory();
    setAccessibleName(tr("Screen layout"));

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
    m_crossings = new CrossingMarks(this);
    m_band = new SelectionBand(this);
    connect(m_band, &SelectionBand::scrollRequested, this, &RasterWidget::areaScroll);
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
    m_crossings->setContext(changes, state);
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
    // A change by key, menu or readout ends what the mouse was doing with a tile; its
    // release would otherwise act on a layout it did not start from.
    for (configwidget *t : tiles)
        t->endGesture();
    if (kind == DocumentChanges::Kind::Replacement)
        rebuildFromConfig();
    else
        syncWithConfig();
    m_crossings->update();
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
    m_crossings->setGeometry(rect());
    if (autoGrowing || !m_changes || !m_state)
        return;
    const Configuration &config = this->config();
    if (event->size().width() != event->oldSize().width() && maxRight(config) > 0)
        setMinimumWidth(maxRight(config) * m_state->cellWidth + 2);
    if (event->size().height() != event->oldSize().height() && maxBottom(config) > 0)
        setMinimumHeight(maxBottom(config) * m_state->cellHeight + 2);
}

void RasterWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        setAccessibleName(tr("Screen layout"));
    QWidget::changeEvent(event);
}

void RasterWidget::focusInEvent(QFocusEvent *)
{
    // The focus also comes here when a focused tile leaves the canvas; only the mouse
    // changes the selection (below).
}

// A click on free canvas clears the selection; a drag draws a rectangle that selects
// the tiles it meets, with Control in addition to those already selected.
void RasterWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        m_band->cancel();
        childLostFocus();
        return;
    }
    const bool adds = event->modifiers().testFlag(Qt::ControlModifier);
    m_band->press(event->position().toPoint(), adds, m_state ? m_state->cellWidth : 46);
}

void RasterWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        m_band->moveTo(event->position().toPoint());
}

void RasterWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_band->isPressed())
        return;
    const bool adds = m_band->adds();
    if (const auto area = m_band->release())
        selectTilesIn(*area, adds);
    else
        childLostFocus();
}

void RasterWidget::selectTilesIn(const QRect &area, bool adds)
{
    if (!adds)
        childLostFocus();
    for (int i = 0; i < channelCount(); ++i) {
        if (standsOnCanvas(config().channels[i]) && tiles[i]->geometry().intersects(area))
            tiles[i]->setSelected(true);
    }
    update();
}

void RasterWidget::resizeTimerSlot()
{
    autoGrowing = false;
    resizeTimer->stop();
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
    retireTile(index);
}

void RasterWidget::retireTile(int index)
{
    configwidget *t = tiles[index];
    // Qt hands the focus of a widget that is hidden or disabled on to the next one as if
    // Tab had been pressed, and a tile reached by Tab selects itself; the canvas takes it.
    if (window()->focusWidget() == t)
        setFocus(Qt::OtherFocusReason);
    t->setEnabled(false);
    t->hide();
    t->setSelected(false);
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
            retireTile(i);
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
    m_changes->apply(withoutTiles(config(), removed), DocumentChanges::removeText(removed));
    if (group)
        selection.clear();
    else
        childLostFocus();
}
