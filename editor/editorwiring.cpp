#include "editorwiring.h"

#include "app/corvanecfg.h"
#include "editor/listmodel.h"
#include "editor/rastergeometry.h"
#include "editor/rasterwidget.h"
#include "ui_corvanecfg.h"

#include <QScrollBar>

EditorWiring::EditorWiring(CorvaneCfg &window)
    : w(window)
{
    w.ui->widget_2->setDocument(&w.m_document);
    w.ui->listView->setEditorState(&w.m_editorState);
}

void EditorWiring::childGetsFocus()
{
    // The list took the focus: no tile stays selected, so the tool buttons act on
    // one side only.
    w.ui->rasterwidget->childLostFocus();
}

void EditorWiring::addChannelsToConfig(const QList<int> &indexList)
{
    Configuration &config = w.m_document.currentConfig;
    const EditorState &state = w.m_editorState;
    const int count = qMin<int>(config.channelCount, kMaxChannels);

    for (int channel : indexList) {
        const int i = channel - 1;
        if (i < 0 || i >= count)
            continue;
        bool placed = false;
        for (int r = 0; r < state.rasterRows && !placed; ++r) {
            // The record holds raster lines up to 255 only.
            if (r + 2 > kMaxRasterLines)
                break;
            for (int c = 0; c < state.rasterColumns && !placed; ++c) {
                if (c + 2 > kMaxRasterLines)
                    break;
                const RasterRect candidate{c, r, c + 2, r + 2};
                bool free = true;
                for (int j = 0; j < count && free; ++j) {
                    if (config.channels[j].placed == 1
                        && rectanglesOverlap(candidate, rasterRectOf(config.channels[j])))
                        free = false;
                }
                if (!free)
                    continue;
                ChannelEntry &e = config.channels[i];
                e.placed = 1;
                e.left = quint8(c);
                e.right = quint8(c + 2);
                e.top = quint8(r);
                e.bottom = quint8(r + 2);
                w.ui->rasterwidget->showChannelTile(i);
                placed = true;
            }
        }
    }
    w.listModel().reset();
}

void EditorWiring::delChannelsToConfig(const QList<int> &indexList)
{
    Document &doc = w.m_document;
    doc.stagingConfig = doc.currentConfig;
    const int count = qMin<int>(doc.currentConfig.channelCount, kMaxChannels);
    for (int channel : indexList) {
        const int i = channel - 1;
        if (i < 0 || i >= count)
            continue;
        ChannelEntry &e = doc.stagingConfig.channels[i];
        e.placed = e.left = e.top = e.right = e.bottom = 0;
        w.ui->rasterwidget->hideChannelTile(i);
    }
    doc.currentConfig = doc.stagingConfig;
    w.listModel().reset();
}

void EditorWiring::areaScroll(int x, int y)
{
    QScrollBar *horizontal = w.ui->scrollArea->horizontalScrollBar();
    QScrollBar *vertical = w.ui->scrollArea->verticalScrollBar();
    horizontal->setValue(horizontal->value() + x);
    vertical->setValue(vertical->value() + y);
}

void EditorWiring::toolButtonDel()
{
    ChannelSelection &selection = w.m_editorState.selectedChannels;
    QList<int> channels;
    for (int k = 0; k < selection.size(); ++k)
        channels.append(selection.at(k) + 1);
    delChannelsToConfig(channels);
    selection.clear();
}

void EditorWiring::toolButtonAdd()
{
    addChannelsToConfig(w.ui->listView->selectedChannelNumbers());
    w.m_document.modified = true;
}
