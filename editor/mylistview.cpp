#include "mylistview.h"

#include "editor/dragpayload.h"
#include "editor/editorimages.h"
#include "editor/editorstate.h"

#include <QApplication>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

#include <algorithm>

myListView::myListView(QWidget *parent)
    : QListView(parent)
{
    setAcceptDrops(true);
    setFocusPolicy(Qt::ClickFocus);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, SIGNAL(customContextMenuRequested(QPoint)), this, SLOT(showContextMenu(QPoint)));
    setAccessibleName(tr("Unplaced channels"));
}

void myListView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        setAccessibleName(tr("Unplaced channels"));
    QListView::changeEvent(event);
}

QStringList myListView::selectedChannelDigits() const
{
    QStringList digits;
    if (!selectionModel())
        return digits;
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    for (const QModelIndex &index : std::as_const(rows)) {
        const QString text = index.data(Qt::DisplayRole).toString();
        if (!text.isEmpty())
            digits.append(text.right(1));
    }
    return digits;
}

QList<int> myListView::selectedChannelNumbers() const
{
    QList<int> numbers;
    for (const QString &digit : selectedChannelDigits())
        numbers.append(digit.toInt());
    return numbers;
}

QString myListView::dragText() const
{
    return buildDragPayload(DragPayload::Kind::New, selectedChannelNumbers());
}

QPixmap myListView::dragPixmap() const
{
    EditorState fallback;
    return newDragImage(m_state ? *m_state : fallback, selectedChannelDigits());
}

void myListView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        dragStartPosition = event->position().toPoint();
    QListView::mousePressEvent(event);
}

void myListView::mouseMoveEvent(QMouseEvent *event)
{
    // The view's own move handling would extend the selection while dragging.
    if (!(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - dragStartPosition).manhattanLength()
        <= QApplication::startDragDistance())
        return;

    auto *mime = new QMimeData;
    mime->setText(dragText());
    const QPixmap image = dragPixmap();
    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    if (!image.isNull()) {
        drag->setPixmap(image);
        drag->setHotSpot(QPoint(image.width() / 2, image.height() / 2));
    }
    drag->exec(Qt::MoveAction);
}

void myListView::focusInEvent(QFocusEvent *)
{
    emit gotFocus();
}

void myListView::contextMenuEvent(QContextMenuEvent *event)
{
    showContextMenu(event->pos());
}

// The view takes no drops: whatever reaches it goes on to the removal zone around it.
void myListView::dragEnterEvent(QDragEnterEvent *event)
{
    event->ignore();
}

void myListView::dragMoveEvent(QDragMoveEvent *e)
{
    e->ignore();
}

void myListView::dropEvent(QDropEvent *e)
{
    e->ignore();
}

void myListView::addSelectedToConfig()
{
    emit addCannelsToConfig(selectedChannelNumbers());
}

void myListView::showContextMenu(QPoint pos)
{
    QMenu menu;
    QAction add(tr("&Add"), this);
    add.setStatusTip(tr("Add a channel to the configuration"));
    connect(&add, SIGNAL(triggered()), this, SLOT(addSelectedToConfig()));
    menu.addAction(&add);
    menu.exec(viewport()->mapToGlobal(pos));
}
