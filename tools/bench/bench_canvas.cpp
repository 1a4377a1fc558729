// Measures the raster canvas by hand (not run by CTest), offscreen, in a 1016 x 768
// scroll viewport:
//  1. repainting the visible part of a 21 x 16 and of a 255 x 255 raster
//     (goal: the large raster costs no more than 1.5 x the small one), and the large
//     one again with every tile marked by the layout check (goal: no more than 1.5 x
//     the same repaint without marks),
//  2. one auto-grow step of a drag near the right edge: the drag move that adds a
//     column, the scroll area's relayout and the repaint of the visible part,
//  3. the layout check on a full 8-channel layout, alone and with the marking of the
//     tiles that follows each change (goal: under 1 ms).
#include "document/document.h"
#include "document/layoutcheck.h"
#include "editor/configwidget.h"
#include "editor/editorstate.h"
#include "editor/layoutmarks.h"
#include "editor/listmodel.h"
#include "editor/rasterwidget.h"

#include <QApplication>
#include <QDragMoveEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

const QSize kViewport(1016, 768);
const int kRepaints = 200;

long long median(std::vector<long long> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// A canvas with four placed tiles inside a scroll area whose viewport is kViewport.
struct Bench
{
    Document document;
    DocumentChanges changes{document};
    EditorState state;
    ListModel listModel{&document};
    QScrollArea area;
    RasterWidget *canvas = new RasterWidget;

    explicit Bench(bool resizable)
    {
        document.currentConfig.channelCount = 8;
        canvas->setContext(&changes, &state, &listModel);
        area.setFrameShape(QFrame::NoFrame);
        area.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        area.setWidgetResizable(resizable);
        area.setWidget(canvas);
        area.resize(kViewport);
        area.show();
        QCoreApplication::processEvents();
    }

    void placeTilesAround(int column, int row)
    {
        for (int i = 0; i < 4; ++i) {
            ChannelEntry &e = document.currentConfig.channels[i];
            e.placed = 1;
            e.left = quint8(column + 3 * i);
            e.right = quint8(column + 3 * i + 2);
            e.top = quint8(row);
            e.bottom = quint8(row + 2);
        }
        canvas->rebuildFromConfig();
    }

    QRect visiblePart() const { return canvas->visibleRegion().boundingRect(); }
};

void benchRepaint(int columns, int rows, bool marked = false)
{
    Bench b(false);
    b.canvas->resize(columns * 46 + 2, rows * 46 + 2);
    QCoreApplication::processEvents();
    b.area.horizontalScrollBar()->setValue(b.area.horizontalScrollBar()->maximum() / 2);
    b.area.verticalScrollBar()->setValue(b.area.verticalScrollBar()->maximum() / 2);
    QCoreApplication::processEvents();
    const QRect visible = b.visiblePart();
    b.placeTilesAround((visible.x() + 100) / 46, (visible.y() + 100) / 46);
    // The tiles stand apart and have no resolution: each has two problems.
    std::optional<LayoutMarks> marks;
    if (marked)
        marks.emplace(b.changes, *b.canvas, nullptr);
    int tilesMarked = 0;
    for (int i = 0; i < kMaxChannels; ++i)
        tilesMarked += b.canvas->tile(i)->isMarked();
    QCoreApplication::processEvents();

    std::vector<long long> samples;
    QElapsedTimer t;
    for (int i = 0; i < kRepaints; ++i) {
        t.start();
        b.canvas->repaint(visible);
        samples.push_back(t.nsecsElapsed() / 1000);
    }
    std::printf("repaint raster=%dx%d viewport=%dx%d marked_tiles=%d median_us=%lld\n",
                b.state.rasterColumns, b.state.rasterRows, kViewport.width(), kViewport.height(),
                tilesMarked, median(samples));
}

void benchAutoGrow(int startColumns, int steps)
{
    Bench b(true);
    b.canvas->setMinimumWidth(startColumns * 46 + 30);
    QCoreApplication::processEvents();
    b.canvas->repaint();

    QMimeData mime;
    mime.setText(QStringLiteral("OVSnew11"));
    QDragEnterEvent enter(QPoint(b.canvas->width() - 60, 300), Qt::MoveAction, &mime,
                          Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(b.canvas, &enter);

    std::vector<long long> samples;
    QElapsedTimer t;
    int grown = 0;
    for (int i = 0; i < steps; ++i) {
        const int before = b.state.rasterColumns;
        const QPoint p(b.canvas->width() - 40, 300);
        t.start();
        QDragMoveEvent move(p, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(b.canvas, &move);
        QCoreApplication::processEvents();
        b.canvas->repaint(b.visiblePart());
        samples.push_back(t.nsecsElapsed() / 1000);
        grown += b.state.rasterColumns - before;
    }
    std::printf("autogrow from=%d steps=%d columns_added=%d viewport=%dx%d median_us=%lld\n",
                startColumns, steps, grown, kViewport.width(), kViewport.height(), median(samples));
}

// Eight screens in two groups of four, switching on: the check walks every pair and
// the groups, and finds one cut off.
Configuration fullLayout()
{
    Configuration c;
    c.channelCount = 8;
    c.switchingEnabled = 1;
    for (int i = 0; i < kMaxChannels; ++i) {
        const int column = (i % 4) * 2 + (i / 4) * 10;
        c.channels[i] = ChannelEntry{1, quint8(column), 0, quint8(column + 2), 2, 1920, 1080};
    }
    return c;
}

void benchCheck()
{
    const Configuration layout = fullLayout();
    const int rounds = 10000;
    QElapsedTimer t;
    std::vector<long long> samples;
    qsizetype found = 0;
    for (int i = 0; i < rounds; ++i) {
        t.start();
        found += checkLayout(layout).size();
        samples.push_back(t.nsecsElapsed());
    }
    std::printf("check channels=8 problems=%lld median_ns=%lld\n", (long long)(found / rounds),
                median(samples));

    // What each announcement costs: the check, the texts and the tiles' marks. The two
    // layouts take turns so that every round changes the marks.
    Bench b(false);
    Configuration joined = layout;
    for (int i = 4; i < kMaxChannels; ++i) {
        joined.channels[i].top = 2;
        joined.channels[i].bottom = 4;
        joined.channels[i].left = quint8(joined.channels[i].left - 10);
        joined.channels[i].right = quint8(joined.channels[i].right - 10);
    }
    b.changes.replaceAll(layout);
    LayoutMarks marks(b.changes, *b.canvas, nullptr);
    samples.clear();
    for (int i = 0; i < 2000; ++i) {
        b.document.currentConfig = i % 2 ? joined : layout;
        t.start();
        marks.update();
        samples.push_back(t.nsecsElapsed());
    }
    std::printf("marks channels=8 median_ns=%lld\n", median(samples));
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchRepaint(21, 16);
    benchRepaint(255, 255);
    benchRepaint(255, 255, true);
    benchAutoGrow(22, 50);
    benchAutoGrow(200, 50);
    benchCheck();
    return 0;
}
