#include "editortestsupport.h"

#include "editor/configwidget.h"
#include "editor/crossingmarks.h"
#include "editor/dropwidget.h"
#include "editor/mylistview.h"

#include <QImage>
#include <QKeySequence>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// The canvas: painting, drops with snapping and the overlap rule, growth during a
// drag, rebuilding from the configuration and removal of tiles.
class tst_RasterWidget : public QObject
{
    Q_OBJECT

private slots:
    void metaObjectInterface_data();
    void metaObjectInterface();
    void paintMovesTilesToTheirRasterPlace();
    void partialRepaintMatchesFullPaint_data();
    void partialRepaintMatchesFullPaint();
    void dropNewChannels_data();
    void dropNewChannels();
    void groupMove_data();
    void groupMove();
    void malformedPayloadsAreRefused_data();
    void malformedPayloadsAreRefused();
    void oldPayloadOutsideTheSelectionIsRefused_data();
    void oldPayloadOutsideTheSelectionIsRefused();
    void dropAtTheRasterLimitNeverWraps();
    void rebuildFromConfig();
    void dragGrowsOneColumnPerMoveUpTo255();
    void childDeletion();
    void resizeKeepsTilesReachable();
    void dragShowsWhereTilesLand();
    void crossingMarksFollowTheLayout();
    void keyboardEditing_data();
    void keyboardEditing();
    void selectByRectangle_data();
    void selectByRectangle();
};

static void compareEntries(const Configuration &actual, const Configuration &expected)
{
    for (int i = 0; i < kMaxChannels; ++i) {
        const ChannelEntry &a = actual.channels[i];
        const ChannelEntry &e = expected.channels[i];
        if (a != e) {
            QFAIL(qPrintable(QStringLiteral("channel %1: placed %2 [%3,%4)x[%5,%6), expected "
                                            "placed %7 [%8,%9)x[%10,%11)")
                                     .arg(i + 1)
                                     .arg(a.placed)
                                     .arg(a.left)
                                     .arg(a.right)
                                     .arg(a.top)
                                     .arg(a.bottom)
                                     .arg(e.placed)
                                     .arg(e.left)
                                     .arg(e.right)
                                     .arg(e.top)
                                     .arg(e.bottom)));
        }
    }
}

void tst_RasterWidget::paintMovesTilesToTheirRasterPlace()
{
    EditorFixture f(4, QSize(10, 10));
    f.config().channels[0] = placedAt(2, 1, 4, 3);
    f.canvas.rebuildFromConfig();
    f.canvas.resize(1000, 500);
    f.paint();
    QCOMPARE(f.canvas.tile(0)->pos(), QPoint(109, 66));
    QCOMPARE(f.canvas.tile(0)->size(), QSize(93, 93));
    QCOMPARE(f.canvas.tile(0)->background(), QStringLiteral("rgb(220,220,220)"));
}

void tst_RasterWidget::partialRepaintMatchesFullPaint_data()
{
    QTest::addColumn<QRect>("exposed");
    QTest::newRow("top left corner") << QRect(0, 0, 30, 30);
    QTest::newRow("starts on a cell line") << QRect(63, 66, 47, 47);
    QTest::newRow("starts one past a line") << QRect(64, 67, 100, 20);
    QTest::newRow("inside one cell") << QRect(70, 70, 5, 5);
    QTest::newRow("bottom right spare") << QRect(940, 440, 60, 60);
}

