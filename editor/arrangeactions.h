#pragma once

#include "editor/arrange.h"

#include <QObject>

class DocumentChanges;
class QAction;
class QMenu;
struct EditorState;

// "Arrange in a row" and "Arrange in a grid" at the end of the Edit menu: each arranges
// the selected tiles, or all of them when none is selected, as one step of the undo
// history. An arrangement that does not fit is refused and changes nothing.
class ArrangeActions : public QObject
{
    Q_OBJECT

public:
    ArrangeActions(QMenu &editMenu, DocumentChanges &changes, EditorState &state);

    QAction *rowAction() const { return m_row; }
    QAction *gridAction() const { return m_grid; }
    // Arranges as the action does; false when nothing changed.
    bool arrange(Arrangement how);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void retranslate();

    DocumentChanges &m_changes;
    EditorState &m_state;
    QAction *m_row = nullptr;
    QAction *m_grid = nullptr;
};
