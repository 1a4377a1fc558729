#pragma once

#include <QListView>

struct EditorState;

// The list of unplaced channels: drags the selected channels towards the canvas and
// offers "&Add" in its context menu.
class myListView : public QListView
{
    Q_OBJECT

public:
    explicit myListView(QWidget *parent = nullptr);

    // The drag image needs the raster's cell size.
    void setEditorState(const EditorState *state) { m_state = state; }

    // The channel digits of the selected entries sorted by row: the last character of
    // each entry's display text, which is the channel number in every translation.
    QStringList selectedChannelDigits() const;
    QList<int> selectedChannelNumbers() const;

    // What a drag of the current selection carries.
    QString dragText() const;
    QPixmap dragPixmap() const;

protected:
    void changeEvent(QEvent *event) override;

signals:
    void gotFocus();
    void addCannelsToConfig(QList<int> indexList);

private slots:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dropEvent(QDropEvent *e) override;
    void addSelectedToConfig();
    void showContextMenu(QPoint pos);

private:
    QPoint dragStartPosition;
    const EditorState *m_state = nullptr;
};
