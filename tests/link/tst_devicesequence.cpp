#include "app/corvanecfg.h"
#include "dialoganswerer.h"
#include "document/ovsfile.h"
#include "link/comport.h"
#include "link/devicesequence.h"
#include "link/switchemulator.h"
#include "rununtil.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

Configuration switchConfiguration(int channels)
{
    Configuration c;
    resetConfiguration(c);
    c.channelCount = quint8(channels);
    c.deviceChannels = quint8(channels);
    c.switchingEnabled = 0;
    c.mouseSpeed = 7;
    for (int i = 0; i < channels; ++i)
        c.channels[i] = ChannelEntry{
                1, quint8(2 * i), 1, quint8(2 * i + 2), 3, quint16(1920 - i), quint16(1080 + i)};
    return c;
}

QList<int> commands(const QList<LinkFrame> &frames)
{
    QList<int> list;
    for (const LinkFrame &f : frames) {
        if (f.command != kCmdAck)
            list << f.command;
    }
    return list;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The requests of the readout that keeps the switch's configuration as a restore point
// before a transmission writes anything.
QList<int> restorePointReadout(int channels)
{
    QList<int> list{kCmdSwitchingState, kCmdMouseSpeed};
    for (int i = 0; i < channels; ++i)
        list << kCmdChannelRecord;
    return list;
}

const char kTransmissionError[] = "message:An error occured during transmission! Action has "
                                  "failed.";

} // namespace

class tst_DeviceSequence : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void readout_data();
    void readout();
    void verify_data();
    void verify();
    void cancelledPortDialog_data();
    void cancelledPortDialog();
    void transmit_data();
    void transmit();
    void failureDuringTheQuestionSendsNothingMore();
    void silentSwitchAsksAgainAndNewConnectionSurvivesOldClose();
    void negativeAcknowledgementsFailTheReadout();
    void portThatCannotBeOpened();
    void switchVanishesMidExchange();
    void secondActionOnlyAfterTheExchange();
    void quittingMidExchangeSendsTheClosingFrame();

private:
    // A window past its start-up dialog, with the emulator's port offered first.
    std::unique_ptr<CorvaneCfg> makeWindow(const QString &port, int configChannels);
    // Until every answer is used and the port is closed again.
    static bool waitUntilIdle(CorvaneCfg &window, DialogAnswerer &answerer);

    QTemporaryDir m_dir;
};

void tst_DeviceSequence::initTestCase()
{
    // Restore points and the journal go to a folder of the tests' own.
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    // The window reads and writes its language file in the working directory.
    QVERIFY(QDir::setCurrent(m_dir.path()));
}

void tst_DeviceSequence::cleanup()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        QVERIFY2(!w->isVisible(), w->metaObject()->className());
}

std::unique_ptr<CorvaneCfg> tst_DeviceSequence::makeWindow(const QString &port, int configChannels)
{
    DialogAnswerer startup; // the new-configuration dialog, if there is one
    auto window = std::make_unique<CorvaneCfg>();
    window->setExtraPorts({port});
    window->document().currentConfig.channelCount = quint8(configChannels);
    window->document().modified = false;
    return window;
}

bool tst_DeviceSequence::waitUntilIdle(CorvaneCfg &window, DialogAnswerer &answerer)
{
    DeviceSequence &sequence = window.deviceSequence();
    const bool idle = runUntil(
            [&] {
                return answerer.done() && !sequence.connectionInProgress()
                       && !sequence.serialPort().isOpen();
            },
            30000);
    if (!idle)
        qWarning() << "still busy after" << answerer.seen;
    return idle;
}

void tst_DeviceSequence::readout_data()
{
    QTest::addColumn<int>("switchChannels");
    QTest::addColumn<int>("configChannels");
    QTest::addColumn<bool>("alreadyShown"); // the window shows what the switch holds

    QTest::newRow("2-channel switch") << 2 << 4 << false;
    // The loaded 4-channel configuration offers the bitrate; the 8 records all arrive.
    QTest::newRow("8-channel switch, 4 configured") << 8 << 4 << false;
    QTest::newRow("4-channel switch, 8 configured") << 4 << 8 << false;
    // Nothing to undo, but the canvas and the list start afresh: no tile stays selected.
    QTest::newRow("the switch holds what is shown") << 4 << 4 << true;
}