// The paint walks only the cells meeting the exposed rectangle; what it draws there
// must be exactly what a full paint draws.
void tst_RasterWidget::partialRepaintMatchesFullPaint()
{
    QFETCH(QRect, exposed);
    EditorFixture f;
    QImage full(f.canvas.size(), QImage::Format_ARGB32);
    full.fill(Qt::red);
    f.canvas.render(&full);
    QImage part(f.canvas.size(), QImage::Format_ARGB32);
    part.fill(Qt::red);
    f.canvas.render(&part, exposed.topLeft(), QRegion(exposed));
    const QRect area = exposed.intersected(f.canvas.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (full.pixel(x, y) != part.pixel(x, y))
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 differs").arg(x).arg(y)));
}

void tst_RasterWidget::dropNewChannels_data()
{
    QTest::addColumn<Configuration>("before");
    QTest::addColumn<QString>("payload");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<Configuration>("after");
    QTest::addColumn<bool>("modified");

    // 1000 x 500 canvas: 21 columns, 10 rows, raster origin (17, 20).
    QTest::newRow("two channels at (200, 100)")
            << layout(4, {}) << "OVSnew212" << QPoint(200, 100)
            << layout(4, {{0, cells(2, 1, 4, 3)}, {1, cells(4, 1, 6, 3)}}) << true;
    QTest::newRow("second overlaps a placed tile: nothing placed")
            << layout(4, {{2, cells(5, 2, 7, 4)}}) << "OVSnew212" << QPoint(200, 100)
            << layout(4, {{2, cells(5, 2, 7, 4)}}) << false;
    QTest::newRow("touching a placed tile is fine")
            << layout(4, {{2, cells(6, 1, 8, 3)}}) << "OVSnew212" << QPoint(200, 100)
            << layout(4, {{0, cells(2, 1, 4, 3)}, {1, cells(4, 1, 6, 3)}, {2, cells(6, 1, 8, 3)}})
            << true;
    QTest::newRow("row left of the canvas shifts right")
            << layout(4, {}) << "OVSnew212" << QPoint(30, 100)
            << layout(4, {{0, cells(0, 1, 2, 3)}, {1, cells(2, 1, 4, 3)}}) << true;
    QTest::newRow("beyond the last column snaps to the last line")
            << layout(4, {}) << "OVSnew13" << QPoint(1070, 100)
            << layout(4, {{2, cells(21, 1, 23, 3)}}) << true;
    // Both tiles would snap to column 21: one drop never stacks two tiles.
    QTest::newRow("two tiles snapping to one line are refused")
            << layout(4, {}) << "OVSnew213" << QPoint(1070, 100) << layout(4, {}) << false;
    QTest::newRow("below the last row snaps to the last line")
            << layout(4, {}) << "OVSnew14" << QPoint(200, 600)
            << layout(4, {{3, cells(3, 10, 5, 12)}}) << true;
    QTest::newRow("above the raster goes to row 0") << layout(4, {}) << "OVSnew11" << QPoint(200, 2)
                                                    << layout(4, {{0, cells(3, 0, 5, 2)}}) << true;
    QTest::newRow("empty payload only marks modified")
            << layout(4, {{1, cells(0, 0, 2, 2)}}) << "OVSnew0" << QPoint(200, 100)
            << layout(4, {{1, cells(0, 0, 2, 2)}}) << true;
}

void tst_RasterWidget::dropNewChannels()
{
    QFETCH(Configuration, before);
    QFETCH(QString, payload);
    QFETCH(QPoint, pos);
    QFETCH(Configuration, after);
    QFETCH(bool, modified);

    EditorFixture f;
    f.document.currentConfig = before;
    f.canvas.rebuildFromConfig();
    f.paint();
    const int rowsBefore = f.listModel.rowCount();

    QVERIFY(sendDragEnter(&f.canvas, payload, pos));
    sendDrop(&f.canvas, payload, pos);

    compareEntries(f.config(), after);
    QCOMPARE(f.document.modified, modified);
    int placedNow = 0;
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(f.canvas.tile(i)->isVisibleTo(&f.canvas), f.config().channels[i].placed == 1);
        placedNow += f.config().channels[i].placed;
    }
    QCOMPARE(f.listModel.rowCount(), 4 - placedNow);
    if (f.config() != before) {
        // The dropped tiles are selected, and the list lost their rows.
        QVERIFY(f.listModel.rowCount() < rowsBefore);
        QVERIFY(f.state.selectedChannels.size() > 0);
    }
}

void tst_RasterWidget::groupMove_data()
{
    QTest::addColumn<int>("columns");
    QTest::addColumn<bool>("lands");
    QTest::newRow("one column") << 1 << false;
    QTest::newRow("two columns") << 2 << false;
    QTest::newRow("three columns") << 3 << false;
    QTest::newRow("four columns") << 4 << true;
    QTest::newRow("seven columns") << 7 << true;
}

