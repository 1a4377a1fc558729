#include "link/comport.h"
#include "link/linkframe.h"
#include "link/mytablemodel.h"
#include "link/portlist.h"
#include "link/portwatch.h"
#include "link/serialportsetup.h"
#include "link/switchemulator.h"
#include "rununtil.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

class tst_comPort : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void selectPort_data();
    void selectPort();
    void refresh_data();
    void refresh();
    void okNeedsASelectedRow();
    void bitrate_data();
    void bitrate();
    void wholePortNames_data();
    void wholePortNames();
    void findSwitch_data();
    void findSwitch();
    void portWatch_data();
    void portWatch();
    void cleanup();

private:
    static QTableView *table(comPort &dialog)
    {
        return dialog.findChild<QTableView *>("tableView");
    }
    static int selectedRow(comPort &dialog);
    static void click(comPort &dialog, const char *button);

    QList<PortDescription> m_system;
    std::unique_ptr<PortList> m_list;
    std::unique_ptr<MyTableModel> m_model;
};

void tst_comPort::init()
{
    m_system = {{"COM1", "Onboard", "COM1"}, {"COM3", "USB adapter", "COM3"}};
    m_list = std::make_unique<PortList>([this] { return m_system; });
    m_model = std::make_unique<MyTableModel>(*m_list);
}

void tst_comPort::cleanup()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    QVERIFY(std::none_of(windows.cbegin(), windows.cend(),
                         [](QWidget *w) { return qobject_cast<comPort *>(w) != nullptr; }));
}

int tst_comPort::selectedRow(comPort &dialog)
{
    const QModelIndexList rows = table(dialog)->selectionModel()->selectedRows();
    return rows.size() == 1 ? rows.first().row() : -rows.size() - 1;
}

void tst_comPort::click(comPort &dialog, const char *button)
{
    dialog.findChild<QPushButton *>(button)->click();
}

void tst_comPort::selectPort_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("ports"); // how many of the system ports are present
    QTest::addColumn<int>("row");   // -1: nothing selected

    QTest::newRow("stored port reselected by name") << "COM3" << 2 << 1;
    QTest::newRow("stored port gone") << "COM9" << 2 << 0;
    QTest::newRow("nothing stored") << "" << 2 << 0;
    QTest::newRow("no ports at all") << "COM3" << 0 << -1;
}

void tst_comPort::selectPort()
{
    QFETCH(QString, stored);
    QFETCH(int, ports);
    QFETCH(int, row);

    m_system = m_system.mid(0, ports);
    comPort dialog(*m_model);
    dialog.selectPort({stored, QString(), stored});

    QCOMPARE(selectedRow(dialog), row < 0 ? -1 : row);
    QCOMPARE(dialog.focusWidget(), table(dialog));
    QCOMPARE(dialog.chosenPort().portName, stored);
}

void tst_comPort::refresh_data()
{
    QTest::addColumn<bool>("clearSelection");
    QTest::addColumn<QString>("expected");

    // With a row selected, that row's port is kept even if it moves in the new list.
    QTest::newRow("selected row followed") << false << "COM3";
    // Without a selection the port given to selectPort is looked up by name again.
    QTest::newRow("stored port looked up") << true << "COM1";
}

void tst_comPort::refresh()
{
    QFETCH(bool, clearSelection);
    QFETCH(QString, expected);

    comPort dialog(*m_model);
    dialog.selectPort(m_system.at(0));
    table(dialog)->selectRow(1);
    if (clearSelection)
        table(dialog)->clearSelection();

    // A new port appears in front of the others.
    m_system.prepend({"COM0", "New", "COM0"});
    click(dialog, "pushButtonRefresh");

    QCOMPARE(m_model->rowCount(), 3);
    QCOMPARE(dialog.chosenPort().portName, expected);
    QCOMPARE(m_list->at(selectedRow(dialog)).portName, expected);
}

