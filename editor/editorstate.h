#pragma once

#include <QList>

struct Configuration;

// The tiles selected on the canvas: distinct channel indices 0..7 in the order in
// which they were selected.
class ChannelSelection
{
public:
    void clear() { m_items.clear(); }
    bool contains(int index) const { return m_items.contains(index); }
    void add(int index)
    {
        if (index >= 0 && index < 8 && !m_items.contains(index))
            m_items.append(index);
    }
    void remove(int index) { m_items.removeOne(index); }
    int size() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.isEmpty(); }
    int at(int k) const { return m_items.at(k); }
    const QList<int> &items() const { return m_items; }

private:
    QList<int> m_items;
};

// Raster geometry of the canvas's last paint, the tile selection and the Control
// key, shared by the canvas, the tiles, the channel list, the editor slots of the
// main window and printing. The main window owns one and hands it out.
struct EditorState
{
    int cellWidth = 46;
    int cellHeight = 46;
    // Written at the start of every paint of the canvas; 0 before the first.
    int canvasWidth = 0;
    int canvasHeight = 0;
    int rasterColumns = 0; // canvasWidth / cellWidth, at most 255
    int rasterRows = 0;
    int spareWidth = 0; // canvasWidth - rasterColumns * cellWidth
    int spareHeight = 0;
    ChannelSelection selectedChannels;
    bool ctrlPressed = false;
};

constexpr int kMaxRasterLines = 255;

// Extent of the selected entries of a configuration; -1 for an empty selection.
// They do not look at `placed`.
int selectedMinLeft(const EditorState &state, const Configuration &config);
int selectedMinTop(const EditorState &state, const Configuration &config);
int selectedMaxRight(const EditorState &state, const Configuration &config);
int selectedMaxBottom(const EditorState &state, const Configuration &config);