void tst_DeviceSequence::readout()
{
    QFETCH(int, switchChannels);
    QFETCH(int, configChannels);
    QFETCH(bool, alreadyShown);

    const Configuration expected = switchConfiguration(switchChannels);
    SwitchEmulator emulator(switchChannels, expected);
    QVERIFY(emulator.startOnPty());
    auto window = makeWindow(emulator.devicePath(), configChannels);
    // The window shows rack.ovs.
    const QString rack = m_dir.filePath("rack.ovs");
    QVERIFY(writeOvsFile(rack, window->document().currentConfig));
    window->document().openFileName = rack;
    window->loadConfigFile();
    const QByteArray rackBytes = readAll(rack);
    auto *transmit = window->findChild<QAction *>("actionTransmit");
    transmit->setEnabled(false);
    // Unsaved edits that the readout replaces.
    Configuration edited = window->document().currentConfig;
    edited.channels[0] = ChannelEntry{1, 4, 4, 6, 6, 800, 600};
    if (alreadyShown)
        edited = expected;
    window->documentChanges().apply(edited, QStringLiteral("Place Channel 1"));
    window->editorState().selectedChannels.add(0);

    DialogAnswerer answerer({"ok"});
    window->findChild<QAction *>("actionReadout")->trigger();
    QVERIFY(waitUntilIdle(*window, answerer));
    QVERIFY(!window->protocolTimer->isActive());

    const QString bitrate = configChannels > 4 ? "fixed" : "115200";
    QCOMPARE(answerer.seen, QStringList{"port:Get device configuration:" + bitrate});
    QCOMPARE(window->windowTitle(), QStringLiteral("Vorrix %1").arg(switchChannels));
    QVERIFY(transmit->isEnabled());
    QCOMPARE(window->document().currentConfig, expected);
    QVERIFY(!window->findChild<QCheckBox *>("checkBoxEnabled")->isChecked());
    QVERIFY(!window->findChild<QAction *>("action_OrvanelSwitching")->isChecked());
    QVERIFY(!window->document().syncingControls);
    QCOMPARE(commands(emulator.receivedFrames()).last(), int(kCmdClosing));
    QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(window->document().modified);
    QVERIFY(window->editorState().selectedChannels.isEmpty());
    // What the switch holds is not what rack.ovs holds: the document has no file now.
    auto *file = window->findChild<QLabel *>("documentFile");
    auto *outcome = window->findChild<QLabel *>("exchangeOutcome");
    QCOMPARE(window->document().fileName, alreadyShown ? rack : QString());
    QCOMPARE(file->text(),
             alreadyShown ? "rack.ovs (unsaved changes)" : "Untitled (unsaved changes)");
    QVERIFY(outcome->text().startsWith(alreadyShown ? "The switch holds" : "Read Vorrix"));
    if (alreadyShown) {
        QCOMPARE(window->findChild<QAction *>("actionUndo")->text(),
                 QStringLiteral("Undo Place Channel 1"));
        return;
    }

    // Save asks for a name; rejecting the dialog leaves rack.ovs as it was.
    window->findChild<QAction *>("action_Save")->trigger();
    QCOMPARE(answerer.seen.mid(1), QStringList{"unexpected:QFileDialog"});
    QCOMPARE(readAll(rack), rackBytes);

    // The edits come back with Undo, title, switching controls and file included; the
    // status bar no longer speaks of the readout as what is shown.
    auto *undo = window->findChild<QAction *>("actionUndo");
    QCOMPARE(undo->text(), QStringLiteral("Undo Get device configuration"));
    undo->trigger();
    QCOMPARE(window->document().currentConfig, edited);
    QCOMPARE(window->windowTitle(), QStringLiteral("Vorrix %1").arg(configChannels));
    QVERIFY(window->findChild<QCheckBox *>("checkBoxEnabled")->isChecked());
    QVERIFY(window->document().modified);
    QCOMPARE(window->document().fileName, rack);
    QCOMPARE(file->text(), "rack.ovs (unsaved changes)");
    QVERIFY2(outcome->text().startsWith("Readout from ") && outcome->text().endsWith(" undone"),
             qPrintable(outcome->text()));
    window->findChild<QAction *>("actionRedo")->trigger();
    QCOMPARE(window->document().currentConfig, expected);
    QCOMPARE(window->document().fileName, QString());
    QVERIFY(outcome->text().startsWith("Read Vorrix"));
}

