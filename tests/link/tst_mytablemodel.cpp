#include "link/mytablemodel.h"
#include "link/portlist.h"

#include <QSignalSpy>
#include <QTest>

class tst_MyTableModel : public QObject
{
    Q_OBJECT

private slots:
    void displayText_data();
    void displayText();
    void headers_data();
    void headers();
    void readOnly();
    void refreshResetsAndKeepsCommandLinePorts();
};

void tst_MyTableModel::displayText_data()
{
    QTest::addColumn<PortDescription>("port");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("device");

    QTest::newRow("described") << PortDescription{"COM1", "USB Serial", "/dev/ttyUSB0"} << "COM1"
                               << "USB Serial (COM1)";
    QTest::newRow("no description") << PortDescription{"ttyS0", "", "/dev/ttyS0"} << "ttyS0"
                                    << "Unknown. (ttyS0)";
    // A description is shown as it stands, placeholders included.
    QTest::newRow("percent signs") << PortDescription{"COM7", "%1 adapter %2", "COM7"} << "COM7"
                                   << "%1 adapter %2 (COM7)";
}

void tst_MyTableModel::displayText()
{
    QFETCH(PortDescription, port);
    QFETCH(QString, name);
    QFETCH(QString, device);

    PortList list([port] { return QList<PortDescription>{port}; });
    MyTableModel model(list);
    model.refresh();

    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.columnCount(), 2);
    QCOMPARE(model.data(model.index(0, 0)).toString(), name);
    QCOMPARE(model.data(model.index(0, 1)).toString(), device);
    QVERIFY(!model.data(model.index(0, 0), Qt::ToolTipRole).isValid());
    QVERIFY(!model.data(model.index(0, 1), Qt::EditRole).isValid());
}

void tst_MyTableModel::headers_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("role");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("port") << int(Qt::Horizontal) << 0 << int(Qt::DisplayRole)
                          << QVariant(QStringLiteral("Port"));
    QTest::newRow("device name") << int(Qt::Horizontal) << 1 << int(Qt::DisplayRole)
                                 << QVariant(QStringLiteral("Device name"));
    QTest::newRow("other column") << int(Qt::Horizontal) << 5 << int(Qt::DisplayRole)
                                  << QVariant(5);
    QTest::newRow("row numbers from one")
            << int(Qt::Vertical) << 0 << int(Qt::DisplayRole) << QVariant(1);
    QTest::newRow("other role") << int(Qt::Horizontal) << 0 << int(Qt::ToolTipRole) << QVariant();
}

void tst_MyTableModel::headers()
{
    QFETCH(int, orientation);
    QFETCH(int, section);
    QFETCH(int, role);
    QFETCH(QVariant, expected);

    PortList list([] { return QList<PortDescription>(); });
    MyTableModel model(list);
    QCOMPARE(model.headerData(section, Qt::Orientation(orientation), role), expected);
}

void tst_MyTableModel::readOnly()
{
    PortList list([] { return QList<PortDescription>{{"COM1", "D", "COM1"}}; });
    MyTableModel model(list);
    model.refresh();
    const QModelIndex index = model.index(0, 0);

    QCOMPARE(model.flags(index), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    QVERIFY(!model.setData(index, QStringLiteral("COM9")));
    QCOMPARE(model.data(index).toString(), QStringLiteral("COM1"));
}

// Ports come and go between refreshes; views must be told, and the ports given on
// the command line must stay at the top.
void tst_MyTableModel::refreshResetsAndKeepsCommandLinePorts()
{
    QList<PortDescription> system{{"COM1", "First", "COM1"}};
    PortList list([&system] { return system; });
    MyTableModel model(list);
    list.setExtraPorts({QStringLiteral("/dev/pts/7"), QString(), QStringLiteral("COM1")});
    model.refresh();
    // COM1 from the command line is listed once, as a command-line port.
    QCOMPARE(model.rowCount(), 2);

    QSignalSpy aboutToReset(&model, &QAbstractItemModel::modelAboutToBeReset);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QVERIFY(aboutToReset.isValid());
    QVERIFY(reset.isValid());
    int rowsWhenAnnounced = -1;
    connect(&model, &QAbstractItemModel::modelAboutToBeReset, this,
            [&] { rowsWhenAnnounced = model.rowCount(); });

    system = {{"COM3", "Second", "COM3"}, {"COM4", "Third", "COM4"}};
    model.refresh();

    QCOMPARE(aboutToReset.count(), 1);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(rowsWhenAnnounced, 2);
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("/dev/pts/7"));
    QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("Command line (/dev/pts/7)"));
    QCOMPARE(model.data(model.index(1, 0)).toString(), QStringLiteral("COM1"));
    QCOMPARE(model.data(model.index(3, 0)).toString(), QStringLiteral("COM4"));
    QCOMPARE(list.at(0).systemLocation, QStringLiteral("/dev/pts/7"));
}

QTEST_GUILESS_MAIN(tst_MyTableModel)
#include "tst_mytablemodel.moc"
