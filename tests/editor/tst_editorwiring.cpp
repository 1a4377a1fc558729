#include "editortestsupport.h"
#include "modalanswer.h"

#include "app/corvanecfg.h"
#include "editor/configwidget.h"
#include "editor/dropwidget.h"
#include "editor/mylistview.h"
#include "editor/rastergeometry.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>

// The main window's editor slots, driven through the widgets and signals that reach
// them in the running program.
class tst_EditorWiring : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void firstFitPlacement_data();
    void firstFitPlacement();
    void modifiedAlongEachPath_data();
    void modifiedAlongEachPath();
    void removedChannelKeepsItsResolution();
    void listFocusDeselectsTiles();
    void areaScrollStaysInRange();
    void switchingCheckBox();
    void accessibilityTree();
    void cleanup();

private:
    QTemporaryDir m_dir;
};

namespace {

// Builds the main window, accepting the new-configuration dialog that its constructor
// runs, and lays the canvas out on a 21 x 10 raster with four channels.
std::unique_ptr<CorvaneCfg> makeWindow()
{
    ModalAnswer answer([](QWidget *modal) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->accept();
    });
    auto window = std::make_unique<CorvaneCfg>();

    window->document().currentConfig.channelCount = 4;
    window->document().modified = false;
    window->rasterWidget()->rebuildFromConfig();
    measureRaster(window->editorState(), 1000, 500);
    return window;
}

template<typename T>
T *child(CorvaneCfg &w, const char *name)
{
    T *found = w.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no child %s", name);
    return found;
}

} // namespace

void tst_EditorWiring::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));
}

void tst_EditorWiring::cleanup()
{
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!QApplication::activePopupWidget());
}

void tst_EditorWiring::firstFitPlacement_data()
{
    QTest::addColumn<Configuration>("before");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QList<int>>("channels");
    QTest::addColumn<Configuration>("after");

    QTest::newRow("three channels on an empty raster")
            << layout(4, {}) << 21 << QList<int>{1, 2, 3}
            << layout(4, {{0, cells(0, 0, 2, 2)}, {1, cells(2, 0, 4, 2)}, {2, cells(4, 0, 6, 2)}});
    QTest::newRow("next to a tile at columns 0 to 1")
            << layout(4, {{0, cells(0, 0, 2, 2)}}) << 21 << QList<int>{2}
            << layout(4, {{0, cells(0, 0, 2, 2)}, {1, cells(2, 0, 4, 2)}});
    QTest::newRow("a tile at columns 1 to 2 pushes it to column 3")
            << layout(4, {{0, cells(1, 0, 3, 2)}}) << 21 << QList<int>{2}
            << layout(4, {{0, cells(1, 0, 3, 2)}, {1, cells(3, 0, 5, 2)}});
    QTest::newRow("one column still gets a 2 x 2 tile")
            << layout(4, {}) << 1 << QList<int>{4} << layout(4, {{3, cells(0, 0, 2, 2)}});
    QTest::newRow("no free place leaves it unplaced")
            << layout(4, {{0, cells(0, 0, 3, 10)}}) << 2 << QList<int>{2}
            << layout(4, {{0, cells(0, 0, 3, 10)}});
    QTest::newRow("channels beyond the count are ignored")
            << layout(2, {}) << 21 << QList<int>{3, 0, 9, 2} << layout(2, {{1, cells(0, 0, 2, 2)}});
}

void tst_EditorWiring::firstFitPlacement()
{
    QFETCH(Configuration, before);
    QFETCH(int, columns);
    QFETCH(QList<int>, channels);
    QFETCH(Configuration, after);

    auto w = makeWindow();
    w->document().currentConfig = before;
    w->rasterWidget()->rebuildFromConfig();
    measureRaster(w->editorState(), columns * 46 + 10, 500);

    emit child<myListView>(*w, "listView")->addCannelsToConfig(channels);

    for (int i = 0; i < kMaxChannels; ++i)
        QCOMPARE(w->document().currentConfig.channels[i], after.channels[i]);
    QList<int> expectedSelection;
    for (int channel : channels) {
        const int i = channel - 1;
        if (i >= 0 && i < after.channelCount && after.channels[i].placed
            && !before.channels[i].placed)
            expectedSelection << i;
    }
    QCOMPARE(w->editorState().selectedChannels.items(), expectedSelection);
    // Every change of the layout leaves unsaved work behind.
    QCOMPARE(w->document().modified, !expectedSelection.isEmpty());
}