void tst_DeviceSequence::verify_data()
{
    QTest::addColumn<bool>("same");
    QTest::addColumn<QString>("message");
    QTest::newRow("the switch holds the window's configuration")
            << true << "message:The switch holds the configuration shown here.";
    QTest::newRow("one record differs")
            << false
            << "message:The switch holds a different configuration (here \u2192 switch):\n\n"
               "Channel 2: left 9 \u2192 2, right 11 \u2192 4";
}

// Verify reads the switch like a readout but only compares: the document, its history and
// its unsaved state stay as they are.
void tst_DeviceSequence::verify()
{
    QFETCH(bool, same);
    QFETCH(QString, message);

    SwitchEmulator emulator(4, switchConfiguration(4));
    QVERIFY(emulator.startOnPty());
    auto window = makeWindow(emulator.devicePath(), 4);
    Configuration shown = switchConfiguration(4);
    if (!same) {
        shown.channels[1].left = 9;
        shown.channels[1].right = 11;
    }
    window->document().currentConfig = shown;
    window->document().modified = true;

    DialogAnswerer answerer({"ok", "Ok"});
    window->findChild<QAction *>("actionVerify")->trigger();
    QVERIFY(waitUntilIdle(*window, answerer));

    QCOMPARE(answerer.seen, (QStringList{"port:Verify device configuration:115200", message}));
    QCOMPARE(window->document().currentConfig, shown);
    QVERIFY(window->document().modified);
    QCOMPARE(window->documentChanges().undoStack().count(), 0);
    QCOMPARE(commands(emulator.receivedFrames()).last(), int(kCmdClosing));
}

void tst_DeviceSequence::cancelledPortDialog_data()
{
    QTest::addColumn<int>("configChannels");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("bitrateAfter");

    QTest::newRow("4 channels") << 4 << "9600" << 9600;
    // Eight channels always use 115200; the choice is hidden and already made.
    QTest::newRow("8 channels") << 8 << "fixed" << 115200;
}

void tst_DeviceSequence::cancelledPortDialog()
{
    QFETCH(int, configChannels);
    QFETCH(QString, shown);
    QFETCH(int, bitrateAfter);

    SwitchEmulator emulator(4, switchConfiguration(4));
    QVERIFY(emulator.startOnPty());
    auto window = makeWindow(emulator.devicePath(), configChannels);
    window->bitrate = 9600;
    const Configuration before = window->document().currentConfig;
    const PortDescription port = window->selectedPort;

    DialogAnswerer answerer({"cancel"});
    window->findChild<QAction *>("actionTransmit")->trigger();
    QVERIFY(waitUntilIdle(*window, answerer));

    QCOMPARE(answerer.seen, QStringList{"port:Set device configuration:" + shown});
    QCOMPARE(window->bitrate, bitrateAfter);
    QCOMPARE(window->selectedPort.portName, port.portName);
    QVERIFY(!window->deviceSequence().serialPort().isOpen());
    QCOMPARE(window->document().currentConfig, before);
    QCOMPARE(emulator.leadInCount() + emulator.helloCount(), 0);
}