// Members of a moved group block each other at their old places.
void tst_RasterWidget::groupMove()
{
    QFETCH(int, columns);
    QFETCH(bool, lands);
    EditorFixture f;
    f.document.currentConfig = layout(4, {{0, cells(0, 0, 2, 2)}, {1, cells(2, 0, 4, 2)}});
    f.canvas.rebuildFromConfig();
    f.canvas.showChannelTile(0);
    f.canvas.showChannelTile(1);
    QCOMPARE(f.canvas.tile(0)->dragText(), QStringLiteral("OVSold212"));

    // The bounding box (4 x 2 cells) is centred on the drop point.
    const QPoint drop(17 + columns * 46 + 1 + 2 * 46, 20 + 1 + 46);
    sendDrop(&f.canvas, QStringLiteral("OVSold212"), drop);

    const Configuration expected
            = lands ? layout(4, {{0, cells(columns, 0, columns + 2, 2)},
                                 {1, cells(columns + 2, 0, columns + 4, 2)}})
                    : layout(4, {{0, cells(0, 0, 2, 2)}, {1, cells(2, 0, 4, 2)}});
    compareEntries(f.config(), expected);
    QCOMPARE(f.document.modified, lands);
    if (lands)
        QCOMPARE(f.canvas.tile(1)->pos(), QPoint(17 + (columns + 2) * 46, 20));
}

void tst_RasterWidget::malformedPayloadsAreRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("not ours") << "hello";
    QTest::newRow("count above 8") << "OVSnew9123456789";
    QTest::newRow("count not a digit") << "OVSnew-1";
    QTest::newRow("missing channel digits") << "OVSnew312";
    QTest::newRow("channel 0") << "OVSnew10";
    QTest::newRow("channel beyond the count") << "OVSnew15";
    QTest::newRow("unknown kind") << "OVSxyz11";
}

void tst_RasterWidget::malformedPayloadsAreRefused()
{
    QFETCH(QString, text);
    EditorFixture f;
    f.document.currentConfig = layout(4, {{1, cells(0, 0, 2, 2)}});
    const Configuration before = f.config();

    QVERIFY(!sendDragEnter(&f.canvas, text, QPoint(200, 100)));
    QVERIFY(!sendDragMove(&f.canvas, text, QPoint(990, 490)));
    QVERIFY(!sendDrop(&f.canvas, text, QPoint(200, 100)));
    QVERIFY(f.config() == before);
    QVERIFY(!f.document.modified);
    QCOMPARE(f.canvas.minimumWidth(), 0);
}

void tst_RasterWidget::oldPayloadOutsideTheSelectionIsRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("selected");
    // A channel without a tile would be written as a placed tile of no size.
    QTest::newRow("channel without a tile") << "OVSold223" << QList<int>{1};
    // The group's box comes from the selection; a tile outside it has no place in it.
    QTest::newRow("placed tile not selected") << "OVSold11" << QList<int>{1};
    QTest::newRow("nothing selected") << "OVSold12" << QList<int>{};
}

// "old" payloads that do not name the selected tiles: from another program, or a
// selection cleared while the drag ran.
void tst_RasterWidget::oldPayloadOutsideTheSelectionIsRefused()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, selected);
    EditorFixture f;
    f.document.currentConfig = layout(4, {{0, cells(0, 0, 2, 2)}, {1, cells(4, 0, 6, 2)}});
    const Configuration before = f.config();
    f.canvas.rebuildFromConfig();
    for (int index : selected)
        f.canvas.showChannelTile(index);
    sendDrop(&f.canvas, text, QPoint(700, 200));
    compareEntries(f.config(), before);
    QVERIFY(!f.document.modified);
}

// The record keeps raster lines in 8 bits: a tile reaching past line 255 would wrap
// round to the left edge.
void tst_RasterWidget::dropAtTheRasterLimitNeverWraps()
{
    EditorFixture f(4, QSize(255 * 46 + 2, 500));
    QCOMPARE(f.state.rasterColumns, 255);
    const int lastCell = 1 + 254 * 46;
    sendDrop(&f.canvas, QStringLiteral("OVSnew11"), QPoint(lastCell + 40 + 46, 100));
    QCOMPARE(f.config().channels[0], ChannelEntry());
    QVERIFY(!f.document.modified);

    sendDrop(&f.canvas, QStringLiteral("OVSnew11"), QPoint(lastCell - 46 + 46, 100));
    QCOMPARE(f.config().channels[0], placedAt(253, 1, 255, 3));
}

