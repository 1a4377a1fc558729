#include "document/document.h"
#include "editor/dropwidget.h"
#include "editor/editorstate.h"
#include "editor/listmodel.h"
#include "editor/mylistview.h"

#include "editortestsupport.h"

#include <QFocusEvent>
#include <QItemSelectionModel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// The list of unplaced channels, the drags it starts and the removal zone that takes
// tiles back.
class tst_ChannelList : public QObject
{
    Q_OBJECT

private slots:
    void modelListsUnplacedChannels();
    void modelAnswersNothingElse();
    void resetDropsTheSelection();
    void dragCarriesChannelsInListOrder();
    void focusInAndAddCommand();
    void contextMenuAdds();
    void dropZone_data();
    void dropZone();
    void cleanup();
};

struct ListFixture
{
    Document document;
    EditorState state;
    ListModel model{&document};
    myListView view;

    ListFixture()
    {
        document.currentConfig.channelCount = 4;
        view.setModel(&model);
        view.setEditorState(&state);
        view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    }
    void select(int row)
    {
        view.selectionModel()->select(model.index(row), QItemSelectionModel::Select);
    }
};

void tst_ChannelList::cleanup()
{
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_ChannelList::modelListsUnplacedChannels()
{
    ListFixture f;
    Configuration &c = f.document.currentConfig;
    c.channels[0] = ChannelEntry{1, 0, 0, 2, 2, 0, 0};
    c.channels[2] = ChannelEntry{1, 2, 0, 4, 2, 0, 0};
    c.channels[5].placed = 0; // beyond the count: not listed
    QCOMPARE(f.model.rowCount(), 2);
    QCOMPARE(f.model.index(0).data().toString(), QStringLiteral("Channel 2"));
    QCOMPARE(f.model.index(1).data().toString(), QStringLiteral("Channel 4"));
    QCOMPARE(f.model.channelAt(1), 3);
    QCOMPARE(f.model.channelAt(2), -1);

    // What a file may hold but the canvas cannot show is listed, so that it can be
    // placed again: another placed value, or a placed entry without an area.
    c.channels[1].placed = 2;
    c.channels[2] = ChannelEntry{1, 4, 0, 2, 2, 0, 0};
    QCOMPARE(f.model.rowCount(), 3);
    QCOMPARE(f.model.index(1).data().toString(), QStringLiteral("Channel 3"));
}

void tst_ChannelList::modelAnswersNothingElse()
{
    ListFixture f;
    const QModelIndex first = f.model.index(0);
    QCOMPARE(f.model.columnCount(), 1);
    QVERIFY(!f.model.data(first, Qt::ToolTipRole).isValid());
    QVERIFY(!f.model.headerData(0, Qt::Horizontal, Qt::DisplayRole).isValid());
    QVERIFY(!f.model.setData(first, QStringLiteral("x")));
    QCOMPARE(f.model.flags(first), Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled
                                           | Qt::ItemIsDropEnabled);
}

void tst_ChannelList::resetDropsTheSelection()
{
    ListFixture f;
    f.select(1);
    QSignalSpy reset(&f.model, &QAbstractItemModel::modelReset);
    f.document.currentConfig.channels[0] = ChannelEntry{1, 0, 0, 2, 2, 0, 0};
    f.model.reset();
    QCOMPARE(reset.size(), 1);
    QVERIFY(f.view.selectionModel()->selectedRows().isEmpty());
    QCOMPARE(f.view.model()->rowCount(), 3);
}

void tst_ChannelList::dragCarriesChannelsInListOrder()
{
    ListFixture f;
    f.document.currentConfig.channels[0] = ChannelEntry{1, 0, 0, 2, 2, 0, 0};
    f.document.currentConfig.channels[2] = ChannelEntry{1, 2, 0, 4, 2, 0, 0};
    // Channel 4 clicked first, then channel 2: the payload follows the list.
    f.select(1);
    f.select(0);
    QCOMPARE(f.view.dragText(), QStringLiteral("OVSnew224"));
    QCOMPARE(f.view.dragPixmap().size(), QSize(2 * 92, 92));

    f.view.selectionModel()->clear();
    QCOMPARE(f.view.dragText(), QStringLiteral("OVSnew0"));
    QVERIFY(f.view.dragPixmap().isNull());
}

void tst_ChannelList::focusInAndAddCommand()
{
    ListFixture f;
    QSignalSpy focus(&f.view, SIGNAL(gotFocus()));
    QSignalSpy add(&f.view, SIGNAL(addCannelsToConfig(QList<int>)));
    QVERIFY(focus.isValid() && add.isValid());

    QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(&f.view, &in);
    QCOMPARE(focus.size(), 1);

    QVERIFY(QMetaObject::invokeMethod(&f.view, "addSelectedToConfig"));
    QCOMPARE(add.size(), 1);
    QCOMPARE(add.at(0).at(0).value<QList<int>>(), QList<int>{});

    f.select(3);
    f.select(1);
    QVERIFY(QMetaObject::invokeMethod(&f.view, "addSelectedToConfig"));
    QCOMPARE(add.at(1).at(0).value<QList<int>>(), QList<int>({2, 4}));
}

void tst_ChannelList::contextMenuAdds()
{
    ListFixture f;
    f.select(2);
    QSignalSpy add(&f.view, SIGNAL(addCannelsToConfig(QList<int>)));
    QString text;
    QTimer::singleShot(0, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->actions().size(), 1);
        text = menu->actions().at(0)->text() + QLatin1Char('|')
               + menu->actions().at(0)->statusTip();
        menu->actions().at(0)->trigger();
        menu->close();
    });
    QVERIFY(QMetaObject::invokeMethod(&f.view, "showContextMenu", Q_ARG(QPoint, QPoint(5, 5))));
    QCOMPARE(text, QStringLiteral("&Add|Add a channel to the configuration"));
    QCOMPARE(add.size(), 1);
    QCOMPARE(add.at(0).at(0).value<QList<int>>(), QList<int>{3});
}

void tst_ChannelList::dropZone_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("channelCount");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QList<int>>("removed");

    QTest::newRow("tiles 4 and 1") << "OVSold241" << 4 << true << QList<int>{4, 1};
    QTest::newRow("list entries") << "OVSnew13" << 4 << true << QList<int>{3};
    QTest::newRow("empty list drag") << "OVSnew0" << 4 << true << QList<int>{};
    QTest::newRow("plain text") << "Channel 3" << 4 << false << QList<int>{};
    QTest::newRow("channel beyond the count") << "OVSold13" << 2 << false << QList<int>{};
    QTest::newRow("count without digits") << "OVSold5" << 8 << false << QList<int>{};
}

void tst_ChannelList::dropZone()
{
    QFETCH(QString, text);
    QFETCH(int, channelCount);
    QFETCH(bool, accepted);
    QFETCH(QList<int>, removed);

    Document document;
    document.currentConfig.channelCount = quint8(channelCount);
    DropWidget zone;
    zone.setDocument(&document);
    QSignalSpy spy(&zone, SIGNAL(delChannelsFromConfig(QList<int>)));
    QVERIFY(spy.isValid());

    QCOMPARE(sendDragEnter(&zone, text, QPoint(10, 10)), accepted);
    QCOMPARE(sendDragMove(&zone, text, QPoint(12, 10)), accepted);
    sendDrop(&zone, text, QPoint(12, 10));
    QCOMPARE(spy.size(), accepted ? 1 : 0);
    if (accepted)
        QCOMPARE(spy.at(0).at(0).value<QList<int>>(), removed);
}

QTEST_MAIN(tst_ChannelList)
#include "tst_channellist.moc"