void tst_DeviceSequence::transmit_data()
{
    // "small": channel 4 is a lone 1 x 1 tile; "overlap": it overlaps channel 3; "no
    // resolution": channel 3 has none.
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("switchChannels");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("seen");
    QTest::addColumn<QList<int>>("frames");

    const QString port = "port:Set device configuration:115200";
    const QString question = "message:Note that the connected Vorrix has 8 channels, but there "
                             "were 4 channels configured. Would you like to continue?";
    const QString complete = "message:Transmission complete!";
    const QList<int> fourRecords{kCmdWriteSwitching, kCmdWriteMouseSpeed, kCmdWriteRecord,
                                 kCmdWriteRecord,    kCmdWriteRecord,     kCmdWriteRecord,
                                 kCmdClosing};

    const QString problems = "message:This configuration has problems:\n\n"
                             "\u2022 Channel 4 is smaller than 2 \u00d7 2 cells\n"
                             "\u2022 Channel 4 touches no other screen\n\n"
                             "Would you like to send it to the switch all the same?";

    QTest::newRow("equal counts") << "" << 4 << QStringList{"ok", "Keep", "Ok"}
                                  << QStringList{port, "keep", complete} << fourRecords;
    // The configured number of records goes out, not the switch's.
    QTest::newRow("mismatch, Yes") << "" << 8 << QStringList{"ok", "Yes", "Keep", "Ok"}
                                   << QStringList{port, question, "keep", complete} << fourRecords;
    QTest::newRow("mismatch, Cancel") << "" << 8 << QStringList{"ok", "Cancel"}
                                      << QStringList{port, question} << QList<int>{kCmdClosing};
    // A layout the editor would not make goes out only when the operator says so.
    QTest::newRow("layout problems, Yes")
            << "small" << 4 << QStringList{"Yes", "ok", "Keep", "Ok"}
            << QStringList{problems, port, "keep", complete} << fourRecords;
    QTest::newRow("layout problems, Cancel")
            << "small" << 4 << QStringList{"Cancel"} << QStringList{problems} << QList<int>{};
    // Return answers the default, Cancel: a layout with errors is not sent by a keystroke.
    QTest::newRow("layout problems, Return")
            << "overlap" << 4 << QStringList{"Return"}
            << QStringList{"message:This configuration has problems:\n\n\u2022 Channels 3 and 4 "
                           "overlap\n\nWould you like to send it to the switch all the same?"}
            << QList<int>{};
    // A screen without resolution is a notice, not an error: no question.
    QTest::newRow("no resolution, no question")
            << "no resolution" << 4 << QStringList{"ok", "Keep", "Ok"}
            << QStringList{port, "keep", complete} << fourRecords;
}

void tst_DeviceSequence::transmit()
{
    QFETCH(QString, layout);
    QFETCH(int, switchChannels);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, seen);
    QFETCH(QList<int>, frames);

    SwitchEmulator emulator(switchChannels, switchConfiguration(switchChannels));
    QVERIFY(emulator.startOnPty());
    auto window = makeWindow(emulator.devicePath(), 4);
    Configuration &config = window->document().currentConfig;
    config = switchConfiguration(4);
    config.switchingEnabled = 1;
    config.mouseSpeed = 3;
    config.channels[2] = ChannelEntry{1, 4, 1, 6, 3, 800, 600};
    if (layout == "small")
        config.channels[3] = ChannelEntry{1, 9, 9, 10, 10, 640, 480};
    else if (layout == "overlap")
        config.channels[3] = ChannelEntry{1, 5, 1, 7, 3, 640, 480};
    else if (layout == "no resolution")
        config.channels[2].resolutionX = 0;
    const Configuration before = config;
    window->setWindowTitle(QStringLiteral("unchanged"));

    DialogAnswerer answerer(answers);
    window->findChild<QAction *>("actionTransmit")->trigger();
    QVERIFY(waitUntilIdle(*window, answerer));

    QCOMPARE(answerer.seen, seen);
    const bool written = frames.size() > 1;
    if (!frames.isEmpty())
        frames = restorePointReadout(switchChannels) + frames;
    QCOMPARE(commands(emulator.receivedFrames()), frames);
    QCOMPARE(window->document().currentConfig, before);
    QVERIFY(!window->document().modified);
    QCOMPARE(window->windowTitle(), QStringLiteral("unchanged"));
    QCOMPARE(window->messageBox.standardButtons(), QMessageBox::Ok);
    QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
    if (written) {
        QCOMPARE(emulator.configuration().switchingEnabled, quint8(1));
        QCOMPARE(emulator.configuration().mouseSpeed, quint8(3));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(emulator.configuration().channels[i], before.channels[i]);
    }
}

// The exchange fails while the operator reads the channel-count question: the answer
// must not send the configuration into a dead exchange.
void tst_DeviceSequence::failureDuringTheQuestionSendsNothingMore()
{
    SwitchEmulator emulator(8, switchConfiguration(8));
    QVERIFY(emulator.startOnPty());
    auto window = makeWindow(emulator.devicePath(), 4);
    window->document().currentConfig = switchConfiguration(4);

    DialogAnswerer answerer({"ok", "Yes", "Ok"});
    answerer.beforeAnswer = [&window](const QString &entry) {
        if (entry.startsWith(QLatin1String("message:Note")))
            window->deviceSequence().link().state().errorEvent = true;
    };
    window->findChild<QAction *>("actionTransmit")->trigger();
    QVERIFY(waitUntilIdle(*window, answerer));

    QCOMPARE(answerer.seen.size(), 3);
    QCOMPARE(answerer.seen.last(), QString::fromLatin1(kTransmissionError));
    QCOMPARE(commands(emulator.receivedFrames()), restorePointReadout(8) + QList<int>{kCmdClosing});
}

