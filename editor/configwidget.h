#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QWidget>

#include <functional>

class DocumentChanges;
struct EditorState;
struct RasterRect;
class QLabel;

// Asks the operator for the width and height of a channel's screen (index 0..7), given
// the current ones; false when the question was cancelled.
using ResolutionPrompt = std::function<bool(int channel, int &width, int &height)>;

namespace Ui {
class configwidget;
}

// One channel's screen on the canvas: selects on click, resizes by its eight handles,
// starts drags of the selected tiles and offers its resolution and removal commands.
class configwidget : public QWidget
{
    Q_OBJECT

public:
    explicit configwidget(QWidget *parent = nullptr);
    ~configwidget() override;

    void setContext(DocumentChanges *changes, EditorState *state);
    void setResolutionPrompt(const ResolutionPrompt &prompt) { m_resolutionPrompt = prompt; }

    void setOutline(int x, int y, int width, int height, bool paint);
    void setOutlineColour(const QColor &colour) { outlineColour = colour; }
    void setSelected(bool state);
    void setChannel(int index);
    void setBackground(const QString &colour);
    // How a tile shows the layout's problems that concern it.
    enum class Mark { None, Notice, Error };
    // The problems, one to a line, as the tile's tool tip, and a frame inside the tile:
    // red for an error, a quieter dashed one for notices alone. Mark::None: as ever.
    void setProblems(const QString &lines, Mark mark = Mark::Error);
    bool isMarked() const { return m_mark != Mark::None; }
    Mark mark() const { return m_mark; }
    int channelIndex() const { return m_channelIndex; }
    bool isSelected() const { return selected; }
    QString background() const { return backgroundColour; }
    int currentGrabZone() const { return grabZone; }
    // Ends a press, resize or drag in progress as a release would, without changing the
    // layout: the outline goes and the grab zone is cleared.
    void endGesture();

    // What a drag of the selected tiles carries.
    QString dragText() const;
    QPixmap dragPixmap() const;

    // The handle under a press at pos on a tile of the given size: 1 to 8, or 9 for the
    // tile itself.
    static int grabZoneAt(QPoint pos, QSize size);
    // The outline that a mouse at m (canvas coordinates) draws for a tile at t of size s
    // while the handle of the zone is held.
    static QRect resizeOutlineFor(int zone, QPoint m, QPoint t, QSize s);
    // The rectangle after the zone's edges have moved to the snapped column and row.
    static RasterRect resizedRect(int zone, const RasterRect &old, int col, int row);

signals:
    void resizeInPorgress(int x, int y, int width, int height, int paint);
    void ctrlStateChanged(bool state);
    void lostFocus();
    void getFocus(configwidget *sender);
    void deletion(configwidget *sender);

public slots:
    void showContextMenu(QPoint pos);
    void deleteFromConfig();
    void openResolutionWindow();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void placeLabel(QLabel *label);
    void showResolution();
    // Marks the tile selected or not, and tells assistive technology of a change.
    void markSelected(bool state);
    // The tile's accessible name and description follow its channel and cells.
    void updateAccessibleTexts();
    void finishResize(int zone, QPoint releasePos);
    // The cells a release of the handle of the zone at p (canvas coordinates) gives the
    // tile, and whether they are free.
    RasterRect resizeTarget(int zone, QPoint p, bool *allowed) const;

    Ui::configwidget *ui;
    DocumentChanges *m_changes = nullptr;
    ResolutionPrompt m_resolutionPrompt;
    EditorState *m_state = nullptr;
    QString backgroundColour;
    QPoint pressPos;
    quint8 m_channelIndex = 0;
    bool selected = true;
    quint8 grabZone = 0;
    QRect outline{0, 0, -1, -1}; // x, y, width, height in tile coordinates
    bool outlineVisible = false;
    QColor outlineColour = Qt::black;
    Mark m_mark = Mark::None;
    // The labels' type as the form sets it; narrow tiles use a smaller size.
    QFont m_indexFont;
    QFont m_resolutionFont;
};
