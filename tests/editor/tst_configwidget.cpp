#include "editortestsupport.h"
#include "modalanswer.h"

#include "app/resolution.h"
#include "editor/configwidget.h"
#include "editor/rastergeometry.h"

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTranslator>

// The screen tile: its grab zones and handles, resizing by mouse, selection with
// Control, its labels, drag payload and context menu.
class tst_ConfigWidget : public QObject
{
    Q_OBJECT

private slots:
    void grabZones_data();
    void grabZones();
    void handlesAreDrawnWhenSelected();
    void resizeByHandle_data();
    void resizeByHandle();
    void selectionWithControl_data();
    void selectionWithControl();
    void labels();
    void oldDragPayload();
    void dragEndsTheGesture_data();
    void dragEndsTheGesture();
    void resolutionDialog_data();
    void resolutionDialog();
    void contextMenuRemoves();
    void germanRelabelsTilesAndList();
    void cleanup();
};

// A shown 1000 x 500 canvas (21 columns, 10 rows, origin (17, 20)).
struct TileFixture : EditorFixture
{
    TileFixture()
    {
        canvas.show();
        paint();
    }
    configwidget *tile(int i) { return canvas.tile(i); }
    // Tile coordinates of a canvas point.
    QPoint at(int i, QPoint canvasPoint) { return canvasPoint - tile(i)->pos(); }
};

void tst_ConfigWidget::cleanup()
{
    // Menus and dialogs are gone once their command has run.
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_ConfigWidget::grabZones_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<int>("zone");

    // A 2 x 2 tile of 93 x 93: handles at 0, 41 and 83; regions begin at 1.
    QTest::newRow("corner pixel belongs to the tile") << QPoint(0, 0) << 9;
    QTest::newRow("top-left") << QPoint(1, 1) << 1;
    QTest::newRow("top-left, inner edge") << QPoint(9, 9) << 1;
    QTest::newRow("just past the corner handle") << QPoint(10, 10) << 9;
    QTest::newRow("left edge") << QPoint(5, 46) << 2;
    QTest::newRow("left edge, bound is strict") << QPoint(5, 41) << 9;
    QTest::newRow("bottom-left") << QPoint(5, 88) << 3;
    QTest::newRow("top edge") << QPoint(46, 5) << 4;
    QTest::newRow("top-right") << QPoint(88, 5) << 5;
    QTest::newRow("right edge") << QPoint(88, 46) << 6;
    QTest::newRow("bottom-right") << QPoint(88, 88) << 7;
    QTest::newRow("bottom-right, last pixel") << QPoint(92, 92) << 7;
    QTest::newRow("bottom edge") << QPoint(46, 88) << 8;
    QTest::newRow("centre") << QPoint(46, 46) << 9;
}

void tst_ConfigWidget::grabZones()
{
    QFETCH(QPoint, press);
    QFETCH(int, zone);
    QCOMPARE(configwidget::grabZoneAt(press, QSize(93, 93)), zone);

    // A press on a selected tile grabs that zone.
    TileFixture f;
    f.config().channels[0] = placedAt(2, 1, 4, 3);
    f.canvas.showChannelTile(0);
    QTest::mousePress(f.tile(0), Qt::LeftButton, {}, press);
    QCOMPARE(f.tile(0)->currentGrabZone(), zone);
    QTest::mouseRelease(f.tile(0), Qt::LeftButton, {}, press);
    QCOMPARE(f.tile(0)->currentGrabZone(), 0);
}

void tst_ConfigWidget::handlesAreDrawnWhenSelected()
{
    TileFixture f;
    f.config().channels[0] = placedAt(2, 1, 4, 3);
    f.canvas.showChannelTile(0);
    const QImage selected = f.tile(0)->grab().toImage();
    for (const QPoint &p : {QPoint(0, 0), QPoint(9, 9), QPoint(41, 0), QPoint(50, 9),
                            QPoint(83, 83), QPoint(92, 92), QPoint(0, 41), QPoint(41, 83)})
        QCOMPARE(QColor(selected.pixel(p)), QColor(Qt::black));
    QVERIFY(QColor(selected.pixel(20, 20)) != QColor(Qt::black));
    QVERIFY(QColor(selected.pixel(51, 5)) != QColor(Qt::black));

    f.tile(0)->setSelected(false);
    const QImage plain = f.tile(0)->grab().toImage();
    QVERIFY(QColor(plain.pixel(5, 5)) != QColor(Qt::black));
}

