#pragma once

#include "document/layoutcheck.h"

#include <QList>
#include <QObject>
#include <optional>

class DocumentChanges;
class QAction;
class QLabel;
class QStatusBar;
class RasterWidget;

// Shows the layout's problems where they are, while the operator edits: each tile a
// problem concerns gets a frame (red for an error, a quieter one for a notice) and the
// problem as tool tip, and the status bar a count of the errors and one of the notices,
// whose tool tips list them and whose click selects the tiles concerned. The action
// "Select screens with problems" does that for all of them from the keyboard.
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
    // The status bar's counts; null without a status bar.
    QLabel *summary() const { return m_summary; }
    QLabel *notices() const { return m_notices; }
    // Edit → "Select screens with problems"; enabled while a tile is marked.
    QAction *selectAction() const { return m_selectAction; }
    // Selects the tiles on the canvas that a problem of the given severity (any, without
    // one) concerns, and no other.
    void selectConcernedTiles(std::optional<LayoutSeverity> severity = std::nullopt);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The channels a problem of that severity concerns that stand on the canvas,
    // ascending.
    QList<int> concernedTiles(std::optional<LayoutSeverity> severity) const;
    QLabel *makeCount(QStatusBar *statusBar, const char *name, const QString &colour);
    void showTexts();

    DocumentChanges &m_changes;
    RasterWidget &m_canvas;
    QLabel *m_summary = nullptr;
    QLabel *m_notices = nullptr;
    QAction *m_selectAction = nullptr;
    QList<LayoutProblem> m_problems;
};
