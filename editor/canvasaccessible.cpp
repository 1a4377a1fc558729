#include "canvasaccessible.h"

#include "document/configuration.h"
#include "editor/configwidget.h"
#include "editor/rasterwidget.h"
#include "editor/tileaccessible.h"

namespace {

QAccessibleInterface *editorInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("RasterWidget"))
        return new CanvasAccessible(static_cast<RasterWidget *>(object));
    if (className == QLatin1String("configwidget"))
        return new TileAccessible(static_cast<configwidget *>(object));
    return nullptr;
}

} // namespace

CanvasAccessible::CanvasAccessible(RasterWidget *canvas)
    : QAccessibleWidget(canvas, QAccessible::List)
{
}

void CanvasAccessible::installFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(editorInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

QList<QWidget *> CanvasAccessible::shownTiles() const
{
    const auto *canvas = static_cast<const RasterWidget *>(widget());
    QList<QWidget *> shown;
    for (int i = 0; i < kMaxChannels; ++i) {
        if (configwidget *t = canvas->tile(i); t && !t->isHidden())
            shown.append(t);
    }
    return shown;
}

QAccessible::State CanvasAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.multiSelectable = true;
    return s;
}

int CanvasAccessible::childCount() const
{
    return int(shownTiles().size());
}

QAccessibleInterface *CanvasAccessible::child(int index) const
{
    const QList<QWidget *> shown = shownTiles();
    if (index < 0 || index >= shown.size())
        return nullptr;
    return QAccessible::queryAccessibleInterface(shown.at(index));
}

int CanvasAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (!child)
        return -1;
    return int(shownTiles().indexOf(qobject_cast<QWidget *>(child->object())));
}
