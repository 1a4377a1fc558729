#include "rasterwidget.h"

#include "editor/editorstate.h"
#include "editor/layoutedits.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScrollArea>

// Editing by keyboard: moving and resizing by cells, removing, keeping the focused tile
// in view, and the Control key.

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
    const KeyEdit edit = keyEditFor(*event);
    switch (edit.kind) {
    case KeyEdit::None:
        return false;
    case KeyEdit::SelectAll:
        for (int i = 0; i < channelCount(); ++i) {
            if (standsOnCanvas(config().channels[i]))
                tiles[i]->setSelected(true);
        }
        return true;
    case KeyEdit::ClearSelection:
        if (m_state->selectedChannels.isEmpty())
            return false;
        childLostFocus();
        return true;
    case KeyEdit::Remove:
        return removeSelection();
    case KeyEdit::ToggleFocused:
        if (configwidget *tile = focusedTile()) {
            tile->setSelected(!tile->isSelected());
            return true;
        }
        return false;
    case KeyEdit::Move:
        return moveSelection(edit.step);
    case KeyEdit::Resize:
        return resizeFocusedTile(edit.step);
    case KeyEdit::Resolution:
        if (configwidget *tile = focusedTile()) {
            tile->openResolutionWindow();
            return true;
        }
        return false;
    }
    return false;
}

bool RasterWidget::moveSelection(QPoint step)
{
    QList<int> moved;
    for (int i : m_state->selectedChannels.items()) {
        if (i < channelCount() && standsOnCanvas(config().channels[i]))
            moved.append(i);
    }
    if (moved.isEmpty())
        return false;
    // Refused like a drop: off the raster, or onto a tile that stays where it is.
    if (const auto after = movedTiles(config(), moved, step)) {
        m_changes->apply(*after, DocumentChanges::moveText(moved));
        keepVisible(focusedTile() ? focusedTile() : tiles[moved.first()]);
    }
    return true;
}

bool RasterWidget::resizeFocusedTile(QPoint step)
{
    configwidget *tile = focusedTile();
    if (!tile)
        return false;
    const int i = tile->channelIndex();
    if (i >= channelCount() || !standsOnCanvas(config().channels[i]))
        return false;
    // The right and the bottom edge move; the top left corner stays.
    if (const auto after = resizedTile(config(), i, step)) {
        m_changes->apply(*after, DocumentChanges::resizeText(i));
        keepVisible(tile);
    }
    return true;
}

bool RasterWidget::removeSelection()
{
    ChannelSelection &selection = m_state->selectedChannels;
    if (selection.isEmpty())
        return false;
    const QList<int> removed = selection.items();
    m_changes->apply(withoutTiles(config(), removed), DocumentChanges::removeText(removed));
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
