#pragma once

#include <QWidget>

struct Document;
struct EditorState;
class ListModel;

// The raster canvas of the layout editor.
class RasterWidget : public QWidget
{
    Q_OBJECT

public:
    explicit RasterWidget(QWidget *parent = nullptr);

    // The form builds the canvas with a parent only; the main window hands it the
    // state it edits right after.
    void setContext(Document *document, EditorState *state, ListModel *listModel);

    void rebuildFromConfig();
    void showChannelTile(int index);
    void hideChannelTile(int index);

signals:
    void areaScroll(int x, int y);

public slots:
    void childLostFocus();

private:
    Document *m_document = nullptr;
    EditorState *m_state = nullptr;
    ListModel *m_listModel = nullptr;
};
