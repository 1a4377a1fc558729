#include "configwidget.h"
#include "ui_configwidget.h"

#include "document/documentchanges.h"
#include "editor/dragpayload.h"
#include "editor/editorimages.h"
#include "editor/editorstate.h"
#include "editor/rastergeometry.h"
#include "editor/tileaccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QStyleOption>

namespace {
const int kHandle = 10;
const int kSmallestPointSize = 7;
const int kProblemFrame = 3;
} // namespace

configwidget::configwidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::configwidget)
{
    ui->setupUi(this);
    m_indexFont = ui->labelIndex->font();
    m_resolutionFont = ui->labelResolution->font();
    // Tab reaches the tiles too, in channel order, so the layout can be edited by keyboard.
    setFocusPolicy(Qt::StrongFocus);
    selected = true;
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, SIGNAL(customContextMenuRequested(QPoint)), this, SLOT(showContextMenu(QPoint)));
}

configwidget::~configwidget()
{
    delete ui;
}

void configwidget::setContext(DocumentChanges *changes, EditorState *state)
{
    m_changes = changes;
    m_state = state;
}

void configwidget::setOutline(int x, int y, int width, int height, bool paint)
{
    outline = QRect(x, y, width, height);
    outlineVisible = paint;
}

void configwidget::setSelected(bool state)
{
    markSelected(state);
    if (m_state) {
        if (state)
            m_state->selectedChannels.add(m_channelIndex);
        else
            m_state->selectedChannels.remove(m_channelIndex);
    }
}

void configwidget::markSelected(bool state)
{
    const bool changed = selected != state;
    selected = state;
    update();
    if (changed) {
        QAccessible::State selectedState;
        selectedState.selected = true;
        QAccessibleStateChangeEvent stateChange(this, selectedState);
        QAccessible::updateAccessibility(&stateChange);
        // The event item views send for a selection, which the Linux bridge passes on.
        QAccessibleEvent selection(this, state ? QAccessible::SelectionAdd
                                               : QAccessible::SelectionRemove);
        QAccessible::updateAccessibility(&selection);
    }
}

void configwidget::updateAccessibleTexts()
{
    // Setting either text tells assistive technology that it changed.
    if (accessibleName() != ui->labelIndex->text())
        setAccessibleName(ui->labelIndex->text());
    QString description = m_changes ? TileAccessible::description(
                                  m_changes->configuration().channels[m_channelIndex])
                                    : QString();
    // The problems marked in red are read out too; a screen reader never sees the frame.
    if (!description.isEmpty() && !toolTip().isEmpty())
        description += QLatin1Char('\n') + toolTip();
    if (accessibleDescription() != description)
        setAccessibleDescription(description);
}

void configwidget::setChannel(int index)
{
    if (index < 0 || index >= kMaxChannels)
        return;
    m_channelIndex = quint8(index);
    ui->labelIndex->setText(tr("Channel %1").arg(index + 1));
    placeLabel(ui->labelIndex);
    showResolution();
}

void configwidget::showResolution()
{
    const ChannelEntry *e
            = m_changes ? &m_changes->configuration().channels[m_channelIndex] : nullptr;
    if (!e || e->resolutionX == 0 || e->resolutionY == 0) {
        ui->labelResolution->hide();
    } else {
        ui->labelResolution->setText(tr("%1 X %2").arg(e->resolutionX).arg(e->resolutionY));
        ui->labelResolution->show();
    }
    placeLabel(ui->labelResolution);
    updateAccessibleTexts();
}

void configwidget::setBackground(const QString &colour)
{
    backgroundColour = colour;
    setStyleSheet(QStringLiteral("QWidget{border-color: black; border-width: 1px; "
                                 "border-style: solid; margin: 0px 0px 0px 0px; "
                                 "padding: 0px 0px 0px 0px; background-color: ")
                  + colour + QStringLiteral(";}"));
}

void configwidget::setProblems(const QString &lines)
{
    setToolTip(lines);
    updateAccessibleTexts();
    if (m_marked != !lines.isEmpty()) {
        m_marked = !lines.isEmpty();
        update();
    }
}

void configwidget::placeLabel(QLabel *label)
{
    label->ensurePolished();
    const bool channelLabel = label == ui->labelIndex;
    QFont font = channelLabel ? m_indexFont : m_resolutionFont;
    const int w = width();
    const int h = height();
    // Where the label's text stands with the given type.
    const auto textRect = [&](const QFont &f) {
        const QFontMetrics metrics(f);
        const int tw = metrics.horizontalAdvance(label->text());
        const int th = metrics.height();
        int y = (h - th) / 2;
        if (!channelLabel)
            y += 2 * th;
        return QRect((w - tw) / 2 + 1, y, tw, th);
    };
    // The channel name sits between the side handles; on a narrow tile its type gets
    // smaller until it keeps clear of them, down to a size that stays legible. The
    // resolution sits below them and keeps its size, so equal tiles show it alike.
    if (channelLabel) {
        const QRect leftHandle(0, h / 2 - 5, kHandle, kHandle);
        const QRect rightHandle(w - kHandle, h / 2 - 5, kHandle, kHandle);
        while (font.pointSize() > kSmallestPointSize
               && (textRect(font).intersects(leftHandle) || textRect(font).intersects(rightHandle)))
            font.setPointSize(font.pointSize() - 1);
    }
    label->setFont(font);
    const QRect r = textRect(font);
    label->resize(r.width() + 2, label->height());
    label->move(r.topLeft());
}

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

void configwidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Control)
        emit ctrlStateChanged(true);
    else
        QWidget::keyPressEvent(event);
}

void configwidget::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Control)
        emit ctrlStateChanged(false);
    else
        QWidget::keyReleaseEvent(event);
}

void configwidget::focusInEvent(QFocusEvent *event)
{
    // Reached by Tab: the tile is selected alone, as a plain click would select it.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason) {
        emit getFocus(this);
        if (m_state)
            m_state->selectedChannels.clear();
        setSelected(true);
    }
    update();
}

void configwidget::focusOutEvent(QFocusEvent *)
{
    update(); // the focus frame goes
}

void configwidget::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);

    const int w = width();
    const int h = height();
    if (m_marked) {
        // Inside the border, under the handles.
        const QColor red(Qt::red);
        const int f = kProblemFrame;
        painter.fillRect(1, 1, w - 2, f, red);
        painter.fillRect(1, h - 1 - f, w - 2, f, red);
        painter.fillRect(1, 1, f, h - 2, red);
        painter.fillRect(w - 1 - f, 1, f, h - 2, red);
    }
    if (selected) {
        painter.setPen(Qt::black);
        painter.setBrush(Qt::black);
        const QPoint corners[] = {{0, 0},
                                  {w / 2 - 5, 0},
                                  {w - kHandle, 0},
                                  {0, h / 2 - 5},
                                  {0, h - kHandle},
                                  {w - kHandle, h / 2 - 5},
                                  {w / 2 - 5, h - kHandle},
                                  {w - kHandle, h - kHandle}};
        // A filled rectangle with a one-pixel pen covers size + 1; draw one less so the
        // handle is exactly 10 x 10.
        for (const QPoint &corner : corners)
            painter.drawRect(corner.x(), corner.y(), kHandle - 1, kHandle - 1);
    }

    if (hasFocus()) {
        // The tile the keyboard acts on: a dotted frame inside the border.
        QPen pen(Qt::black, 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(3, 3, w - 7, h - 7);
    }

    const RasterRect outlineRect{outline.x(), outline.y(), outline.x() + outline.width(),
                                 outline.y() + outline.height()};
    if (outlineVisible && rectanglesOverlap(outlineRect, RasterRect{0, 0, w, h})) {
        const QPixmap image = outlineImage(outline.width(), outline.height(), outlineColour);
        if (!image.isNull())
            painter.drawPixmap(outline.x(), outline.y(), image);
    }
}

void configwidget::contextMenuEvent(QContextMenuEvent *event)
{
    showContextMenu(event->pos());
}

void configwidget::showEvent(QShowEvent *event)
{
    // The tile shown last holds the focus, so Control is seen right away.
    setFocus(Qt::OtherFocusReason);
    event->accept();
}

void configwidget::hideEvent(QHideEvent *event)
{
    // A tile that leaves the canvas in the middle of a gesture gets no release.
    endGesture();
    QWidget::hideEvent(event);
}

void configwidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        endGesture();
    if (event->type() == QEvent::LanguageChange) {
        ui->labelIndex->setText(tr("Channel %1").arg(m_channelIndex + 1));
        placeLabel(ui->labelIndex);
        updateAccessibleTexts();
    }
    QWidget::changeEvent(event);
}

void configwidget::showContextMenu(QPoint pos)
{
    QMenu menu;
    QAction setResolution(tr("&Set Resolution"), this);
    setResolution.setStatusTip(tr("Set the resolution for this screen"));
    connect(&setResolution, SIGNAL(triggered()), this, SLOT(openResolutionWindow()));
    QAction remove(tr("&Remove"), this);
    remove.setStatusTip(tr("Remove this channel from configuration"));
    connect(&remove, SIGNAL(triggered()), this, SLOT(deleteFromConfig()));
    menu.addAction(&setResolution);
    menu.addAction(&remove);
    menu.exec(mapToGlobal(pos));
}

void configwidget::deleteFromConfig()
{
    emit deletion(this);
}

void configwidget::openResolutionWindow()
{
    emit getFocus(this);
    if (!m_changes || !m_resolutionPrompt)
        return;
    const ChannelEntry &before = m_changes->configuration().channels[m_channelIndex];
    int x = before.resolutionX;
    int y = before.resolutionY;
    if (!m_resolutionPrompt(m_channelIndex, x, y))
        return;
    Configuration after = m_changes->configuration();
    ChannelEntry &entry = after.channels[m_channelIndex];
    entry.resolutionX = quint16(qBound(0, x, 0xFFFF));
    entry.resolutionY = quint16(qBound(0, y, 0xFFFF));
    m_changes->apply(after, DocumentChanges::resolutionText(m_channelIndex));
    showResolution();
}