void tst_ConfigWidget::resizeByHandle_data()
{
    QTest::addColumn<QPoint>("press");   // tile coordinates on a tile at [2, 4) x [1, 3)
    QTest::addColumn<QPoint>("release"); // canvas coordinates
    QTest::addColumn<QRect>("expected"); // left, top, right, bottom
    QTest::addColumn<bool>("modified");

    const QRect unchanged = cells(2, 1, 4, 3);
    QTest::newRow("bottom-right to column 5, row 5")
            << QPoint(88, 88) << QPoint(17 + 5 * 46, 20 + 5 * 46) << cells(2, 1, 5, 5) << true;
    QTest::newRow("bottom-right into the neighbour is refused")
            << QPoint(88, 88) << QPoint(17 + 6 * 46, 20 + 5 * 46) << unchanged << false;
    QTest::newRow("bottom-right inside its own cells keeps 2 x 2")
            << QPoint(88, 88) << QPoint(17 + 3 * 46, 20 + 2 * 46) << unchanged << true;
    QTest::newRow("right edge into the neighbour is refused")
            << QPoint(88, 46) << QPoint(17 + 6 * 46, 66) << unchanged << false;
    QTest::newRow("right edge up to the neighbour")
            << QPoint(88, 46) << QPoint(17 + 5 * 46, 66) << cells(2, 1, 5, 3) << true;
    QTest::newRow("top-left beyond the origin snaps to line 0")
            << QPoint(5, 5) << QPoint(3, 3) << cells(0, 0, 4, 3) << true;
    QTest::newRow("left edge released beyond the raster keeps the tile")
            << QPoint(5, 46) << QPoint(995, 66) << unchanged << true;
    QTest::newRow("bottom edge beyond the raster takes the last row")
            << QPoint(46, 88) << QPoint(120, 499) << cells(2, 1, 4, 10) << true;
    QTest::newRow("top edge below 2 rows keeps the tile")
            << QPoint(46, 5) << QPoint(120, 20 + 2 * 46) << unchanged << true;
    QTest::newRow("a click rewrites the rectangle")
            << QPoint(46, 46) << QPoint(109 + 46, 66 + 46) << unchanged << true;
}

void tst_ConfigWidget::resizeByHandle()
{
    QFETCH(QPoint, press);
    QFETCH(QPoint, release);
    QFETCH(QRect, expected);
    QFETCH(bool, modified);

    TileFixture f;
    f.config().channels[0] = placedAt(2, 1, 4, 3);
    f.config().channels[1] = placedAt(5, 1, 7, 3);
    f.canvas.rebuildFromConfig();
    f.paint();
    f.canvas.showChannelTile(0);
    QSignalSpy outline(f.tile(0), SIGNAL(resizeInPorgress(int, int, int, int, int)));
    QVERIFY(outline.isValid());

    QTest::mousePress(f.tile(0), Qt::LeftButton, {}, press);
    QTest::mouseRelease(f.tile(0), Qt::LeftButton, {}, f.at(0, release));

    const ChannelEntry &e = f.config().channels[0];
    QCOMPARE(QRect(QPoint(e.left, e.top), QPoint(e.right, e.bottom)), expected);
    QCOMPARE(f.document.modified, modified);
    QCOMPARE(f.tile(0)->size(), tileSize(f.state, e));
    QCOMPARE(f.tile(0)->pos(), tilePosition(f.state, e));
    QCOMPARE(outline.size(), 1);
    QCOMPARE(outline.at(0).at(4).toInt(), 0);
}