// The switch stays silent: after about 2 s the operator is told and asked for the port
// again. Confirming at once must not let the old connection's delayed close shut the
// port of the new one.
void tst_DeviceSequence::silentSwitchAsksAgainAndNewConnectionSurvivesOldClose()
{
    const Configuration expected = switchConfiguration(8);
    SwitchEmulator emulator(8, expected);
    QVERIFY(emulator.startOnPty());
    emulator.setSilent(true);
    auto window = makeWindow(emulator.devicePath(), 4);
    QSerialPort &port = window->deviceSequence().serialPort();

    int closes = 0;
    int closesAtCompletion = -1;
    connect(&port, &QIODevice::aboutToClose, this, [&closes] { ++closes; });
    connect(window.get(), &QWidget::windowTitleChanged, this, [&] { closesAtCompletion = closes; });

    const QString cannotConnect = "message:Cannot connect to target! Please check port, "
                                  "bitrate and startup mode.";
    DialogAnswerer answerer({"ok", "Ok", "ok"});
    answerer.beforeAnswer = [&](const QString &entry) {
        if (entry == cannotConnect)
            emulator.setSilent(false); // it hears the closing frame and the new connection
    };
    window->findChild<QAction *>("actionReadout")->trigger();
    QVERIFY(waitUntilIdle(*window, answerer));

    const QString dialog = "port:Get device configuration:115200";
    QCOMPARE(answerer.seen, (QStringList{dialog, cannotConnect, dialog}));
    QCOMPARE(commands(emulator.receivedFrames()).first(), int(kCmdClosing));
    QCOMPARE(emulator.helloCount(), 2);
    // Closed once when the new connection began, not again until the readout ended.
    QCOMPARE(closesAtCompletion, 1);
    QCOMPARE(closes, 2);
    QCOMPARE(window->document().currentConfig, expected);
}

void tst_DeviceSequence::negativeAcknowledgementsFailTheReadout()
{
    SwitchEmulator emulator(4, switchConfiguration(4));
    QVERIFY(emulator.startOnPty());
    emulator.nakNextFrames(4);
    auto window = makeWindow(emulator.devicePath(), 2);
    const Configuration before = window->document().currentConfig;

    DialogAnswerer answerer({"ok", "Ok"});
    window->findChild<QAction *>("actionReadout")->trigger();
    QVERIFY(waitUntilIdle(*window, answerer));

    QCOMPARE(answerer.seen,
             (QStringList{"port:Get device configuration:115200", kTransmissionError}));
    QCOMPARE(window->document().currentConfig, before);
    QCOMPARE(commands(emulator.receivedFrames()),
             (QList<int>{kCmdSwitchingState, kCmdSwitchingState, kCmdSwitchingState,
                         kCmdSwitchingState, kCmdClosing}));
}

void tst_DeviceSequence::portThatCannotBeOpened()
{
    const QString missing = m_dir.filePath(QStringLiteral("no-such-tty"));
    auto window = makeWindow(missing, 4);

    DialogAnswerer answerer({"ok", "Ok"});
    window->findChild<QAction *>("actionReadout")->trigger();
    QVERIFY(waitUntilIdle(*window, answerer));

    QCOMPARE(answerer.seen, (QStringList{"port:Get device configuration:115200",
                                         "message:Error connecting to serial port! Port in use."}));
    QVERIFY(!window->deviceSequence().serialPort().isOpen());
    QCOMPARE(window->selectedPort.portName, missing);
}

