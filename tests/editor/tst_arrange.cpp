#include "editortestsupport.h"

#include "editor/arrangeactions.h"

#include <QAction>
#include <QMenu>
#include <QTest>

Q_DECLARE_METATYPE(Arrangement)

// Arranging tiles from the Edit menu: what goes where, what is refused, and that it is
// one step of the undo history.
class tst_Arrange : public QObject
{
    Q_OBJECT

private slots:
    void arrange_data();
    void arrange();
};

void tst_Arrange::arrange_data()
{
    QTest::addColumn<Configuration>("before");
    QTest::addColumn<QList<int>>("selected"); // channel indices, in the order of selection
    QTest::addColumn<Arrangement>("how");
    QTest::addColumn<Configuration>("expected"); // equal to before: refused

    const auto row = Arrangement::Row;
    const auto grid = Arrangement::Grid;

    // Scattered, of three sizes; the group's top-left corner is (0, 1).
    const Configuration scattered
            = layout(4, {{0, cells(4, 3, 6, 5)}, {1, cells(0, 6, 3, 8)}, {2, cells(8, 1, 10, 4)}});
    QTest::newRow("row of all, none selected")
            << scattered << QList<int>{} << row
            << layout(4, {{0, cells(0, 1, 2, 3)}, {1, cells(2, 1, 5, 3)}, {2, cells(5, 1, 7, 4)}});
    QTest::newRow("row of the selection, in channel order")
            << scattered << QList<int>{2, 0} << row
            << layout(4, {{0, cells(4, 1, 6, 3)}, {1, cells(0, 6, 3, 8)}, {2, cells(6, 1, 8, 4)}});

    const Configuration four = layout(4, {{0, cells(9, 9, 11, 11)},
                                          {1, cells(3, 2, 5, 4)},
                                          {2, cells(0, 6, 2, 8)},
                                          {3, cells(6, 0, 8, 2)}});
    QTest::newRow("grid of four is a square") << four << QList<int>{} << grid
                                              << layout(4, {{0, cells(0, 0, 2, 2)},
                                                            {1, cells(2, 0, 4, 2)},
                                                            {2, cells(0, 2, 2, 4)},
                                                            {3, cells(2, 2, 4, 4)}});
    // Three columns; the second row goes below the lowest tile above its columns, the
    // third below the lowest of the second row above its own.
    Configuration eight;
    eight.channelCount = 8;
    for (int i = 0; i < 8; ++i)
        eight.channels[i] = placedAt(i * 4, 20, i * 4 + 2, 22);
    eight.channels[1] = placedAt(4, 20, 6, 25);   // tall, in the middle of the first row
    eight.channels[3] = placedAt(12, 20, 16, 22); // wide, first of the second row
    Configuration eightGrid = eight;
    const QRect eightCells[]
            = {cells(0, 20, 2, 22), cells(2, 20, 4, 25), cells(4, 20, 6, 22), cells(0, 25, 4, 27),
               cells(4, 25, 6, 27), cells(6, 25, 8, 27), cells(0, 27, 2, 29), cells(2, 27, 4, 29)};
    for (int i = 0; i < 8; ++i) {
        const QRect &r = eightCells[i];
        eightGrid.channels[i] = placedAt(r.left(), r.top(), r.right(), r.bottom());
    }
    QTest::newRow("grid of eight, unequal sizes") << eight << QList<int>{} << grid << eightGrid;

    QTest::newRow("refused: past line 255")
            << layout(2, {{0, cells(250, 0, 253, 2)}, {1, cells(251, 3, 254, 5)}}) << QList<int>{}
            << row << layout(2, {{0, cells(250, 0, 253, 2)}, {1, cells(251, 3, 254, 5)}});
    const Configuration blocked
            = layout(4, {{0, cells(0, 0, 2, 2)}, {1, cells(3, 0, 5, 2)}, {2, cells(6, 0, 8, 2)}});
    QTest::newRow("refused: onto a tile not arranged")
            << blocked << QList<int>{0, 2} << row << blocked;
}

void tst_Arrange::arrange()
{
    QFETCH(Configuration, before);
    QFETCH(QList<int>, selected);
    QFETCH(Arrangement, how);
    QFETCH(Configuration, expected);

    Document document;
    DocumentChanges changes(document);
    changes.replaceAll(before);
    EditorState state;
    for (const int i : selected)
        state.selectedChannels.add(i);
    QMenu menu;
    ArrangeActions actions(menu, changes, state);
    QAction *action = how == Arrangement::Row ? actions.rowAction() : actions.gridAction();

    action->trigger();
    const bool refused = expected == before;
    QCOMPARE(changes.configuration(), expected);
    QCOMPARE(changes.undoStack().count(), refused ? 0 : 1);
    QCOMPARE(document.modified, !refused);
    if (refused)
        return;
    QCOMPARE(changes.undoStack().undoText(), how == Arrangement::Row
                                                     ? QStringLiteral("Arrange in a row")
                                                     : QStringLiteral("Arrange in a grid"));
    changes.undoStack().undo();
    QCOMPARE(changes.configuration(), before);
}

QTEST_MAIN(tst_Arrange)
#include "tst_arrange.moc"
