#pragma once

#include "document/documentchanges.h"
#include "editor/configwidget.h"

#include <QPoint>
#include <QRect>
#include <QWidget>

#include <array>

struct Configuration;
struct DragPayload;
struct EditorState;
class ListModel;
class QTimer;

// The raster canvas of the layout editor: draws the raster, hosts the eight tiles,
// places and moves them by drag and drop, grows and asks for scrolling during a drag.
class RasterWidget : public QWidget
{
    Q_OBJECT

public:
    explicit RasterWidget(QWidget *parent = nullptr);

    // The form builds the canvas with a parent only; the main window hands it the
    // state it edits right after. The canvas follows every change the document
    // announces.
    void setContext(DocumentChanges *changes, EditorState *state, ListModel *listModel);
    // How a tile asks for a screen's resolution.
    void setResolutionPrompt(const ResolutionPrompt &prompt);

    void rebuildFromConfig();
    // Brings the tiles in line with the configuration after an edit: placed channels
    // are laid out, the others hidden and deselected; the rest of the selection stays.
    void syncWithConfig();
    void showChannelTile(int index);
    void hideChannelTile(int index);

    configwidget *tile(int index) const;
    bool isAutoGrowing() const { return autoGrowing; }
    QTimer *growthTimer() const { return resizeTimer; }

signals:
    void areaScroll(int x, int y);

public slots:
    void paintResizeObject(int x, int y, int width, int height, int paint);
    void changeCtrlPressed(bool state);
    void childLostFocus();
    void childGetsFocus(configwidget *sender);
    void childDeletion(configwidget *sender);
    void resizeTimerSlot();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    int channelCount() const;
    const Configuration &config() const;
    void onConfigurationChanged(DocumentChanges::Kind kind);
    void layOutTile(int index);
    // The minimum size that shows every placed tile; raiseOnly keeps larger minimums.
    void fitMinimumSize(bool raiseOnly);
    void resetList();
    // Writes the payload's channels into `after`; false refuses the drop.
    bool stageDrop(const DragPayload &payload, QPoint d, Configuration &after) const;

    DocumentChanges *m_changes = nullptr;
    EditorState *m_state = nullptr;
    ListModel *m_listModel = nullptr;

    bool autoGrowing = false;
    QPoint lastDragPos;
    QRect resizeOutline;
    int outlineVisible = 0;
    QTimer *resizeTimer = nullptr;
    std::array<configwidget *, 8> tiles{};
};
