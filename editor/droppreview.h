#pragma once

#include <QList>
#include <QRect>
#include <QWidget>

// Drawn above the tiles of the canvas: where the tiles of a drag would land, tinted red
// where the drop would be refused. It lets every mouse and drag event through.
class DropPreview : public QWidget
{
public:
    explicit DropPreview(QWidget *parent);

    void setRects(const QList<QRect> &rects, bool refused);
    const QList<QRect> &rects() const { return m_rects; }
    bool refused() const { return m_refused; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<QRect> m_rects;
    bool m_refused = false;
};
