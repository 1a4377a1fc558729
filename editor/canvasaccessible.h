#pragma once

#include <QAccessibleWidget>

class RasterWidget;

// The canvas as assistive technology sees it: a list of the tiles that stand on it, in
// channel order. Hidden tiles, the drop preview and the selection rectangle stay out.
class CanvasAccessible : public QAccessibleWidget
{
public:
    explicit CanvasAccessible(RasterWidget *canvas);

    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;

    // Lets Qt build these interfaces for the canvas and its tiles; once is enough.
    static void installFactory();

private:
    QList<QWidget *> shownTiles() const;
};
