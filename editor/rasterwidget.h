#pragma once

#include "document/documentchanges.h"
#include "editor/configwidget.h"
#include "editor/dragpayload.h"
#include "editor/rastergeometry.h"

#include <QPoint>
#include <QRect>
#include <QWidget>

#include <array>

struct Configuration;
struct EditorState;
class CrossingMarks;
class DropPreview;
class ListModel;
class SelectionBand;
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
    QTimer *autoScrollTimer() const { return m_scrollTimer; }
    // Where a drag in progress would put its tiles, in canvas pixels, and whether the
    // drop would be refused there.
    QList<QRect> dropPreview() const;
    bool dropPreviewRefused() const;
    // The marks of the seams the pointer crosses.
    CrossingMarks *crossingMarks() const { return m_crossings; }

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
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    int channelCount() const;
    const Configuration &config() const;
    void onConfigurationChanged(DocumentChanges::Kind kind);
    void layOutTile(int index);
    // Hides, disables and deselects a tile, keeping the keyboard focus on the canvas.
    void retireTile(int index);
    // Selects the placed tiles that the rectangle meets; `adds` keeps the others.
    void selectTilesIn(const QRect &area, bool adds);
    // Shows the tiles of the channels that stand on the canvas and hides the others;
    // keepSelection leaves the shown tiles selected or not as they are.
    void layOutTiles(bool keepSelection);
    // The minimum size that shows every placed tile; raiseOnly keeps larger minimums.
    void fitMinimumSize(bool raiseOnly);
    void resetList();
    // Shows where the dragged tiles would land; false where the drop would be refused.
    bool showDropPreview(QPoint canvasPos);
    void endDragFeedback();
    // Pixels per auto-scroll step while the pointer rests near an edge of the visible part.
    QPoint autoScrollVelocity() const;
    void updateAutoScroll();
    void autoScrollStep();

    // Editing by keyboard; false for keys that are not for the layout.
    bool editByKey(QKeyEvent *event);
    configwidget *focusedTile() const;
    bool moveSelection(QPoint step);
    bool resizeFocusedTile(QPoint step);
    bool removeSelection();
    void keepVisible(QWidget *tile);

    DocumentChanges *m_changes = nullptr;
    EditorState *m_state = nullptr;
    ListModel *m_listModel = nullptr;

    bool autoGrowing = false;
    QRect resizeOutline;
    int outlineVisible = 0;
    QTimer *resizeTimer = nullptr;
    std::array<configwidget *, 8> tiles{};

    // The drag in progress: what it carries and where the pointer rests on the viewport.
    std::optional<DragPayload> m_dragPayload;
    QPoint m_dragViewportPos;
    QTimer *m_scrollTimer = nullptr;
    DropPreview *m_preview = nullptr;
    CrossingMarks *m_crossings = nullptr;
    SelectionBand *m_band = nullptr;
};