void tst_RasterWidget::rebuildFromConfig()
{
    EditorFixture f;
    f.document.currentConfig = layout(4, {{0, cells(28, 0, 30, 2)},
                                          {3, cells(0, 12, 2, 14)},
                                          {5, cells(4, 4, 6, 6)}}); // 5 is beyond the count
    f.canvas.rebuildFromConfig();
    QCOMPARE(f.canvas.minimumSize(), QSize(30 * 46 + 2, 14 * 46 + 2));
    QCOMPARE(f.canvas.size(), QSize(30 * 46 + 2, 14 * 46 + 2));
    for (int i = 0; i < kMaxChannels; ++i) {
        QCOMPARE(f.canvas.tile(i)->isVisibleTo(&f.canvas), i == 0 || i == 3);
        QCOMPARE(f.canvas.tile(i)->isEnabled(), i == 0 || i == 3);
        QVERIFY(!f.canvas.tile(i)->isSelected());
    }
    QVERIFY(f.state.selectedChannels.isEmpty());
    QCOMPARE(f.listModel.rowCount(), 2);

    // Nothing placed: both minimums back to 0, every tile hidden, nothing selected.
    f.canvas.showChannelTile(0);
    resetConfiguration(f.document.currentConfig);
    f.canvas.rebuildFromConfig();
    QCOMPARE(f.canvas.minimumSize(), QSize(0, 0));
    for (int i = 0; i < kMaxChannels; ++i)
        QVERIFY(!f.canvas.tile(i)->isVisibleTo(&f.canvas));
    QVERIFY(f.state.selectedChannels.isEmpty());
}

void tst_RasterWidget::dragGrowsOneColumnPerMoveUpTo255()
{
    Document document;
    DocumentChanges changes(document);
    EditorState state;
    ListModel listModel(&document);
    QScrollArea area;
    area.setWidgetResizable(true);
    auto *canvas = new RasterWidget;
    canvas->setContext(&changes, &state, &listModel);
    area.setWidget(canvas);
    area.resize(1000, 600);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    canvas->setMinimumWidth(252 * 46 + 30);
    QCoreApplication::processEvents();
    canvas->grab();
    QCOMPARE(state.rasterColumns, 252);

    QSignalSpy scroll(canvas, SIGNAL(areaScroll(int, int)));
    QVERIFY(scroll.isValid());
    const QString text = QStringLiteral("OVSnew11");
    int x = canvas->width() - 60;
    QVERIFY(sendDragEnter(canvas, text, QPoint(x, 100)));
    for (int step = 1; step <= 5; ++step) {
        x = canvas->width() - 40;
        QVERIFY(sendDragMove(canvas, text, QPoint(x, 100)));
        const int expectedColumns = qMin(252 + step, 255);
        QCOMPARE(state.rasterColumns, expectedColumns);
        QCOMPARE(canvas->width(), expectedColumns * 46 + 2);
        QCOMPARE(state.spareWidth, 2);
    }
    // The view follows at a steady pace while the pointer rests at the edge, never by
    // the distance the pointer moved.
    QVERIFY(scroll.isEmpty());
    QVERIFY(canvas->autoScrollTimer()->isActive());
    QVERIFY(QMetaObject::invokeMethod(canvas->autoScrollTimer(), "timeout"));
    QCOMPARE(scroll.size(), 1);
    QVERIFY(scroll.at(0).at(0).toInt() > 0);
    QCOMPARE(scroll.at(0).at(1).toInt(), 0);
    QVERIFY(canvas->isAutoGrowing());
    QVERIFY(canvas->growthTimer()->isActive());
    QCOMPARE(canvas->growthTimer()->interval(), 250);

    // The timer ends the phase; the next resize then fits the minimum to the tiles.
    QVERIFY(QMetaObject::invokeMethod(canvas->growthTimer(), "timeout"));
    QVERIFY(!canvas->isAutoGrowing());
    QVERIFY(!canvas->growthTimer()->isActive());
}