void tst_ConfigWidget::selectionWithControl_data()
{
    QTest::addColumn<QList<int>>("selectedBefore");
    QTest::addColumn<bool>("control");
    QTest::addColumn<bool>("keyHeld"); // Control last seen pressed by the tiles' key events
    QTest::addColumn<int>("clicked");
    QTest::addColumn<QList<int>>("selectedAfter");

    QTest::newRow("control-click on a selected tile deselects only it")
            << QList<int>{0, 1, 2} << true << true << 1 << QList<int>{0, 2};
    QTest::newRow("control-click on an unselected tile adds it")
            << QList<int>{0} << true << true << 2 << QList<int>{0, 2};
    QTest::newRow("plain click on an unselected tile selects it alone")
            << QList<int>{0, 1} << false << false << 2 << QList<int>{2};
    QTest::newRow("plain click on a selected tile keeps the group")
            << QList<int>{1, 0} << false << false << 0 << QList<int>{1, 0};
    // Control was released while another widget had the focus; the click knows better.
    QTest::newRow("released elsewhere, plain click selects alone")
            << QList<int>{0, 1} << false << true << 2 << QList<int>{2};
}

void tst_ConfigWidget::selectionWithControl()
{
    QFETCH(QList<int>, selectedBefore);
    QFETCH(bool, control);
    QFETCH(bool, keyHeld);
    QFETCH(int, clicked);
    QFETCH(QList<int>, selectedAfter);

    TileFixture f;
    f.document.currentConfig
            = layout(4, {{0, cells(0, 0, 2, 2)}, {1, cells(2, 0, 4, 2)}, {2, cells(4, 0, 6, 2)}});
    f.canvas.rebuildFromConfig();
    for (int i : selectedBefore)
        f.canvas.showChannelTile(i);
    // Control reaches the editor state through the key events of a tile.
    if (keyHeld)
        QTest::keyPress(f.tile(0), Qt::Key_Control);
    QCOMPARE(f.state.ctrlPressed, keyHeld);

    QTest::mouseClick(f.tile(clicked), Qt::LeftButton,
                      control ? Qt::ControlModifier : Qt::NoModifier, QPoint(46, 46));

    QCOMPARE(f.state.selectedChannels.items(), selectedAfter);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(f.tile(i)->isSelected(), selectedAfter.contains(i));
    if (control) {
        QTest::keyRelease(f.tile(0), Qt::Key_Control);
        QVERIFY(!f.state.ctrlPressed);
    }
}

void tst_ConfigWidget::labels()
{
    TileFixture f;
    f.config().channels[2] = placedAt(0, 0, 2, 2);
    f.config().channels[2].resolutionX = 1280;
    f.config().channels[2].resolutionY = 1024;
    f.canvas.showChannelTile(2);
    auto *index = f.tile(2)->findChild<QLabel *>(QStringLiteral("labelIndex"));
    auto *resolution = f.tile(2)->findChild<QLabel *>(QStringLiteral("labelResolution"));
    QVERIFY(index && resolution);
    QCOMPARE(index->text(), QStringLiteral("Channel 3"));
    QCOMPARE(resolution->text(), QStringLiteral("1280 X 1024"));
    QVERIFY(resolution->isVisibleTo(f.tile(2)));
    // Centred: the label's middle is the tile's middle, the resolution two lines lower.
    QVERIFY(qAbs(index->geometry().center().x() - 46) <= 2);
    QVERIFY(resolution->y() > index->y());
    // The resolution sits below the side handles: it keeps its size on a 2 x 2 tile, so
    // that equal tiles show it alike. Only the name may shrink, to clear the handles.
    QCOMPARE(resolution->font().pointSize(), 8);
    QVERIFY(index->x() >= 10
            && index->x() + QFontMetrics(index->font()).horizontalAdvance(index->text()) <= 83);

    f.config().channels[2].resolutionX = 0;
    f.tile(2)->setChannel(2);
    QVERIFY(!resolution->isVisibleTo(f.tile(2)));
}

