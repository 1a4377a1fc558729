#pragma once

#include <QList>

class DocumentChanges;
class DropWidget;
class ListModel;
class QScrollArea;
class RasterWidget;
class myListView;
struct EditorState;

// The main window's editor slots: placing and removing channels, the two tool
// buttons, the focus hand-over between list and canvas, and scrolling.
class EditorWiring
{
public:
    // The editor's widgets of the main window's form, and the state they edit.
    struct Widgets
    {
        RasterWidget *canvas;
        myListView *list;
        DropWidget *dropZone;
        QScrollArea *scrollArea;
    };

    EditorWiring(DocumentChanges &changes, EditorState &state, ListModel &listModel,
                 const Widgets &widgets);

    void childGetsFocus();
    void addChannelsToConfig(const QList<int> &indexList);
    void delChannelsToConfig(const QList<int> &indexList);
    void areaScroll(int x, int y);
    void toolButtonDel();
    void toolButtonAdd();

private:
    DocumentChanges &m_changes;
    EditorState &m_state;
    ListModel &m_listModel;
    const Widgets m_widgets;
};