void tst_RasterWidget::childDeletion()
{
    EditorFixture f;
    f.document.currentConfig
            = layout(4, {{0, cells(0, 0, 2, 2)}, {1, cells(2, 0, 4, 2)}, {2, cells(4, 0, 6, 2)}});
    f.config().channels[1].resolutionX = 1280;
    f.config().channels[1].resolutionY = 1024;
    f.canvas.rebuildFromConfig();
    f.canvas.showChannelTile(1);
    f.canvas.showChannelTile(0);
    QCOMPARE(f.listModel.rowCount(), 1);

    // A selected tile takes the whole selection with it.
    f.canvas.childDeletion(f.canvas.tile(0));
    Configuration expected = layout(4, {{2, cells(4, 0, 6, 2)}});
    expected.channels[1].resolutionX = 1280;
    expected.channels[1].resolutionY = 1024;
    compareEntries(f.config(), expected);
    QVERIFY(f.state.selectedChannels.isEmpty());
    QCOMPARE(f.listModel.rowCount(), 3);
    // A removal is a change like any other: Quit must ask.
    QVERIFY(f.document.modified);

    // An unselected tile goes alone, and the selection is cleared.
    f.document.currentConfig = layout(4, {{0, cells(0, 0, 2, 2)}, {2, cells(4, 0, 6, 2)}});
    f.canvas.rebuildFromConfig();
    f.canvas.showChannelTile(0);
    f.canvas.childDeletion(f.canvas.tile(2));
    compareEntries(f.config(), layout(4, {{0, cells(0, 0, 2, 2)}}));
    QVERIFY(f.state.selectedChannels.isEmpty());
    QVERIFY(f.canvas.tile(0)->isVisibleTo(&f.canvas));
    QVERIFY(!f.canvas.tile(0)->isSelected());
}

void tst_RasterWidget::resizeKeepsTilesReachable()
{
    EditorFixture f;
    f.canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.canvas));
    f.document.currentConfig = layout(4, {{0, cells(18, 7, 20, 9)}});
    f.canvas.resize(400, 300);
    QCOMPARE(f.canvas.minimumSize(), QSize(20 * 46 + 2, 9 * 46 + 2));
}

namespace {
// The signals and slots a class declares itself, in meta-object order.
QStringList ownMethods(const QMetaObject &meta)
{
    QStringList methods;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod m = meta.method(i);
        const char *kind = m.methodType() == QMetaMethod::Signal ? "signal " : "slot ";
        methods << QLatin1String(kind) + QString::fromLatin1(m.methodSignature());
    }
    return methods;
}
} // namespace

void tst_RasterWidget::metaObjectInterface_data()
{
    QTest::addColumn<const QMetaObject *>("meta");
    QTest::addColumn<QStringList>("methods");

    QTest::newRow("RasterWidget") << &RasterWidget::staticMetaObject
                                  << QStringList{"signal areaScroll(int,int)",
                                                 "slot paintResizeObject(int,int,int,int,int)",
                                                 "slot changeCtrlPressed(bool)",
                                                 "slot childLostFocus()",
                                                 "slot childGetsFocus(configwidget*)",
                                                 "slot childDeletion(configwidget*)",
                                                 "slot resizeTimerSlot()"};
    QTest::newRow("configwidget") << &configwidget::staticMetaObject
                                  << QStringList{"signal resizeInPorgress(int,int,int,int,int)",
                                                 "signal ctrlStateChanged(bool)",
                                                 "signal lostFocus()",
                                                 "signal getFocus(configwidget*)",
                                                 "signal deletion(configwidget*)",
                                                 "slot showContextMenu(QPoint)",
                                                 "slot deleteFromConfig()",
                                                 "slot openResolutionWindow()"};
    QTest::newRow("myListView") << &myListView::staticMetaObject
                                << QStringList{"signal gotFocus()",
                                               "signal addCannelsToConfig(QList<int>)",
                                               "slot mousePressEvent(QMouseEvent*)",
                                               "slot mouseMoveEvent(QMouseEvent*)",
                                               "slot focusInEvent(QFocusEvent*)",
                                               "slot contextMenuEvent(QContextMenuEvent*)",
                                               "slot dragEnterEvent(QDragEnterEvent*)",
                                               "slot dragMoveEvent(QDragMoveEvent*)",
                                               "slot dropEvent(QDropEvent*)",
                                               "slot addSelectedToConfig()",
                                               "slot showContextMenu(QPoint)"};
    QTest::newRow("DropWidget") << &DropWidget::staticMetaObject
                                << QStringList{"signal delChannelsFromConfig(QList<int>)",
                                               "slot dragEnterEvent(QDragEnterEvent*)",
                                               "slot dragMoveEvent(QDragMoveEvent*)",
                                               "slot dropEvent(QDropEvent*)"};
}

// The editor's objects are wired by string connections: a renamed or reordered
// signal or slot breaks them only at run time.
void tst_RasterWidget::metaObjectInterface()
{
    QFETCH(const QMetaObject *, meta);
    QFETCH(QStringList, methods);
    QCOMPARE(ownMethods(*meta), methods);
}

