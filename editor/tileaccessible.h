#pragma once

#include <QAccessibleWidget>

struct ChannelEntry;
struct Configuration;
class configwidget;

// What assistive technology (a screen reader) learns of a tile: one selectable list item
// named after its channel and described by its resolution and its cells. The labels
// inside the tile are not exposed apart from it.
class TileAccessible : public QAccessibleWidget
{
public:
    explicit TileAccessible(configwidget *tile);

    QAccessible::State state() const override;
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    // "1920 × 1080, columns 3–6, rows 2–4" for an entry at [2, 6) × [1, 4), in the
    // current language; empty for an entry that is not placed.
    static QString description(const ChannelEntry &entry);
    // Where the pointer leaves the channel's screen for another, by neighbour channel:
    // "crosses to Channel 2 on the right (rows 1–2) and to Channel 3 below". A span is
    // named where the seam covers only part of the tile's edge. Empty without crossings.
    static QString crossingsText(const Configuration &config, int channel);
    // The entry's description followed by its crossings.
    static QString description(const Configuration &config, int channel);

private:
    configwidget *tile() const;
};