void tst_EditorWiring::modifiedAlongEachPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("step"); // the Undo entry's text; empty: no step
    QTest::addColumn<bool>("modified");

    // Every change is one undoable step and sets the flag, so Quit asks; the add button
    // and a click set it even when nothing changes, without a step.
    QTest::newRow("list menu add") << "listAdd"
                                   << "Place Channel 2" << true;
    QTest::newRow("add tool button") << "addButton"
                                     << "Place Channel 2" << true;
    QTest::newRow("add tool button, nothing selected") << "addButtonEmpty"
                                                       << "" << true;
    QTest::newRow("drop from the list onto the canvas") << "canvasDrop"
                                                        << "Place 2 screens" << true;
    QTest::newRow("tile moved on the canvas") << "canvasMove"
                                              << "Move Channel 1" << true;
    QTest::newRow("tile resized") << "tileResize"
                                  << "Resize Channel 1" << true;
    QTest::newRow("remove tool button") << "delButton"
                                        << "Remove Channel 1" << true;
    QTest::newRow("tiles dropped on the left pane") << "dropZone"
                                                    << "Remove Channel 1" << true;
    QTest::newRow("tile menu remove") << "tileMenu"
                                      << "Remove Channel 1" << true;
    QTest::newRow("tile clicked") << "tileClick"
                                  << "" << true;
    QTest::newRow("resolution") << "resolution"
                                << "Set resolution of Channel 1" << true;
    QTest::newRow("mouse speed") << "mouseSpeed"
                                 << "Set mouse speed" << true;
    QTest::newRow("switching off") << "switching"
                                   << "Switch Orvanel Switching off" << true;
}