// The outline follows the drag; over an occupied cell it turns red and the move is
// refused, so the operator sees why a drop would not be taken.
void tst_RasterWidget::dragShowsWhereTilesLand()
{
    EditorFixture f;
    f.document.currentConfig = layout(4, {{0, cells(0, 0, 2, 2)}, {1, cells(4, 0, 6, 2)}});
    f.canvas.rebuildFromConfig();
    f.canvas.showChannelTile(0);
    const QString text = QStringLiteral("OVSold11");
    const QPoint origin(f.state.spareWidth / 2, f.state.spareHeight / 2);

    QVERIFY(sendDragEnter(&f.canvas, text, origin + QPoint(46, 46)));
    QVERIFY(sendDragMove(&f.canvas, text, origin + QPoint(2 * 46 + 46, 3 * 46 + 46)));
    QCOMPARE(f.canvas.dropPreview(), QList<QRect>{pixelRectOf(f.state, {2, 3, 4, 5})});
    QVERIFY(!f.canvas.dropPreviewRefused());

    QVERIFY(!sendDragMove(&f.canvas, text, origin + QPoint(4 * 46 + 46, 46)));
    QCOMPARE(f.canvas.dropPreview(), QList<QRect>{pixelRectOf(f.state, {4, 0, 6, 2})});
    QVERIFY(f.canvas.dropPreviewRefused());

    QDragLeaveEvent leave;
    QApplication::sendEvent(&f.canvas, &leave);
    QVERIFY(f.canvas.dropPreview().isEmpty());
    QVERIFY(!f.canvas.autoScrollTimer()->isActive());
}

// The green marks follow the layout: the drag's landing place before the drop, then
// every change of the document, and none with switching off.
void tst_RasterWidget::crossingMarksFollowTheLayout()
{
    EditorFixture f;
    f.changes.replaceAll(layout(4, {{0, cells(0, 0, 2, 2)}, {1, cells(4, 0, 6, 2)}}));
    f.canvas.showChannelTile(0);
    const CrossingMarks *marks = f.canvas.crossingMarks();
    const QString text = QStringLiteral("OVSold11");
    const QPoint origin(f.state.spareWidth / 2, f.state.spareHeight / 2);
    const QPoint besideChannel2 = origin + QPoint(3 * 46, 46);
    const QList<Crossing> seam{{0, 1, Crossing::Seam::Vertical, 4, 0, 2}};
    QVERIFY(marks->crossings().isEmpty());

    QVERIFY(sendDragEnter(&f.canvas, text, origin + QPoint(46, 46)));
    QVERIFY(sendDragMove(&f.canvas, text, besideChannel2));
    QCOMPARE(marks->crossings(), seam);
    QVERIFY(!sendDragMove(&f.canvas, text, origin + QPoint(5 * 46, 46))); // refused
    QVERIFY(marks->crossings().isEmpty());

    QVERIFY(sendDrop(&f.canvas, text, besideChannel2));
    QCOMPARE(marks->crossings(), seam);
    // Drawn above the tiles, on the border line they share.
    const QImage image = f.canvas.grab().toImage();
    QCOMPARE(image.pixelColor(marks->markRect(seam.first()).center()), CrossingMarks::colour());

    f.changes.undoStack().undo();
    QVERIFY(marks->crossings().isEmpty());
    f.changes.undoStack().redo();
    Configuration off = f.config();
    off.switchingEnabled = 0;
    f.changes.apply(off, DocumentChanges::switchingText(false));
    QVERIFY(marks->crossings().isEmpty());
}

