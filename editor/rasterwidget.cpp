#include "rasterwidget.h"

RasterWidget::RasterWidget(QWidget *parent)
    : QWidget(parent)
{}

void RasterWidget::setContext(Document *document, EditorState *state, ListModel *listModel)
{
    m_document = document;
    m_state = state;
    m_listModel = listModel;
}

void RasterWidget::rebuildFromConfig() {}

void RasterWidget::showChannelTile(int) {}

void RasterWidget::hideChannelTile(int) {}

void RasterWidget::childLostFocus() {}
