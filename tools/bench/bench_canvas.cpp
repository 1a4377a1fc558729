// Measures the raster canvas by hand (not run by CTest), offscreen, in a 1016 x 768
// scroll viewport:
//  1. repainting the visible part of a 21 x 16 and of a 255 x 255 raster
//     (goal: the large raster costs no more than 1.5 x the small one),
//  2. one auto-grow step of a drag near the right edge: the drag move that adds a
//     column, the scroll area's relayout and the repaint of the visible part.
#include "document/document.h"
#include "editor/editorstate.h"
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

void benchRepaint(int columns, int rows)
{
    Bench b(false);
    b.canvas->resize(columns * 46 + 2, rows * 46 + 2);
    QCoreApplication::processEvents();
    b.area.horizontalScrollBar()->setValue(b.area.horizontalScrollBar()->maximum() / 2);
    b.area.verticalScrollBar()->setValue(b.area.verticalScrollBar()->maximum() / 2);
    QCoreApplication::processEvents();
    const QRect visible = b.visiblePart();
    b.placeTilesAround((visible.x() + 100) / 46, (visible.y() + 100) / 46);
    QCoreApplication::processEvents();

    std::vector<long long> samples;
    QElapsedTimer t;
    for (int i = 0; i < kRepaints; ++i) {
        t.start();
        b.canvas->repaint(visible);
        samples.push_back(t.nsecsElapsed() / 1000);
    }
    std::printf("repaint raster=%dx%d viewport=%dx%d median_us=%lld\n", b.state.rasterColumns,
                b.state.rasterRows, kViewport.width(), kViewport.height(), median(samples));
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

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchRepaint(21, 16);
    benchRepaint(255, 255);
    benchAutoGrow(22, 50);
    benchAutoGrow(200, 50);
    return 0;
}