void tst_comPort::okNeedsASelectedRow()
{
    comPort dialog(*m_model);
    dialog.selectPort(m_system.at(1));
    table(dialog)->clearSelection();
    click(dialog, "pushButtonOk");
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());

    table(dialog)->selectRow(0);
    click(dialog, "pushButtonOk");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.chosenPort().portName, QStringLiteral("COM1"));
    QCOMPARE(dialog.chosenPort().systemLocation, QStringLiteral("COM1"));
}

void tst_comPort::bitrate_data()
{
    QTest::addColumn<int>("initial");
    QTest::addColumn<int>("requested");
    QTest::addColumn<int>("chosen");

    QTest::newRow("9600") << 115200 << 9600 << 9600;
    QTest::newRow("115200") << 9600 << 115200 << 115200;
    QTest::newRow("unknown rate keeps the entry") << 115200 << 57600 << 115200;
}

void tst_comPort::bitrate()
{
    QFETCH(int, initial);
    QFETCH(int, requested);
    QFETCH(int, chosen);

    comPort dialog(*m_model);
    dialog.setBitrate(initial);
    dialog.setBitrate(requested);
    QCOMPARE(dialog.chosenBitrate(), chosen);
}

void tst_comPort::wholePortNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("fits"); // the whole name fits beside the other columns

    QTest::newRow("names take their width") << "/tmp/switches/vorrix4-rack3" << true;
    QTest::newRow("a long name is cut in the middle")
            << "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0-rack3-shelf2"
            << false;
}

// Paths differ at their ends as often as at their starts; a column cut to its first
// characters makes three ports look alike.
void tst_comPort::wholePortNames()
{
    QFETCH(QString, name);
    QFETCH(bool, fits);

    m_system = {{name, "Serial adapter", name}, {"ttyS0", "Onboard", "/dev/ttyS0"}};
    comPort dialog(*m_model);
    dialog.selectPort(m_system.at(0));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTableView *view = table(dialog);
    const QHeaderView *header = view->horizontalHeader();
    const QAbstractItemView *cells = view;

    QCOMPARE(view->model()->index(0, 0).data(Qt::ToolTipRole).toString(), name);
    QCOMPARE(view->textElideMode(), Qt::ElideMiddle);
    QVERIFY(header->length() <= view->viewport()->width());
    QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
    const int content = cells->sizeHintForColumn(0);
    if (fits)
        QCOMPARE(header->sectionSize(0), content);
    else
        QVERIFY(header->sectionSize(0) < content
                && header->sectionSize(0) >= view->viewport()->width() / 3);
    dialog.close();
}

void tst_comPort::findSwitch_data()
{
    QTest::addColumn<bool>("okAtOnce"); // OK while the search still runs
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("anyPort"); // false: the system lists no port at all

    QTest::newRow("names the switches and picks the first")
            << false << QStringList{"No answer", "Vorrix 4", "Vorrix 8"} << 1 << true;
    // A probe still holding a port would make the connection that follows fail.
    QTest::newRow("OK while searching frees every port") << true << QStringList() << 0 << true;
    // Nothing to probe: the search ends at once instead of leaving Find disabled.
    QTest::newRow("no port at all") << false << QStringList() << -1 << false;
}

