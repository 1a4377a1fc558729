#include "editortestsupport.h"

#include "editor/configwidget.h"

#include <QAccessible>
#include <QTest>
#include <QTranslator>

// The layout as assistive technology reads it: each placed tile one list item of the
// canvas, named after its channel and described by resolution and cells in the current
// language, with its selected and focused states.
class tst_TileAccessible : public QObject
{
    Q_OBJECT

private slots:
    void tileStates_data();
    void tileStates();
};

void tst_TileAccessible::tileStates_data()
{
    QTest::addColumn<QString>("change"); // what happens to channel 6 after it is laid out
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<bool>("focused");

    // Channel 6 stands at [2, 6) x [1, 4) with 1920 x 1080; channel 7 beside it.
    const QString placed = QString::fromUtf8("1920 × 1080, columns 3–6, rows 2–4");
    QTest::newRow("placed") << ""
                            << "Channel 6" << placed << false << false;
    QTest::newRow("selected") << "select"
                              << "Channel 6" << placed << true << false;
    QTest::newRow("focused by Tab") << "tab"
                                    << "Channel 6" << placed << true << true;
    QTest::newRow("no resolution")
            << "no resolution"
            << "Channel 6" << QString::fromUtf8("no resolution, columns 3–6, rows 2–4") << false
            << false;
    // Moved right, it meets channel 7 along two of its three rows.
    QTest::newRow("moved by an arrow key to a neighbour")
            << "move"
            << "Channel 6"
            << QString::fromUtf8("1920 × 1080, columns 4–7, rows 2–4, crosses to Channel 7 on the "
                                 "right (rows 2–3)")
            << true << false;
    QTest::newRow("moved to a neighbour, switching off")
            << "switching off, move"
            << "Channel 6" << QString::fromUtf8("1920 × 1080, columns 4–7, rows 2–4") << true
            << false;
    QTest::newRow("two neighbours, by channel")
            << "below"
            << "Channel 6"
            << placed
                       + QString::fromUtf8(", crosses to Channel 7 below (columns 4–5) and to "
                                           "Channel 8 on the right")
            << false << false;
    QTest::newRow("with a problem")
            << "problem"
            << "Channel 6" << placed + QStringLiteral("\nChannel 6 touches no other screen")
            << false << false;
    QTest::newRow("in German") << "german"
                               << "Kanal 6"
                               << QString::fromUtf8("1920 × 1080, Spalten 3–6, Zeilen 2–4") << false
                               << false;
    QTest::newRow("in German, moved to a neighbour")
            << "german, move"
            << "Kanal 6"
            << QString::fromUtf8("1920 × 1080, Spalten 4–7, Zeilen 2–4, wechselt zu Kanal 7 rechts "
                                 "(Zeilen 2–3)")
            << true << false;
}

void tst_TileAccessible::tileStates()
{
    QFETCH(QString, change);
    QFETCH(QString, name);
    QFETCH(QString, description);
    QFETCH(bool, selected);
    QFETCH(bool, focused);

    EditorFixture f(8);
    Configuration config = layout(8, {{5, cells(2, 1, 6, 4)}, {6, cells(7, 1, 9, 3)}});
    config.channels[5].resolutionX = 1920;
    config.channels[5].resolutionY = 1080;
    f.changes.replaceAll(config);
    f.canvas.show();
    QApplication::setActiveWindow(&f.canvas);
    QVERIFY(QTest::qWaitForWindowActive(&f.canvas));
    f.canvas.setFocus(Qt::OtherFocusReason);
    configwidget *tile = f.canvas.tile(5);

    QTranslator german;
    QTranslator germanExtra;
    if (change.startsWith("switching off")) {
        config.switchingEnabled = 0;
        f.changes.apply(config, DocumentChanges::switchingText(false));
    }
    if (change == "select") {
        f.canvas.showChannelTile(5);
    } else if (change == "tab") {
        tile->setFocus(Qt::TabFocusReason);
    } else if (change == "no resolution") {
        config.channels[5].resolutionX = 0;
        f.changes.apply(config, DocumentChanges::resolutionText(5));
    } else if (change == "below") {
        // Channel 8 fills the whole right edge; channel 7 meets part of the bottom.
        config.channels[6] = placedAt(3, 4, 5, 6);
        config.channels[7] = placedAt(6, 1, 8, 4);
        f.changes.apply(config, DocumentChanges::moveText({6, 7}));
    } else if (change == "problem") {
        tile->setProblems(QStringLiteral("Channel 6 touches no other screen"));
    } else if (change.startsWith("german")) {
        QVERIFY(german.load(QStringLiteral(":/translations/VIVUVE_de.qm")));
        QVERIFY(germanExtra.load(QStringLiteral(":/translations/OVSextra_de.qm")));
        QCoreApplication::installTranslator(&german);
        QCoreApplication::installTranslator(&germanExtra);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    }
    if (change.endsWith("move")) {
        f.canvas.showChannelTile(5);
        QTest::keyClick(&f.canvas, Qt::Key_Right);
    }

    QAccessibleInterface *canvas = QAccessible::queryAccessibleInterface(&f.canvas);
    QAccessibleInterface *item = QAccessible::queryAccessibleInterface(tile);
    QVERIFY(canvas && item);
    QCOMPARE(item->role(), QAccessible::ListItem);
    QCOMPARE(item->text(QAccessible::Name), name);
    QCOMPARE(item->text(QAccessible::Description), description);
    QCOMPARE(item->state().selectable, true);
    QCOMPARE(item->state().selected, selected);
    QCOMPARE(item->state().focusable, true);
    QCOMPARE(item->state().focused, focused);
    QCOMPARE(item->childCount(), 0); // the labels inside are not read out apart

    // The canvas lists the placed tiles only, in channel order, and nothing else.
    QCOMPARE(canvas->role(), QAccessible::List);
    QCOMPARE(canvas->text(QAccessible::Name), change.startsWith("german")
                                                      ? QStringLiteral("Bildschirmanordnung")
                                                      : QStringLiteral("Screen layout"));
    QCOMPARE(canvas->childCount(), change == "below" ? 3 : 2);
    QCOMPARE(canvas->child(0), item);
    QCOMPARE(canvas->indexOfChild(item), 0);
    QCOMPARE(item->parent(), canvas);
    QCOMPARE(canvas->child(1)->text(QAccessible::Name),
             change.startsWith("german") ? QStringLiteral("Kanal 7") : QStringLiteral("Channel 7"));
    QCOMPARE(canvas->indexOfChild(QAccessible::queryAccessibleInterface(f.canvas.tile(0))), -1);

    QCoreApplication::removeTranslator(&german);
    QCoreApplication::removeTranslator(&germanExtra);
}

QTEST_MAIN(tst_TileAccessible)
#include "tst_tileaccessible.moc"