void tst_EditorWiring::modifiedAlongEachPath()
{
    QFETCH(QString, path);
    QFETCH(QString, step);
    QFETCH(bool, modified);

    auto w = makeWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    // As opened from a file: this is the saved state. Channel 4 stands aside, unselected:
    // no path may select it.
    w->documentChanges().replaceAll(layout(4, {{0, cells(0, 0, 2, 2)}, {3, cells(0, 3, 2, 5)}}));
    w->rasterWidget()->rebuildFromConfig();
    w->rasterWidget()->showChannelTile(0);
    w->rasterWidget()->grab();
    auto *list = child<myListView>(*w, "listView");
    list->selectionModel()->select(list->model()->index(0, 0), QItemSelectionModel::Select);
    Configuration &config = w->document().currentConfig;
    const Configuration before = config;
    configwidget *tile = w->rasterWidget()->tile(0);
    QSignalSpy announced(&w->documentChanges(), &DocumentChanges::configurationChanged);
    QVERIFY(announced.isValid());
    // A step selects only what it places; the focus passing on from a tile that goes
    // selects nothing, and the handles show exactly the selection.
    const ChannelSelection &selection = w->editorState().selectedChannels;
    ChannelSelection selectedBefore = selection;
    Configuration placedBefore = config;
    const auto checkSelection = [&] {
        for (int i = 0; i < kMaxChannels; ++i) {
            const bool placedNow = config.channels[i].placed && !placedBefore.channels[i].placed;
            QVERIFY(!selection.contains(i) || selectedBefore.contains(i) || placedNow);
            QCOMPARE(w->rasterWidget()->tile(i)->isSelected(), selection.contains(i));
        }
        selectedBefore = selection;
        placedBefore = config;
    };

    if (path == "listAdd") {
        QVERIFY(QMetaObject::invokeMethod(list, "addSelectedToConfig"));
    } else if (path == "addButton") {
        child<QToolButton>(*w, "toolButtonAdd")->click();
    } else if (path == "addButtonEmpty") {
        list->selectionModel()->clear();
        child<QToolButton>(*w, "toolButtonAdd")->click();
    } else if (path == "canvasDrop") {
        sendDrop(w->rasterWidget(), QStringLiteral("OVSnew223"), QPoint(300, 200));
    } else if (path == "canvasMove") {
        sendDrop(w->rasterWidget(), QStringLiteral("OVSold11"), QPoint(300, 200));
    } else if (path == "tileResize") {
        // The right handle, released one cell further right.
        const QPoint handle(tile->width() - 3, tile->height() / 2);
        QTest::mousePress(tile, Qt::LeftButton, {}, handle);
        QTest::mouseRelease(tile, Qt::LeftButton, {}, handle + QPoint(46, 0));
    } else if (path == "delButton") {
        child<QToolButton>(*w, "toolButtonDel")->click();
        QVERIFY(w->editorState().selectedChannels.isEmpty());
    } else if (path == "dropZone") {
        sendDrop(child<DropWidget>(*w, "widget_2"), QStringLiteral("OVSold11"), QPoint(5, 5));
    } else if (path == "tileMenu") {
        QTimer::singleShot(0, [] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            menu->actions().at(1)->trigger();
            menu->close();
        });
        tile->showContextMenu(QPoint(5, 5));
    } else if (path == "tileClick") {
        QTest::mouseClick(tile, Qt::LeftButton, {}, QPoint(46, 46));
    } else if (path == "resolution") {
        ModalAnswer answer([](QWidget *modal) {
            modal->findChild<QLineEdit *>(QStringLiteral("lineEditX"))->setText("1280");
            modal->findChild<QPushButton *>(QStringLiteral("pushSet"))->click();
        });
        tile->openResolutionWindow();
        QVERIFY(answer.answered());
    } else if (path == "mouseSpeed") {
        ModalAnswer answer([](QWidget *modal) {
            modal->findChild<QSlider *>(QStringLiteral("horizontalSlider"))->setValue(9);
            modal->findChild<QPushButton *>(QStringLiteral("pushSet"))->click();
        });
        child<QAction>(*w, "action_Maus_speed")->trigger();
        QVERIFY(answer.answered());
    } else if (path == "switching") {
        child<QCheckBox>(*w, "checkBoxEnabled")->click();
    }
    QCOMPARE(w->document().modified, modified);
    checkSelection();
    const Configuration after = config;
    auto *undo = child<QAction>(*w, "actionUndo");
    auto *redo = child<QAction>(*w, "actionRedo");
    const auto listRows = [&config] {
        return 4 - config.channels[0].placed - config.channels[1].placed - config.channels[2].placed
               - config.channels[3].placed;
    };
    QCOMPARE(list->model()->rowCount(), listRows());
    QCOMPARE(tile->isVisibleTo(w->rasterWidget()), config.channels[0].placed == 1);

    if (step.isEmpty()) {
        QCOMPARE(after, before);
        QVERIFY(!undo->isEnabled());
        return;
    }
    QVERIFY(after != before);
    QVERIFY(!announced.isEmpty());
    QCOMPARE(undo->text(), QStringLiteral("Undo ") + step);

    // Back to the state of the last save: nothing is unsaved any more.
    announced.clear();
    undo->trigger();
    checkSelection();
    QCOMPARE(config, before);
    QVERIFY(!w->document().modified);
    QCOMPARE(announced.size(), 1);
    QCOMPARE(list->model()->rowCount(), listRows());
    QCOMPARE(tile->isVisibleTo(w->rasterWidget()), true);
    QCOMPARE(tile->size(), tileSize(w->editorState(), config.channels[0]));
    QCOMPARE(child<QCheckBox>(*w, "checkBoxEnabled")->isChecked(), true);

    QCOMPARE(redo->text(), QStringLiteral("Redo ") + step);
    redo->trigger();
    checkSelection();
    QCOMPARE(config, after);
    QVERIFY(w->document().modified);
    QCOMPARE(list->model()->rowCount(), listRows());
    QCOMPARE(tile->isVisibleTo(w->rasterWidget()), config.channels[0].placed == 1);
}

void tst_EditorWiring::removedChannelKeepsItsResolution()
{
    auto w = makeWindow();
    Configuration &config = w->document().currentConfig;
    emit child<myListView>(*w, "listView")->addCannelsToConfig({2});
    config.channels[1].resolutionX = 1600;
    config.channels[1].resolutionY = 900;

    child<QToolButton>(*w, "toolButtonDel")->click();
    QCOMPARE(config.channels[1].placed, quint8(0));
    QCOMPARE(config.channels[1].resolutionX, quint16(1600));

    emit child<myListView>(*w, "listView")->addCannelsToConfig({2});
    auto *label = w->rasterWidget()->tile(1)->findChild<QLabel *>("labelResolution");
    QCOMPARE(label->text(), QStringLiteral("1600 X 900"));
}

void tst_EditorWiring::listFocusDeselectsTiles()
{
    auto w = makeWindow();
    auto *list = child<myListView>(*w, "listView");
    emit list->addCannelsToConfig({1, 3});
    QCOMPARE(w->editorState().selectedChannels.size(), 2);

    emit list->gotFocus();
    QVERIFY(w->editorState().selectedChannels.isEmpty());
    QVERIFY(!w->rasterWidget()->tile(0)->isSelected());

    // With nothing selected the remove button removes nothing.
    child<QToolButton>(*w, "toolButtonDel")->click();
    QCOMPARE(w->document().currentConfig.channels[0].placed, quint8(1));
    QCOMPARE(w->document().currentConfig.channels[2].placed, quint8(1));
}