void tst_ConfigWidget::oldDragPayload()
{
    TileFixture f;
    f.document.currentConfig = layout(4, {{0, cells(5, 1, 8, 4)}, {3, cells(2, 0, 4, 2)}});
    f.canvas.rebuildFromConfig();
    f.canvas.showChannelTile(3);
    f.canvas.showChannelTile(0);
    QCOMPARE(f.tile(0)->dragText(), QStringLiteral("OVSold241"));
    QCOMPARE(f.tile(0)->dragPixmap().size(), QSize(6 * 46, 4 * 46));
}

void tst_ConfigWidget::dragEndsTheGesture_data()
{
    QTest::addColumn<QPoint>("press"); // on channel 2's tile
    QTest::addColumn<QString>("cut");  // what ends the gesture before a release

    // The drag swallows the button release.
    QTest::newRow("a drag of the tile") << QPoint(46, 46) << "drag";
    // The tile leaves the canvas while its handle is held, so no release reaches it.
    QTest::newRow("delete while a handle is held") << QPoint(88, 88) << "delete";
    QTest::newRow("undo of the placement while a handle is held") << QPoint(88, 88) << "undo";
}

// A gesture that gets no release must end all the same. A grab zone left set made the
// next Control-press on the tile, meant to deselect it, start a drag of the rest of the
// selection or resize the tile; an outline left visible stayed on the canvas.
void tst_ConfigWidget::dragEndsTheGesture()
{
    QFETCH(QPoint, press);
    QFETCH(QString, cut);
    TileFixture f;
    f.document.currentConfig = layout(4, {{0, cells(0, 0, 2, 2)}});
    f.canvas.rebuildFromConfig();
    f.changes.apply(layout(4, {{0, cells(0, 0, 2, 2)}, {1, cells(2, 0, 4, 2)}}),
                    DocumentChanges::placeText({1}));
    f.canvas.showChannelTile(0);
    f.canvas.showChannelTile(1);
    QSignalSpy outline(f.tile(1), SIGNAL(resizeInPorgress(int, int, int, int, int)));
    QVERIFY(outline.isValid());

    QTest::mousePress(f.tile(1), Qt::LeftButton, {}, press);
    QVERIFY(f.tile(1)->currentGrabZone() != 0);
    // A move past the drag distance runs a drag to its end, or draws the outline.
    const QPoint to = press + QPoint(30, 30);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), f.tile(1)->mapToGlobal(QPointF(to)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.tile(1), &move);
    if (cut == "delete")
        QTest::keyClick(f.tile(1), Qt::Key_Delete);
    else if (cut == "undo")
        f.changes.undoStack().undo();
    QCOMPARE(f.tile(1)->currentGrabZone(), 0);
    QVERIFY(!outline.isEmpty());
    QCOMPARE(outline.last().at(4).toInt(), 0);

    // The tile back on the canvas, everything selected, then a Control-press on it.
    if (cut == "delete")
        f.changes.undoStack().undo();
    else if (cut == "undo")
        f.changes.undoStack().redo();
    f.canvas.showChannelTile(0);
    f.canvas.showChannelTile(1);
    const Configuration before = f.config();
    QTest::mousePress(f.tile(1), Qt::LeftButton, Qt::ControlModifier, QPoint(46, 46));
    QTest::mouseRelease(f.tile(1), Qt::LeftButton, Qt::ControlModifier, QPoint(46, 46));
    QCOMPARE(f.state.selectedChannels.items(), QList<int>{0});
    QCOMPARE(f.tile(1)->currentGrabZone(), 0);
    QCOMPARE(f.config(), before);
}

void tst_ConfigWidget::resolutionDialog_data()
{
    QTest::addColumn<bool>("accept");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<int>("key"); // 0: from the tile's menu, else pressed on the focused tile
    QTest::newRow("accepted") << true << 1280 << 1024 << 0;
    QTest::newRow("cancelled") << false << 1920 << 1080 << 0;
    QTest::newRow("enter on the focused tile") << true << 1280 << 1024 << int(Qt::Key_Return);
}

