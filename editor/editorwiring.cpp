#include "editorwiring.h"

#include "document/documentchanges.h"
#include "editor/dropwidget.h"
#include "editor/editorstate.h"
#include "editor/layoutedits.h"
#include "editor/listmodel.h"
#include "editor/mylistview.h"
#include "editor/rastergeometry.h"
#include "editor/rasterwidget.h"

#include <QScrollArea>
#include <QScrollBar>

EditorWiring::EditorWiring(DocumentChanges &changes, EditorState &state, ListModel &listModel,
                           const Widgets &widgets)
    : m_changes(changes)
    , m_state(state)
    , m_listModel(listModel)
    , m_widgets(widgets)
{
    m_widgets.dropZone->setDocument(&m_changes.document());
    m_widgets.list->setEditorState(&m_state);
}

void EditorWiring::childGetsFocus()
{
    // The list took the focus: no tile stays selected, so the tool buttons act on
    // one side only.
    m_widgets.canvas->childLostFocus();
}

void EditorWiring::addChannelsToConfig(const QList<int> &indexList)
{
    Configuration after = m_changes.configuration();
    const int count = qMin<int>(after.channelCount, kMaxChannels);
    QList<int> placed;

    for (int channel : indexList) {
        const int i = channel - 1;
        if (i < 0 || i >= count)
            continue;
        bool found = false;
        for (int r = 0; r < m_state.rasterRows && !found; ++r) {
            // The record holds raster lines up to 255 only.
            if (r + 2 > kMaxRasterLines)
                break;
            for (int c = 0; c < m_state.rasterColumns && !found; ++c) {
                if (c + 2 > kMaxRasterLines)
                    break;
                const RasterRect candidate{c, r, c + 2, r + 2};
                bool free = true;
                // The channels placed earlier in this list count as placed.
                for (int j = 0; j < count && free; ++j) {
                    if (after.channels[j].placed == 1
                        && rectanglesOverlap(candidate, rasterRectOf(after.channels[j])))
                        free = false;
                }
                if (!free)
                    continue;
                ChannelEntry &e = after.channels[i];
                e.placed = 1;
                e.left = quint8(c);
                e.right = quint8(c + 2);
                e.top = quint8(r);
                e.bottom = quint8(r + 2);
                if (!placed.contains(i))
                    placed.append(i);
                found = true;
            }
        }
    }
    // One step for the whole list; the new tiles end up selected.
    if (m_changes.apply(after, DocumentChanges::placeText(placed))) {
        for (int i : std::as_const(placed))
            m_widgets.canvas->showChannelTile(i);
    }
    m_listModel.reset();
}

void EditorWiring::delChannelsToConfig(const QList<int> &indexList)
{
    const int count = qMin<int>(m_changes.configuration().channelCount, kMaxChannels);
    QList<int> removed;
    for (int channel : indexList) {
        const int i = channel - 1;
        if (i >= 0 && i < count && !removed.contains(i))
            removed.append(i);
    }
    // The canvas hides and deselects the removed tiles when the change is announced.
    m_changes.apply(withoutTiles(m_changes.configuration(), removed),
                    DocumentChanges::removeText(removed));
    m_listModel.reset();
}

void EditorWiring::areaScroll(int x, int y)
{
    QScrollBar *horizontal = m_widgets.scrollArea->horizontalScrollBar();
    QScrollBar *vertical = m_widgets.scrollArea->verticalScrollBar();
    horizontal->setValue(horizontal->value() + x);
    vertical->setValue(vertical->value() + y);
}

void EditorWiring::toolButtonDel()
{
    ChannelSelection &selection = m_state.selectedChannels;
    QList<int> channels;
    for (int k = 0; k < selection.size(); ++k)
        channels.append(selection.at(k) + 1);
    delChannelsToConfig(channels);
    selection.clear();
}

void EditorWiring::toolButtonAdd()
{
    addChannelsToConfig(m_widgets.list->selectedChannelNumbers());
    // The button counts as an edit even when nothing could be placed.
    m_changes.touch();
}
