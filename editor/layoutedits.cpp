#include "layoutedits.h"

#include "editor/editorstate.h"

#include <QKeyEvent>

#include <algorithm>

DropPlan planDrop(const EditorState &s, const Configuration &current, const DragPayload &payload,
                  QPoint d)
{
    DropPlan plan;
    const int n = int(payload.channels.size());
    const bool old = payload.kind == DragPayload::Kind::Old;

    const int minLeftCell = selectedMinLeft(s, current);
    const int minTopCell = selectedMinTop(s, current);
    int gx = d.x() - ((selectedMaxRight(s, current) - minLeftCell) * s.cellWidth) / 2;
    if (gx < s.spareWidth / 2)
        gx = s.spareWidth / 2 + 1;
    int gy = d.y() - ((selectedMaxBottom(s, current) - minTopCell) * s.cellHeight) / 2;
    if (gy < s.spareHeight / 2)
        gy = s.spareHeight / 2 + 1;

    QList<int> moved;
    for (int channel : payload.channels)
        moved.append(channel - 1);

    int shift = 0;
    for (int k = 0; k < n; ++k) {
        const int i = payload.channels.at(k) - 1;
        const ChannelEntry &entry = current.channels[i];
        int x = 0;
        int y = 0;
        int w = 2;
        int h = 2;
        if (old) {
            // A moved tile must be one that stands on the canvas; an empty rectangle
            // would be written as a placed tile of no size. The group's box comes from
            // the selection, so a tile outside it (a payload from another program, or
            // a selection cleared by a readout during the drag) has no place to go.
            if (entry.placed != 1 || entry.right <= entry.left || entry.bottom <= entry.top
                || !s.selectedChannels.contains(i)) {
                plan.allowed = false;
                continue;
            }
            x = (entry.left - minLeftCell) * s.cellWidth + gx;
            y = (entry.top - minTopCell) * s.cellHeight + gy;
            w = entry.right - entry.left;
            h = entry.bottom - entry.top;
        } else {
            x = 2 * s.cellWidth * k + d.x() - n * s.cellWidth;
            if (x < 0)
                shift = n * s.cellWidth;
            x += shift;
            y = d.y() - s.cellHeight;
            if (y < s.spareHeight / 2)
                y = s.spareHeight / 2 + 1;
        }
        const int row = snapToRowClamped(s, y);
        const int col = snapToColumnClamped(s, x);
        const RasterRect rect{col, row, col + w, row + h};
        // The record holds raster lines 0 to 255 only.
        if (rect.right > kMaxRasterLines || rect.bottom > kMaxRasterLines)
            plan.allowed = false;
        // The tiles that move leave their cells; every other placed tile keeps them.
        if (overlapsPlaced(current, rect, {i}))
            plan.allowed = false;
        // Snapping at the raster's end can bring two tiles of one drop onto the same
        // cells; such a drop is refused like any other overlap.
        for (const RasterRect &other : std::as_const(plan.rects)) {
            if (rectanglesOverlap(rect, other))
                plan.allowed = false;
        }
        plan.indices.append(i);
        plan.rects.append(rect);
    }
    return plan;
}

std::optional<Configuration> movedTiles(const Configuration &config, const QList<int> &tiles,
                                        QPoint step)
{
    Configuration after = config;
    for (int i : tiles) {
        RasterRect r = rasterRectOf(config.channels[i]);
        r.left += step.x();
        r.right += step.x();
        r.top += step.y();
        r.bottom += step.y();
        if (r.left < 0 || r.top < 0 || r.right > kMaxRasterLines || r.bottom > kMaxRasterLines
            || overlapsPlaced(config, r, tiles))
            return std::nullopt;
        ChannelEntry &e = after.channels[i];
        e.left = quint8(r.left);
        e.right = quint8(r.right);
        e.top = quint8(r.top);
        e.bottom = quint8(r.bottom);
    }
    return after;
}

std::optional<Configuration> resizedTile(const Configuration &config, int channel, QPoint step)
{
    RasterRect r = rasterRectOf(config.channels[channel]);
    r.right += step.x();
    r.bottom += step.y();
    if (r.width() < 2 || r.height() < 2 || r.right > kMaxRasterLines || r.bottom > kMaxRasterLines
        || overlapsPlaced(config, r, {channel}))
        return std::nullopt;
    Configuration after = config;
    after.channels[channel].right = quint8(r.right);
    after.channels[channel].bottom = quint8(r.bottom);
    return after;
}

Configuration withoutTiles(const Configuration &config, const QList<int> &tiles)
{
    Configuration after = config;
    for (int i : tiles) {
        ChannelEntry &e = after.channels[i];
        e.placed = e.left = e.top = e.right = e.bottom = 0;
    }
    return after;
}

KeyEdit keyEditFor(const QKeyEvent &event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (event.matches(QKeySequence::SelectAll))
        return {KeyEdit::SelectAll, {}};
    QPoint step;
    switch (event.key()) {
    case Qt::Key_Escape:
        return {modifiers == Qt::NoModifier ? KeyEdit::ClearSelection : KeyEdit::None, {}};
    case Qt::Key_Delete:
        return {modifiers == Qt::NoModifier ? KeyEdit::Remove : KeyEdit::None, {}};
    case Qt::Key_Space:
        return {modifiers == Qt::NoModifier ? KeyEdit::ToggleFocused : KeyEdit::None, {}};
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return {modifiers == Qt::NoModifier ? KeyEdit::Resolution : KeyEdit::None, {}};
    case Qt::Key_Left:
        step = QPoint(-1, 0);
        break;
    case Qt::Key_Right:
        step = QPoint(1, 0);
        break;
    case Qt::Key_Up:
        step = QPoint(0, -1);
        break;
    case Qt::Key_Down:
        step = QPoint(0, 1);
        break;
    default:
        return {};
    }
    if (modifiers == Qt::NoModifier)
        return {KeyEdit::Move, step};
    if (modifiers == Qt::ShiftModifier)
        return {KeyEdit::Resize, step};
    return {};
}

QPoint autoScrollPace(QSize view, QPoint pointer, int cellWidth)
{
    constexpr int kSlowest = 2;
    constexpr int kFastest = 16;
    const int band = std::max(1, std::min(cellWidth, view.width() / 4));
    const auto pace = [band](int distance) {
        const int depth = std::clamp(band - distance, 0, band);
        return kSlowest + (kFastest - kSlowest) * depth / band;
    };
    int vx = 0;
    int vy = 0;
    if (pointer.x() < band)
        vx = -pace(pointer.x());
    else if (pointer.x() > view.width() - band)
        vx = pace(view.width() - pointer.x());
    if (pointer.y() < band)
        vy = -pace(pointer.y());
    else if (pointer.y() > view.height() - band)
        vy = pace(view.height() - pointer.y());
    return QPoint(vx, vy);
}

Configuration withDrop(const Configuration &config, const DropPlan &plan)
{
    Configuration after = config;
    for (int k = 0; k < plan.indices.size() && k < plan.rects.size(); ++k) {
        const RasterRect &rect = plan.rects.at(k);
        ChannelEntry &target = after.channels[plan.indices.at(k)];
        target.placed = 1;
        target.left = quint8(rect.left);
        target.right = quint8(rect.right);
        target.top = quint8(rect.top);
        target.bottom = quint8(rect.bottom);
    }
    return after;
}
