#include "document/configuration.h"
#include "editor/editorimages.h"
#include "editor/editorstate.h"
#include "editor/rastergeometry.h"

#include <QImage>
#include <QTest>

// Raster measurement, snapping, overlap, tile placement, the selection set and the
// translucent images, on the 1000 x 500 canvas that the editor's worked examples use.
class tst_RasterGeometry : public QObject
{
    Q_OBJECT

private slots:
    void measure_data();
    void measure();
    void snap_data();
    void snap();
    void overlap_data();
    void overlap();
    void tilePlacement();
    void selectionKeepsInsertionOrder();
    void selectionExtents();
    void outlineImagePixels();
    void dragPieceShowsDigitInUpperLeftQuarter();
    void oldDragImageKeepsRelativePlaces();
};

static EditorState canvas1000x500()
{
    EditorState s;
    measureRaster(s, 1000, 500);
    return s;
}

void tst_RasterGeometry::measure_data()
{
    QTest::addColumn<QSize>("canvas");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("spareWidth");
    QTest::addColumn<int>("spareHeight");

    QTest::newRow("1000x500") << QSize(1000, 500) << 21 << 10 << 34 << 40;
    QTest::newRow("exact cells") << QSize(92, 46) << 2 << 1 << 0 << 0;
    QTest::newRow("smaller than a cell") << QSize(45, 10) << 0 << 0 << 45 << 10;
    // Pixels beyond 255 cells count as spare.
    QTest::newRow("wider than 255 cells")
            << QSize(260 * 46, 300 * 46 + 7) << 255 << 255 << 5 * 46 << 45 * 46 + 7;
}

void tst_RasterGeometry::measure()
{
    QFETCH(QSize, canvas);
    EditorState s;
    measureRaster(s, canvas.width(), canvas.height());
    QFETCH(int, columns);
    QFETCH(int, rows);
    QFETCH(int, spareWidth);
    QFETCH(int, spareHeight);
    QCOMPARE(s.rasterColumns, columns);
    QCOMPARE(s.rasterRows, rows);
    QCOMPARE(s.spareWidth, spareWidth);
    QCOMPARE(s.spareHeight, spareHeight);
}

void tst_RasterGeometry::snap_data()
{
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<int>("pos");
    QTest::addColumn<int>("expected"); // -1 = no result
    QTest::addColumn<int>("clamped");

    // Raster origin (17, 20), 21 columns up to x 983, 10 rows up to y 480.
    QTest::newRow("x 22 into column 0") << false << 17 + 22 << 0 << 0;
    QTest::newRow("x half a cell goes to the later line") << false << 17 + 23 << 1 << 1;
    QTest::newRow("x at the origin") << false << 17 << 0 << 0;
    QTest::newRow("x left of the raster") << false << 10 << -1 << 0;
    QTest::newRow("x last pixel of the raster") << false << 982 << 21 << 21;
    QTest::newRow("x beyond the raster") << false << 983 << -1 << 21;
    QTest::newRow("y 22 into row 1") << true << 20 + 46 + 22 << 1 << 1;
    QTest::newRow("y 23 into row 1") << true << 20 + 46 + 23 << 2 << 2;
    QTest::newRow("y above the raster") << true << 19 << -1 << 0;
    QTest::newRow("y below the raster") << true << 480 << -1 << 10;
}

void tst_RasterGeometry::snap()
{
    QFETCH(bool, vertical);
    QFETCH(int, pos);
    QFETCH(int, expected);
    const EditorState s = canvas1000x500();
    const auto line = vertical ? snapToRow(s, pos) : snapToColumn(s, pos);
    QCOMPARE(line.value_or(-1), expected);
    QFETCH(int, clamped);
    QCOMPARE(vertical ? snapToRowClamped(s, pos) : snapToColumnClamped(s, pos), clamped);
}

void tst_RasterGeometry::overlap_data()
{
    QTest::addColumn<QRect>("a"); // left, top, right, bottom stored as QRect(x1,y1)-(x2,y2)
    QTest::addColumn<QRect>("b");
    QTest::addColumn<bool>("overlap");

    auto r = [](int l, int t, int rr, int b) { return QRect(QPoint(l, t), QPoint(rr, b)); };
    QTest::newRow("touching along a column line") << r(0, 0, 2, 2) << r(2, 0, 4, 2) << false;
    QTest::newRow("touching along a row line") << r(0, 0, 2, 2) << r(0, 2, 2, 4) << false;
    QTest::newRow("sharing one cell") << r(0, 0, 2, 2) << r(1, 1, 3, 3) << true;
    QTest::newRow("contained") << r(0, 0, 6, 6) << r(2, 2, 3, 3) << true;
    QTest::newRow("same columns, rows apart") << r(0, 0, 2, 2) << r(0, 5, 2, 7) << false;
}

