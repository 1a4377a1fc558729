#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>

#include <optional>

class QRubberBand;
class QTimer;
class QWidget;

// The rectangle that selects tiles when the mouse is dragged over free canvas: drawn as a
// rubber band, and scrolling the view while the pointer rests near an edge of the visible
// part, as a tile drag does.
class SelectionBand : public QObject
{
    Q_OBJECT

public:
    explicit SelectionBand(QWidget *canvas);
    ~SelectionBand() override = default;

    // A left press at pos (canvas coordinates); `adds` keeps the selection there is.
    void press(QPoint pos, bool adds, int cellWidth);
    // The pointer moved with the button held; the band shows once it has moved further
    // than a drag needs.
    void moveTo(QPoint pos);
    // The release: the rectangle drawn, or nothing when the pointer hardly moved.
    std::optional<QRect> release();
    void cancel();

    bool isPressed() const { return m_pressed; }
    bool isShown() const;
    bool adds() const { return m_adds; }
    QRect rect() const;
    QTimer *scrollTimer() const { return m_timer; }

signals:
    // Asks the owner of the view to scroll it by x and y pixels.
    void scrollRequested(int x, int y);

private:
    void follow(QPoint pos);
    QPoint scrollPace() const;
    void scrollStep();

    QWidget *const m_canvas;
    QRubberBand *const m_band;
    QTimer *const m_timer;
    QPoint m_origin;
    // Where the pointer rests on the view, which stays put while the canvas scrolls.
    QPoint m_viewportPos;
    int m_cellWidth = 46;
    bool m_pressed = false;
    bool m_adds = false;
};
