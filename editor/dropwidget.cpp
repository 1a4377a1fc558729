#include "dropwidget.h"

#include "document/document.h"
#include "editor/dragpayload.h"

#include <QDropEvent>
#include <QMimeData>

DropWidget::DropWidget(QWidget *parent)
    : QWidget(parent)
{
    setAcceptDrops(true);
}

int DropWidget::channelLimit() const
{
    return m_document ? m_document->currentConfig.channelCount : kMaxChannels;
}

void DropWidget::dragEnterEvent(QDragEnterEvent *event)
{
    if (parseDragPayload(event->mimeData(), channelLimit()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void DropWidget::dragMoveEvent(QDragMoveEvent *event)
{
    if (parseDragPayload(event->mimeData(), channelLimit()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void DropWidget::dropEvent(QDropEvent *event)
{
    const auto payload = parseDragPayload(event->mimeData(), channelLimit());
    if (!payload) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit delChannelsFromConfig(payload->channels);
}