void tst_RasterGeometry::overlap()
{
    QFETCH(QRect, a);
    QFETCH(QRect, b);
    const RasterRect ra{a.left(), a.top(), a.right(), a.bottom()};
    const RasterRect rb{b.left(), b.top(), b.right(), b.bottom()};
    QFETCH(bool, overlap);
    QCOMPARE(rectanglesOverlap(ra, rb), overlap);
    QCOMPARE(rectanglesOverlap(rb, ra), rectanglesOverlap(ra, rb));
}

void tst_RasterGeometry::tilePlacement()
{
    const EditorState s = canvas1000x500();
    const ChannelEntry e{1, 2, 1, 4, 3, 0, 0};
    QCOMPARE(tilePosition(s, e), QPoint(109, 66));
    QCOMPARE(tileSize(s, e), QSize(93, 93));
    QCOMPARE(QString::fromLatin1(tileColour), QStringLiteral("rgb(220,220,220)"));
}

void tst_RasterGeometry::selectionKeepsInsertionOrder()
{
    ChannelSelection set;
    set.add(3);
    set.add(0);
    set.add(5);
    set.add(3); // already there: order unchanged
    set.add(8); // not a channel index
    set.add(-1);
    QCOMPARE(set.items(), QList<int>({3, 0, 5}));
    set.remove(3);
    QCOMPARE(set.items(), QList<int>({0, 5}));
    set.remove(7);
    QCOMPARE(set.size(), 2);
    QVERIFY(set.contains(5));
    QVERIFY(!set.contains(3));
}

void tst_RasterGeometry::selectionExtents()
{
    EditorState s;
    Configuration c;
    QCOMPARE(selectedMinLeft(s, c), -1);
    QCOMPARE(selectedMaxBottom(s, c), -1);

    c.channels[1] = ChannelEntry{1, 4, 2, 6, 5, 0, 0};
    c.channels[6] = ChannelEntry{0, 1, 3, 3, 9, 0, 0}; // not placed: still counted
    s.selectedChannels.add(1);
    s.selectedChannels.add(6);
    QCOMPARE(selectedMinLeft(s, c), 1);
    QCOMPARE(selectedMinTop(s, c), 2);
    QCOMPARE(selectedMaxRight(s, c), 6);
    QCOMPARE(selectedMaxBottom(s, c), 9);
}

void tst_RasterGeometry::outlineImagePixels()
{
    QVERIFY(outlineImage(0, 10).isNull());
    QVERIFY(outlineImage(10, -1).isNull());

    const QImage image = outlineImage(20, 10).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(20, 10));
    // Border along every edge, white inside, both at alpha 150.
    for (const QPoint &p : {QPoint(0, 0), QPoint(19, 0), QPoint(0, 9), QPoint(19, 9)}) {
        const QColor border = image.pixelColor(p);
        QCOMPARE(border.alpha(), 150);
        QCOMPARE(border.red(), 0);
    }
    const QColor inside = image.pixelColor(5, 5);
    QCOMPARE(inside.alpha(), 150);
    QCOMPARE(inside.red(), 255);
    QCOMPARE(inside.blue(), 255);
}

static int darkPixels(const QImage &image, const QRect &area)
{
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qRed(image.pixel(x, y)) < 128 && qAlpha(image.pixel(x, y)) > 0)
                ++dark;
    return dark;
}

void tst_RasterGeometry::dragPieceShowsDigitInUpperLeftQuarter()
{
    const QImage piece = dragImagePiece(92, 92, QStringLiteral("7"))
                                 .toImage()
                                 .convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(piece.size(), QSize(92, 92));
    QVERIFY(darkPixels(piece, QRect(2, 2, 42, 42)) > 0);
    QCOMPARE(darkPixels(piece, QRect(48, 48, 40, 40)), 0);
    QCOMPARE(qAlpha(piece.pixel(60, 60)), 150);
}

void tst_RasterGeometry::oldDragImageKeepsRelativePlaces()
{
    EditorState s;
    Configuration c;
    c.channels[3] = ChannelEntry{1, 2, 0, 4, 2, 0, 0};
    c.channels[0] = ChannelEntry{1, 5, 1, 8, 4, 0, 0};
    s.selectedChannels.add(3);
    s.selectedChannels.add(0);
    const QImage image = oldDragImage(s, c).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(6 * 46, 4 * 46));
    // Channel 4's piece at (0, 0), channel 1's at (3 cells, 1 cell); between them nothing.
    QCOMPARE(qAlpha(image.pixel(10, 10)), 150);
    QCOMPARE(qAlpha(image.pixel(3 * 46 + 10, 46 + 10)), 150);
    QCOMPARE(qAlpha(image.pixel(2 * 46 + 20, 10)), 0);
    QCOMPARE(qAlpha(image.pixel(10, 3 * 46 + 10)), 0);
}

QTEST_MAIN(tst_RasterGeometry)
#include "tst_rastergeometry.moc"