void tst_RasterWidget::keyboardEditing_data()
{
    QTest::addColumn<Configuration>("before"); // channels 1 to 3
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("focus"); // the tile with the keyboard focus, -1 for the canvas
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<Configuration>("after"); // channels 1 to 3 as they end up
    QTest::addColumn<QList<int>>("selectedAfter");
    QTest::addColumn<QString>("step"); // the undo entry; empty when nothing changed

    const QRect one = cells(0, 0, 2, 2);
    const QRect two = cells(2, 0, 4, 2);
    const QRect three = cells(0, 3, 2, 5);
    const auto with = [&](QRect a, QRect b, QRect c) {
        return layout(4, {{0, a}, {1, b}, {2, c}});
    };
    const Configuration unchanged = with(one, two, three);

    QTest::newRow("arrow moves the selection one cell")
            << unchanged << QList<int>{2} << 2 << QKeySequence(Qt::Key_Right)
            << with(one, two, cells(1, 3, 3, 5)) << QList<int>{2} << "Move Channel 3";
    QTest::newRow("a group moves together")
            << unchanged << QList<int>{0, 1} << 0 << QKeySequence(Qt::Key_Down)
            << with(cells(0, 1, 2, 3), cells(2, 1, 4, 3), three) << QList<int>{0, 1}
            << "Move 2 screens";
    QTest::newRow("onto another tile is refused")
            << unchanged << QList<int>{0} << 0 << QKeySequence(Qt::Key_Right) << unchanged
            << QList<int>{0} << "";
    QTest::newRow("off the raster is refused")
            << unchanged << QList<int>{0, 1} << 1 << QKeySequence(Qt::Key_Up) << unchanged
            << QList<int>{0, 1} << "";
    // The record holds raster lines up to 255; one more would wrap round to 0.
    const Configuration atRight = with(one, two, cells(253, 3, 255, 5));
    const Configuration atBottom = with(one, two, cells(0, 253, 2, 255));
    QTest::newRow("past line 255 to the right is refused")
            << atRight << QList<int>{2} << 2 << QKeySequence(Qt::Key_Right) << atRight
            << QList<int>{2} << "";
    QTest::newRow("past line 255 downwards is refused")
            << atBottom << QList<int>{2} << 2 << QKeySequence(Qt::Key_Down) << atBottom
            << QList<int>{2} << "";
    QTest::newRow("shift+arrow widens the focused tile")
            << unchanged << QList<int>{2} << 2 << QKeySequence(Qt::SHIFT | Qt::Key_Right)
            << with(one, two, cells(0, 3, 3, 5)) << QList<int>{2} << "Resize Channel 3";
    QTest::newRow("never below two cells")
            << unchanged << QList<int>{2} << 2 << QKeySequence(Qt::SHIFT | Qt::Key_Up) << unchanged
            << QList<int>{2} << "";
    QTest::newRow("never into a neighbour")
            << unchanged << QList<int>{0} << 0 << QKeySequence(Qt::SHIFT | Qt::Key_Right)
            << unchanged << QList<int>{0} << "";
    QTest::newRow("never wider than line 255")
            << atRight << QList<int>{2} << 2 << QKeySequence(Qt::SHIFT | Qt::Key_Right) << atRight
            << QList<int>{2} << "";
    QTest::newRow("never taller than line 255")
            << atBottom << QList<int>{2} << 2 << QKeySequence(Qt::SHIFT | Qt::Key_Down) << atBottom
            << QList<int>{2} << "";
    // The focus passes on from the removed tile, and no tile it reaches is marked.
    QTest::newRow("delete removes the selection")
            << unchanged << QList<int>{0, 2} << 0 << QKeySequence(Qt::Key_Delete)
            << layout(4, {{1, two}}) << QList<int>{} << "Remove 2 screens";
    QTest::newRow("delete of the focused tile alone")
            << unchanged << QList<int>{0} << 0 << QKeySequence(Qt::Key_Delete)
            << layout(4, {{1, two}, {2, three}}) << QList<int>{} << "Remove Channel 1";
    QTest::newRow("select all") << unchanged << QList<int>{} << -1
                                << QKeySequence(QKeySequence::SelectAll) << unchanged
                                << QList<int>{0, 1, 2} << "";
    QTest::newRow("escape clears the selection")
            << unchanged << QList<int>{0, 1} << 1 << QKeySequence(Qt::Key_Escape) << unchanged
            << QList<int>{} << "";
    QTest::newRow("tab selects the next tile alone")
            << unchanged << QList<int>{0} << 0 << QKeySequence(Qt::Key_Tab) << unchanged
            << QList<int>{1} << "";
    QTest::newRow("shift+tab goes back")
            << unchanged << QList<int>{2} << 2 << QKeySequence(Qt::SHIFT | Qt::Key_Backtab)
            << unchanged << QList<int>{1} << "";
}