void tst_ConfigWidget::resolutionDialog()
{
    QFETCH(bool, accept);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(int, key);
    TileFixture f;
    f.document.currentConfig = layout(4, {{0, cells(0, 0, 2, 2)}, {1, cells(2, 0, 4, 2)}});
    f.config().channels[1].resolutionX = 1920;
    f.config().channels[1].resolutionY = 1080;
    f.canvas.rebuildFromConfig();
    f.canvas.showChannelTile(0);
    f.canvas.showChannelTile(1);

    int shownX = -1;
    ModalAnswer answer([&](QWidget *modal) {
        auto *dialog = qobject_cast<Resolution *>(modal);
        QVERIFY(dialog);
        shownX = dialog->xValue();
        dialog->setXValue(1280);
        dialog->setYValue(1024);
        accept ? dialog->accept() : dialog->reject();
    });
    if (key != 0) {
        QApplication::setActiveWindow(&f.canvas);
        QVERIFY(QTest::qWaitForWindowActive(&f.canvas));
        f.tile(1)->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(f.tile(1), Qt::Key(key));
    } else {
        f.tile(1)->openResolutionWindow();
    }

    QVERIFY(answer.answered());
    QCOMPARE(shownX, 1920);
    QCOMPARE(int(f.config().channels[1].resolutionX), x);
    QCOMPARE(int(f.config().channels[1].resolutionY), y);
    auto *label = f.tile(1)->findChild<QLabel *>(QStringLiteral("labelResolution"));
    QCOMPARE(label->text(), QStringLiteral("%1 X %2").arg(x).arg(y));
    QCOMPARE(f.document.modified, accept);
    // Opening the dialog leaves this tile the only one selected.
    QCOMPARE(f.state.selectedChannels.items(), QList<int>{1});
}

void tst_ConfigWidget::contextMenuRemoves()
{
    TileFixture f;
    f.document.currentConfig = layout(4, {{0, cells(0, 0, 2, 2)}, {1, cells(2, 0, 4, 2)}});
    f.canvas.rebuildFromConfig();
    f.canvas.showChannelTile(1);

    QStringList texts;
    QTimer::singleShot(0, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction *action : menu->actions())
            texts << action->text() + QLatin1Char('|') + action->statusTip();
        menu->actions().at(1)->trigger();
        menu->close();
    });
    f.tile(1)->showContextMenu(QPoint(10, 10));

    QCOMPARE(texts, QStringList({"&Set Resolution|Set the resolution for this screen",
                                 "&Remove|Remove this channel from configuration"}));
    QCOMPARE(f.config().channels[1].placed, quint8(0));
    QCOMPARE(f.config().channels[0].placed, quint8(1));
    QVERIFY(!f.tile(1)->isVisibleTo(&f.canvas));
    QCOMPARE(f.listModel.rowCount(), 3);
    QVERIFY(f.document.modified);
}

// The tile and the list translate in their own contexts, and a language change
// relabels tiles that are already shown; channel numbers survive the translation.
void tst_ConfigWidget::germanRelabelsTilesAndList()
{
    TileFixture f;
    f.document.currentConfig = layout(4, {{2, cells(0, 0, 2, 2)}});
    f.canvas.rebuildFromConfig();
    auto *label = f.tile(2)->findChild<QLabel *>(QStringLiteral("labelIndex"));
    QCOMPARE(label->text(), QStringLiteral("Channel 3"));

    QTranslator german;
    QVERIFY(german.load(QStringLiteral(":/translations/VIVUVE_de.qm")));
    QVERIFY(QCoreApplication::installTranslator(&german));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCOMPARE(label->text(), QStringLiteral("Kanal 3"));
    QCOMPARE(f.listModel.index(1).data().toString(), QStringLiteral("Kanal 2"));

    QCoreApplication::removeTranslator(&german);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCOMPARE(label->text(), QStringLiteral("Channel 3"));
}

QTEST_MAIN(tst_ConfigWidget)
#include "tst_configwidget.moc"
