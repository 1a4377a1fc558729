#pragma once

#include "document/layoutcheck.h"

#include <QList>
#include <QObject>

class DocumentChanges;
class QLabel;
class QStatusBar;
class RasterWidget;

// Shows the layout's problems where they are, while the operator edits: each tile a
// problem concerns gets a red frame and the problem as tool tip, and the status bar a
// count whose tool tip lists them all and whose click selects the tiles concerned.
// Follows every change the document announces and the interface language.
class LayoutMarks : public QObject
{
    Q_OBJECT

public:
    // Without a status bar only the tiles are marked.
    LayoutMarks(DocumentChanges &changes, RasterWidget &canvas, QStatusBar *statusBar,
                QObject *parent = nullptr);

    // Checks the configuration and marks what the check finds.
    void update();
    const QList<LayoutProblem> &problems() const { return m_problems; }
    // The status bar's count; null without a status bar.
    QLabel *summary() const { return m_summary; }
    // Selects the tiles on the canvas that a problem concerns, and no other.
    void selectConcernedTiles();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The channels a problem concerns that stand on the canvas, ascending.
    QList<int> concernedTiles() const;
    void showTexts();

    DocumentChanges &m_changes;
    RasterWidget &m_canvas;
    QLabel *m_summary = nullptr;
    QList<LayoutProblem> m_problems;
};