// A silent port, a 4- and an 8-channel switch, each on its own pseudo-terminal.
void tst_comPort::findSwitch()
{
    QFETCH(bool, okAtOnce);
    QFETCH(QStringList, found);
    QFETCH(int, row);
    QFETCH(bool, anyPort);

    SwitchEmulator silent(4), four(4), eight(8);
    SwitchEmulator::Faults answersNothing;
    answersNothing.silent = true;
    silent.setFaults(answersNothing);
    m_system.clear();
    for (SwitchEmulator *emu : {&silent, &four, &eight}) {
        QVERIFY(emu->startOnPty());
        if (anyPort)
            m_system.append({emu->devicePath(), "Emulator", emu->devicePath()});
    }
    comPort dialog(*m_model);
    dialog.selectPort(m_system.value(0));
    // An 8-channel configuration: only the high rate, so the silent port costs 1.5 s.
    dialog.setBitrateVisible(false);
    click(dialog, "pushButtonFind");
    auto *find = dialog.findChild<QPushButton *>("pushButtonFind");
    QCOMPARE(find->isEnabled(), !anyPort);
    if (okAtOnce) {
        click(dialog, "pushButtonOk");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(find->isEnabled());
    } else {
        QVERIFY(runUntil([find] { return find->isEnabled(); }, 5000));
    }

    QCOMPARE(selectedRow(dialog), row);
    const QAbstractItemModel *model = table(dialog)->model();
    for (int i = 0; i < found.size(); ++i)
        QCOMPARE(model->index(i, 2).data().toString(), found.at(i));
    for (SwitchEmulator *emu : {&four, &eight}) {
        // Let the last bytes arrive; every connection ends with the closing frame.
        runUntil([] { return false; }, 50);
        if (!emu->receivedFrames().isEmpty())
            QCOMPARE(emu->receivedFrames().last().command, quint8(kCmdClosing));
        QSerialPort next;
        QVERIFY(openSerialPort(next, emu->devicePath(), 115200));
    }
    // What was found stays for the next dialog, with no search of its own.
    comPort reopened(*m_model);
    reopened.selectPort(m_system.value(0));
    for (int i = 0; i < found.size(); ++i)
        QCOMPARE(table(reopened)->model()->index(i, 2).data().toString(), found.at(i));
}

void tst_comPort::portWatch_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("names"); // the port names listed afterwards
    QTest::addColumn<QString>("selected");

    // The new port is asked at once; a switch answers there.
    QTest::newRow("plugged in") << "add" << QStringList{"COM1", "COM3", "emulator"} << "COM3";
    // The selection stays with its port, or falls back to the first row.
    QTest::newRow("another port pulled") << "remove COM1" << QStringList{"COM3"} << "COM3";
    QTest::newRow("selected port pulled") << "remove COM3" << QStringList{"COM1"} << "COM1";
    QTest::newRow("nothing changed") << "" << QStringList{"COM1", "COM3"} << "COM3";
}

// Adapters plugged in or pulled while the dialog is open. The watch's half-second
// ticks are made by hand.
void tst_comPort::portWatch()
{
    QFETCH(QString, change);
    QFETCH(QStringList, names);
    QFETCH(QString, selected);

    SwitchEmulator emulator(4);
    QVERIFY(emulator.startOnPty());
    comPort dialog(*m_model);
    dialog.selectPort(m_system.at(1));
    auto *watch = dialog.findChild<PortWatch *>();
    QVERIFY(watch);
    QVERIFY(!watch->isActive()); // nothing runs before the dialog is shown
    dialog.show();
    QVERIFY(watch->isActive());
    QSignalSpy resets(m_model.get(), &QAbstractItemModel::modelReset);

    if (change == "add")
        m_system.append({emulator.devicePath(), "Emulator", emulator.devicePath()});
    else if (change == "remove COM1")
        m_system.removeAt(0);
    else if (change == "remove COM3")
        m_system.removeAt(1);
    watch->check();

    QCOMPARE(resets.count(), change.isEmpty() ? 0 : 1);
    QCOMPARE(m_model->rowCount(), names.size());
    for (int i = 0; i < names.size(); ++i) {
        if (names.at(i) != "emulator")
            QCOMPARE(m_list->at(i).portName, names.at(i));
    }
    QCOMPARE(m_list->at(selectedRow(dialog)).portName, selected);
    if (change == "add") {
        const QModelIndex finding = table(dialog)->model()->index(2, 2);
        QVERIFY(runUntil([&finding] { return finding.data().toString() == "Vorrix 4"; }, 5000));
        QVERIFY(emulator.helloCount() > 0);
        // The chosen port stays chosen; the switch just found is told under the table.
        auto *note = dialog.findChild<QLabel *>("labelFound");
        QVERIFY(runUntil([note] { return note->isVisible(); }, 5000));
        QVERIFY2(note->text().contains(emulator.devicePath()), qPrintable(note->text()));
        QCOMPARE(m_list->at(selectedRow(dialog)).portName, QStringLiteral("COM3"));
    }

    dialog.close();
    QVERIFY(!watch->isActive());
}

QTEST_MAIN(tst_comPort)
#include "tst_comport.moc"