void tst_EditorWiring::areaScrollStaysInRange()
{
    auto w = makeWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    w->rasterWidget()->setMinimumSize(4000, 3000);
    QCoreApplication::processEvents();
    auto *area = child<QScrollArea>(*w, "scrollArea");
    QScrollBar *h = area->horizontalScrollBar();
    QScrollBar *v = area->verticalScrollBar();
    QVERIFY(h->maximum() > 100);

    h->setValue(h->maximum());
    emit w->rasterWidget()->areaScroll(10, 0);
    QCOMPARE(h->value(), h->maximum());
    QCOMPARE(v->value(), 0);

    emit w->rasterWidget()->areaScroll(-30, 25);
    QCOMPARE(h->value(), h->maximum() - 30);
    QCOMPARE(v->value(), 25);
    emit w->rasterWidget()->areaScroll(0, -100);
    QCOMPARE(v->value(), 0);
}

void tst_EditorWiring::switchingCheckBox()
{
    auto w = makeWindow();
    auto *box = child<QCheckBox>(*w, "checkBoxEnabled");
    auto *action = child<QAction>(*w, "action_OrvanelSwitching");
    Configuration &config = w->document().currentConfig;
    QVERIFY(box->isChecked());

    box->setChecked(false);
    QCOMPARE(config.switchingEnabled, quint8(0));
    QVERIFY(!action->isChecked());
    QVERIFY(w->document().modified);
    box->setChecked(true);
    QCOMPARE(config.switchingEnabled, quint8(1));
    QVERIFY(action->isChecked());
    // Back to what a save would have written: nothing is unsaved.
    QVERIFY(!w->document().modified);
}

namespace {
// Every object below the interface, as "role|name|description", depth first.
void collect(QAccessibleInterface *iface, QStringList *out)
{
    if (!iface)
        return;
    out->append(
            QStringLiteral("%1|%2|%3")
                    .arg(int(iface->role()))
                    .arg(iface->text(QAccessible::Name), iface->text(QAccessible::Description)));
    for (int i = 0; i < iface->childCount(); ++i)
        collect(iface->child(i), out);
}
} // namespace

// What a screen reader finds in the window: the tiles of the placed channels, each named
// and described (with its crossings and the problems marked on it), under a named canvas; a named
// list; no placeholder text of the forms.
void tst_EditorWiring::accessibilityTree()
{
    auto w = makeWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    Configuration config
            = layout(8, {{5, cells(2, 1, 6, 4)}, {6, cells(6, 1, 8, 3)}, {7, cells(0, 4, 2, 6)}});
    config.channels[5].resolutionX = 1920;
    config.channels[5].resolutionY = 1080;
    w->documentChanges().replaceAll(config);

    QStringList tree;
    collect(QAccessible::queryAccessibleInterface(w.get()), &tree);
    QVERIFY2(tree.filter(QStringLiteral("TextLabel")).isEmpty(), qPrintable(tree.join('\n')));

    QAccessibleInterface *canvas = QAccessible::queryAccessibleInterface(w->rasterWidget());
    QStringList tiles;
    collect(canvas, &tiles);
    const auto item = [](int channel, const char *description) {
        return QStringLiteral("%1|Channel %2|").arg(int(QAccessible::ListItem)).arg(channel)
               + QString::fromUtf8(description);
    };
    QCOMPARE(tiles, QStringList({QStringLiteral("%1|Screen layout|").arg(int(QAccessible::List)),
                                 item(6, "1920 × 1080, columns 3–6, rows 2–4, crosses to "
                                         "Channel 7 on the right (rows 2–3)"),
                                 item(7, "no resolution, columns 7–8, rows 2–3, crosses to "
                                         "Channel 6 on the left\n"
                                         "Channel 7 has no resolution"),
                                 item(8, "no resolution, columns 1–2, rows 5–6\n"
                                         "Channel 8 has no resolution\n"
                                         "Channel 8 touches no other screen")}));
    QVERIFY(tree.contains(tiles.at(1)));
    QVERIFY(!tree.filter(QStringLiteral("|Unplaced channels|")).isEmpty());
}

QTEST_MAIN(tst_EditorWiring)
#include "tst_editorwiring.moc"