// Qt 6.4 repeats the read error without end once the far end has gone: the port must
// be closed at the first one and the failure told once.
void tst_DeviceSequence::switchVanishesMidExchange()
{
    SwitchEmulator emulator(8, switchConfiguration(8));
    QVERIFY(emulator.startOnPty());
    auto window = makeWindow(emulator.devicePath(), 4);
    const Configuration before = window->document().currentConfig;
    QSignalSpy errors(&window->deviceSequence().serialPort(), &QSerialPort::errorOccurred);
    QVERIFY(errors.isValid());
    connect(&emulator, &SwitchEmulator::frameReceived, this, [&emulator](quint8 command) {
        // Not from inside the emulator's own read notification.
        if (command == kCmdMouseSpeed)
            QTimer::singleShot(0, &emulator, [&emulator] { emulator.stop(); });
    });

    DialogAnswerer answerer({"ok", "Ok"});
    window->findChild<QAction *>("actionReadout")->trigger();
    QVERIFY(waitUntilIdle(*window, answerer));
    // Give a spinning port the chance to show itself.
    runUntil([] { return false; }, 200);

    QCOMPARE(answerer.seen,
             (QStringList{"port:Get device configuration:115200", kTransmissionError}));
    QVERIFY(!window->deviceSequence().serialPort().isOpen());
    QVERIFY2(errors.count() < 10, qPrintable(QString::number(errors.count())));
    QCOMPARE(window->document().currentConfig, before);
    QCOMPARE(window->cursor().shape(), Qt::ArrowCursor);
}

// A device action during an exchange is ignored; one right after it, while the port
// still waits for its delayed close, starts a new connection on a freshly opened port.
void tst_DeviceSequence::secondActionOnlyAfterTheExchange()
{
    const Configuration expected = switchConfiguration(8);
    SwitchEmulator emulator(8, expected);
    QVERIFY(emulator.startOnPty());
    auto window = makeWindow(emulator.devicePath(), 4);
    auto *readout = window->findChild<QAction *>("actionReadout");
    auto *transmit = window->findChild<QAction *>("actionTransmit");
    connect(window.get(), &QWidget::windowTitleChanged, transmit, &QAction::trigger,
            Qt::QueuedConnection);

    DialogAnswerer answerer({"ok", "ok", "Keep", "Ok"});
    readout->trigger();
    QVERIFY(window->deviceSequence().connectionInProgress());
    readout->trigger(); // no second dialog
    QVERIFY(waitUntilIdle(*window, answerer));

    QCOMPARE(answerer.seen, (QStringList{"port:Get device configuration:115200",
                                         "port:Set device configuration:fixed", "keep",
                                         "message:Transmission complete!"}));
    QList<int> written = commands(emulator.receivedFrames());
    written = written.mid(written.indexOf(kCmdClosing));
    QCOMPARE(written, QList<int>{kCmdClosing} + restorePointReadout(8)
                              + (QList<int>{kCmdWriteSwitching, kCmdWriteMouseSpeed,
                                            kCmdWriteRecord, kCmdWriteRecord, kCmdWriteRecord,
                                            kCmdWriteRecord, kCmdWriteRecord, kCmdWriteRecord,
                                            kCmdWriteRecord, kCmdWriteRecord, kCmdClosing}));
    QCOMPARE(emulator.configuration(), expected);
}

// A window that goes away in the middle of a readout must not leave the switch in the
// middle of an exchange: the closing frame goes out before the port closes.
void tst_DeviceSequence::quittingMidExchangeSendsTheClosingFrame()
{
    SwitchEmulator emulator(4, switchConfiguration(4));
    QVERIFY(emulator.startOnPty());
    auto window = makeWindow(emulator.devicePath(), 4);
    connect(&emulator, &SwitchEmulator::frameReceived, this, [this, &window](quint8 command) {
        if (command == kCmdMouseSpeed)
            QTimer::singleShot(0, this, [&window] { window.reset(); });
    });
    QSignalSpy closing(&emulator, &SwitchEmulator::closingReceived);
    QVERIFY(closing.isValid());

    DialogAnswerer answerer({"ok"});
    window->findChild<QAction *>("actionReadout")->trigger();
    QVERIFY(runUntil([&] { return !window; }, 30000));
    QVERIFY(runUntil([&] { return closing.count() == 1; }, 2000));
    QCOMPARE(commands(emulator.receivedFrames()).last(), int(kCmdClosing));
}

QTEST_MAIN(tst_DeviceSequence)
#include "tst_devicesequence.moc"
