#include "configwidget.h"
#include "ui_configwidget.h"

#include "document/documentchanges.h"
#include "editor/editorimages.h"
#include "editor/editorstate.h"
#include "editor/rastergeometry.h"
#include "editor/tileaccessible.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QStyleOption>

namespace {
const int kHandle = 10;
const int kSmallestPointSize = 7;
const int kProblemFrame = 3;
// Dark amber: seen on every tile colour, and far from the red of an error.
constexpr QRgb kNoticeColour = qRgb(0x9a, 0x6a, 0x00);
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
    QString description
            = m_changes ? TileAccessible::description(m_changes->configuration(), m_channelIndex)
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

void configwidget::setProblems(const QString &lines, Mark mark)
{
    setToolTip(lines);
    updateAccessibleTexts();
    if (lines.isEmpty())
        mark = Mark::None;
    if (m_mark != mark) {
        m_mark = mark;
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
    if (m_mark == Mark::Error) {
        // Inside the border, under the handles.
        const QColor red(Qt::red);
        const int f = kProblemFrame;
        painter.fillRect(1, 1, w - 2, f, red);
        painter.fillRect(1, h - 1 - f, w - 2, f, red);
        painter.fillRect(1, 1, f, h - 2, red);
        painter.fillRect(w - 1 - f, 1, f, h - 2, red);
    } else if (m_mark == Mark::Notice) {
        // Thin, dashed and not red: told apart from an error by shape as well as colour.
        QPen pen(QColor(kNoticeColour), 2, Qt::DashLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(2, 2, w - 4, h - 4));
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