void tst_RasterWidget::keyboardEditing()
{
    QFETCH(Configuration, before);
    QFETCH(QList<int>, selected);
    QFETCH(int, focus);
    QFETCH(QKeySequence, keys);
    QFETCH(Configuration, after);
    QFETCH(QList<int>, selectedAfter);
    QFETCH(QString, step);

    EditorFixture f;
    f.document.currentConfig = before;
    f.canvas.show();
    QApplication::setActiveWindow(&f.canvas);
    QVERIFY(QTest::qWaitForWindowActive(&f.canvas));
    f.canvas.rebuildFromConfig();
    QWidget *target = focus < 0 ? static_cast<QWidget *>(&f.canvas) : f.canvas.tile(focus);
    // The canvas takes the focus from a click on an empty cell, which clears the selection.
    target->setFocus(Qt::OtherFocusReason);
    f.canvas.childLostFocus();
    for (int i : selected)
        f.canvas.showChannelTile(i);

    QTest::keySequence(target, keys);

    compareEntries(f.config(), after);
    QCOMPARE(f.state.selectedChannels.items(), selectedAfter);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(f.canvas.tile(i)->isVisibleTo(&f.canvas), after.channels[i].placed == 1);
        // The handles show exactly the selection.
        QCOMPARE(f.canvas.tile(i)->isSelected(), selectedAfter.contains(i));
    }
    QCOMPARE(f.changes.undoStack().undoText(), step);
    if (!step.isEmpty()) {
        f.changes.undoStack().undo();
        compareEntries(f.config(), before);
    }
}

void tst_RasterWidget::selectByRectangle_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<bool>("control");
    QTest::addColumn<QPoint>("from"); // on free canvas
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QList<int>>("selectedAfter");

    // Four tiles in a square on the raster at (17, 20); the rectangle starts right of them.
    const QPoint free(260, 30);
    QTest::newRow("over two of four tiles")
            << QList<int>{0} << false << free << QPoint(150, 200) << QList<int>{1, 3};
    QTest::newRow("with control it adds")
            << QList<int>{0} << true << free << QPoint(150, 200) << QList<int>{0, 1, 3};
    QTest::newRow("touching the border line is enough")
            << QList<int>{} << false << free << QPoint(17 + 4 * 46, 20 + 46) << QList<int>{1};
    QTest::newRow("over free cells only")
            << QList<int>{0, 1} << false << free << QPoint(400, 300) << QList<int>{};
    QTest::newRow("a click clears the selection")
            << QList<int>{0, 1} << false << free << free << QList<int>{};
}

// The rectangle selects what it touches; the arrow keys then move that selection.
void tst_RasterWidget::selectByRectangle()
{
    QFETCH(QList<int>, selected);
    QFETCH(bool, control);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QList<int>, selectedAfter);

    EditorFixture f;
    f.document.currentConfig = layout(4, {{0, cells(0, 0, 2, 2)},
                                          {1, cells(2, 0, 4, 2)},
                                          {2, cells(0, 2, 2, 4)},
                                          {3, cells(2, 2, 4, 4)}});
    f.canvas.show();
    QApplication::setActiveWindow(&f.canvas);
    QVERIFY(QTest::qWaitForWindowActive(&f.canvas));
    f.canvas.rebuildFromConfig();
    for (int i : selected)
        f.canvas.showChannelTile(i);
    const Configuration before = f.config();

    const Qt::KeyboardModifiers modifiers = control ? Qt::ControlModifier : Qt::NoModifier;
    QTest::mousePress(&f.canvas, Qt::LeftButton, modifiers, from);
    for (const QPoint &p : {(from * 3 + to) / 4, to}) {
        QMouseEvent move(QEvent::MouseMove, QPointF(p), f.canvas.mapToGlobal(QPointF(p)),
                         Qt::NoButton, Qt::LeftButton, modifiers);
        QApplication::sendEvent(&f.canvas, &move);
    }
    QTest::mouseRelease(&f.canvas, Qt::LeftButton, modifiers, to);

    QCOMPARE(f.state.selectedChannels.items(), selectedAfter);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(f.canvas.tile(i)->isSelected(), selectedAfter.contains(i));

    QTest::keyClick(&f.canvas, Qt::Key_Right);
    for (int i = 0; i < 4; ++i) {
        const int shift = selectedAfter.contains(i) ? 1 : 0;
        QCOMPARE(f.config().channels[i].left, quint8(before.channels[i].left + shift));
    }
}

QTEST_MAIN(tst_RasterWidget)
#include "tst_rasterwidget.moc"
