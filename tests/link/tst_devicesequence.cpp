#include "dialoganswerer.h"
#include "document/commandhost.h"
#include "document/documentchanges.h"
#include "document/documentcommands.h"
#include "document/ovsfile.h"
#include "link/devicesequence.h"
#include "link/switchemulator.h"
#include "rununtil.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QSignalSpy>
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

// The window's part as the sequence sees it: a message box, the cursor and two actions.
class FakeHost : public CommandHost
{
public:
    QWidget *hostWindow() override { return &window; }
    int showMessage(const QString &text, QMessageBox::StandardButtons buttons,
                    QMessageBox::StandardButton defaultButton) override
    {
        box.setText(text);
        box.setStandardButtons(buttons);
        box.setDefaultButton(defaultButton);
        const int answer = box.exec();
        box.setInformativeText(QString());
        box.setStandardButtons(QMessageBox::Ok);
        return answer;
    }
    void setMessageDetail(const QString &detail) override { box.setInformativeText(detail); }
    void setBusy(bool on) override { busy = on; }
    void setSaveEnabled(bool on) override { saveEnabled = on; }
    void setTransmitEnabled(bool on) override { transmitEnabled = on; }
    PrintArea preparePrintArea() override { return {}; }

    QWidget window;
    QMessageBox box;
    bool busy = false;
    bool saveEnabled = false;
    bool transmitEnabled = false;
};

// The sequence with what the window gives it, its timers routed as the window's slots
// route them, and a restore point that is only kept in memory.
struct Rig
{
    explicit Rig(const QString &port, int configChannels)
    {
        commands = std::make_unique<DocumentCommands>(host, changes);
        sequence = std::make_unique<DeviceSequence>(
                host, changes, PortChoice{selectedPort, bitrate, availablePorts}, protocolTimer);
        QObject::connect(&protocolTimer, &QTimer::timeout, sequence.get(),
                         [s = sequence.get()] { s->msTimerSlot(); });
        QObject::connect(&sequence->leadInTimer(), &QTimer::timeout, sequence.get(),
                         [s = sequence.get()] { s->connectionDelaySlot(); });
        QObject::connect(&sequence->helloTimer(), &QTimer::timeout, sequence.get(),
                         [s = sequence.get()] { s->connectionDelaySlot2(); });
        QObject::connect(&sequence->closeTimer(), &QTimer::timeout, sequence.get(),
                         [s = sequence.get()] { s->closingDelaySlot(); });
        sequence->setRestorePointHook([this](const Configuration &previous, QString *) {
            restorePoint = previous;
            return true;
        });
        sequence->setExtraPorts({port});
        document.currentConfig.channelCount = quint8(configChannels);
    }
    const Configuration &config() const { return document.currentConfig; }
    // Until every answer is used and the port is closed again.
    bool waitUntilIdle(DialogAnswerer &answerer)
    {
        const bool idle = runUntil(
                [&] {
                    return answerer.done() && !sequence->connectionInProgress()
                           && !sequence->serialPort().isOpen();
                },
                30000);
        if (!idle)
            qWarning() << "still busy after" << answerer.seen;
        return idle;
    }

    Document document;
    DocumentChanges changes{document};
    FakeHost host;
    QTimer protocolTimer;
    PortDescription selectedPort;
    int bitrate = 115200;
    QList<PortDescription> availablePorts;
    std::unique_ptr<DocumentCommands> commands;
    std::unique_ptr<DeviceSequence> sequence;
    Configuration restorePoint;
};

const char kTransmissionError[] = "message:An error occured during transmission! Action has "
                                  "failed.";

} // namespace

// The window's readout, transmission and verification as the sequence runs them on its
// connection: the port dialog, the questions and the messages in their order, and the
// frames on the line.
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
    QTemporaryDir m_dir;
};

void tst_DeviceSequence::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void tst_DeviceSequence::cleanup()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        QVERIFY2(!w->isVisible(), w->metaObject()->className());
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
    // Nothing to undo, but the views start afresh.
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
    Rig rig(emulator.devicePath(), configChannels);
    // The document shows rack.ovs.
    const QString rack = m_dir.filePath("rack.ovs");
    QVERIFY(writeOvsFile(rack, rig.config()));
    rig.document.openFileName = rack;
    QVERIFY(rig.commands->loadConfigFile());
    const QByteArray rackBytes = readAll(rack);
    // Unsaved edits that the readout replaces.
    Configuration edited = rig.config();
    edited.channels[0] = ChannelEntry{1, 4, 4, 6, 6, 800, 600};
    if (alreadyShown)
        edited = expected;
    rig.changes.apply(edited, QStringLiteral("Place Channel 1"));
    QSignalSpy refreshed(&rig.changes, &DocumentChanges::configurationChanged);
    QVERIFY(refreshed.isValid());

    DialogAnswerer answerer({"ok"});
    rig.sequence->startReadout();
    QVERIFY(rig.waitUntilIdle(answerer));
    QVERIFY(!rig.protocolTimer.isActive());

    const QString bitrate = configChannels > 4 ? "fixed" : "115200";
    QCOMPARE(answerer.seen, QStringList{"port:Get device configuration:" + bitrate});
    QVERIFY(rig.host.transmitEnabled);
    QVERIFY(!rig.host.busy);
    QCOMPARE(rig.config(), expected);
    QCOMPARE(refreshed.count(), 1);
    QCOMPARE(commands(emulator.receivedFrames()).last(), int(kCmdClosing));
    QVERIFY(rig.document.modified);
    // What the switch holds is not what rack.ovs holds: the document has no file now.
    QCOMPARE(rig.document.fileName, alreadyShown ? rack : QString());
    const QString outcome = rig.sequence->report().outcome();
    QVERIFY(outcome.startsWith(alreadyShown ? "The switch holds" : "Read Vorrix"));
    if (alreadyShown) {
        QCOMPARE(rig.changes.undoStack().undoText(), QStringLiteral("Place Channel 1"));
        return;
    }

    // Save asks for a name; rejecting the dialog leaves rack.ovs as it was.
    rig.commands->save();
    QCOMPARE(answerer.seen.mid(1), QStringList{"unexpected:QFileDialog"});
    QCOMPARE(readAll(rack), rackBytes);

    // The edits come back with Undo, file included; the report no longer speaks of the
    // readout as what is shown.
    QCOMPARE(rig.changes.undoStack().undoText(), QStringLiteral("Get device configuration"));
    rig.changes.undoStack().undo();
    QCOMPARE(rig.config(), edited);
    QVERIFY(rig.document.modified);
    QCOMPARE(rig.document.fileName, rack);
    QVERIFY2(rig.sequence->report().outcome().endsWith(" undone"),
             qPrintable(rig.sequence->report().outcome()));
    rig.changes.undoStack().redo();
    QCOMPARE(rig.config(), expected);
    QCOMPARE(rig.document.fileName, QString());
    QVERIFY(rig.sequence->report().outcome().startsWith("Read Vorrix"));
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
    Rig rig(emulator.devicePath(), 4);
    Configuration shown = switchConfiguration(4);
    if (!same) {
        shown.channels[1].left = 9;
        shown.channels[1].right = 11;
    }
    rig.document.currentConfig = shown;
    rig.document.modified = true;

    DialogAnswerer answerer({"ok", "Ok"});
    rig.sequence->startVerify();
    QVERIFY(rig.waitUntilIdle(answerer));

    QCOMPARE(answerer.seen, (QStringList{"port:Verify device configuration:115200", message}));
    QCOMPARE(rig.config(), shown);
    QVERIFY(rig.document.modified);
    QCOMPARE(rig.changes.undoStack().count(), 0);
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
    Rig rig(emulator.devicePath(), configChannels);
    rig.bitrate = 9600;
    const Configuration before = rig.config();
    const PortDescription port = rig.selectedPort;

    DialogAnswerer answerer({"cancel"});
    rig.sequence->startTransmit();
    QVERIFY(rig.waitUntilIdle(answerer));

    QCOMPARE(answerer.seen, QStringList{"port:Set device configuration:" + shown});
    QCOMPARE(rig.bitrate, bitrateAfter);
    QCOMPARE(rig.selectedPort.portName, port.portName);
    QVERIFY(!rig.sequence->serialPort().isOpen());
    QCOMPARE(rig.config(), before);
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

    QTest::newRow("equal counts") << "" << 4 << QStringList{"ok", "Ok"}
                                  << QStringList{port, complete} << fourRecords;
    // The configured number of records goes out, not the switch's.
    QTest::newRow("mismatch, Yes") << "" << 8 << QStringList{"ok", "Yes", "Ok"}
                                   << QStringList{port, question, complete} << fourRecords;
    QTest::newRow("mismatch, Cancel") << "" << 8 << QStringList{"ok", "Cancel"}
                                      << QStringList{port, question} << QList<int>{kCmdClosing};
    // A layout the editor would not make goes out only when the operator says so.
    QTest::newRow("layout problems, Yes") << "small" << 4 << QStringList{"Yes", "ok", "Ok"}
                                          << QStringList{problems, port, complete} << fourRecords;
    QTest::newRow("layout problems, Cancel")
            << "small" << 4 << QStringList{"Cancel"} << QStringList{problems} << QList<int>{};
    // Return answers the default, Cancel: a layout with errors is not sent by a keystroke.
    QTest::newRow("layout problems, Return")
            << "overlap" << 4 << QStringList{"Return"}
            << QStringList{"message:This configuration has problems:\n\n\u2022 Channels 3 and 4 "
                           "overlap\n\nWould you like to send it to the switch all the same?"}
            << QList<int>{};
    // A screen without resolution is a notice, not an error: no question.
    QTest::newRow("no resolution, no question") << "no resolution" << 4 << QStringList{"ok", "Ok"}
                                                << QStringList{port, complete} << fourRecords;
}

void tst_DeviceSequence::transmit()
{
    QFETCH(QString, layout);
    QFETCH(int, switchChannels);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, seen);
    QFETCH(QList<int>, frames);

    const Configuration held = switchConfiguration(switchChannels);
    SwitchEmulator emulator(switchChannels, held);
    QVERIFY(emulator.startOnPty());
    Rig rig(emulator.devicePath(), 4);
    Configuration &config = rig.document.currentConfig;
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

    DialogAnswerer answerer(answers);
    rig.sequence->startTransmit();
    QVERIFY(rig.waitUntilIdle(answerer));

    QCOMPARE(answerer.seen, seen);
    const bool written = frames.size() > 1;
    if (!frames.isEmpty()) {
        frames = restorePointReadout(switchChannels) + frames;
        // The restore point holds what the switch held before anything was written.
        QCOMPARE(encodeOvs(rig.restorePoint), encodeOvs(held));
    }
    QCOMPARE(commands(emulator.receivedFrames()), frames);
    QCOMPARE(rig.config(), before);
    QVERIFY(!rig.document.modified);
    QCOMPARE(rig.host.box.standardButtons(), QMessageBox::Ok);
    QVERIFY(!rig.host.busy);
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
    Rig rig(emulator.devicePath(), 4);
    rig.document.currentConfig = switchConfiguration(4);

    DialogAnswerer answerer({"ok", "Yes", "Ok"});
    answerer.beforeAnswer = [&rig](const QString &entry) {
        if (entry.startsWith(QLatin1String("message:Note")))
            rig.sequence->link().state().errorEvent = true;
    };
    rig.sequence->startTransmit();
    QVERIFY(rig.waitUntilIdle(answerer));

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
    SwitchEmulator::Faults silent;
    silent.silent = true;
    emulator.setFaults(silent);
    Rig rig(emulator.devicePath(), 4);
    QSerialPort &port = rig.sequence->serialPort();

    int closes = 0;
    int closesAtCompletion = -1;
    connect(&port, &QIODevice::aboutToClose, this, [&closes] { ++closes; });
    connect(&rig.changes, &DocumentChanges::configurationChanged, this,
            [&] { closesAtCompletion = closes; });

    const QString cannotConnect = "message:Cannot connect to target! Please check port, "
                                  "bitrate and startup mode.";
    DialogAnswerer answerer({"ok", "Ok", "ok"});
    answerer.beforeAnswer = [&](const QString &entry) {
        if (entry == cannotConnect)
            emulator.setFaults({}); // it hears the closing frame and the new connection
    };
    rig.sequence->startReadout();
    QVERIFY(rig.waitUntilIdle(answerer));

    const QString dialog = "port:Get device configuration:115200";
    QCOMPARE(answerer.seen, (QStringList{dialog, cannotConnect, dialog}));
    QCOMPARE(commands(emulator.receivedFrames()).first(), int(kCmdClosing));
    QCOMPARE(emulator.helloCount(), 2);
    // Closed once when the new connection began, not again until the readout ended.
    QCOMPARE(closesAtCompletion, 1);
    QCOMPARE(closes, 2);
    QCOMPARE(rig.config(), expected);
}

void tst_DeviceSequence::negativeAcknowledgementsFailTheReadout()
{
    SwitchEmulator emulator(4, switchConfiguration(4));
    QVERIFY(emulator.startOnPty());
    SwitchEmulator::Faults naks;
    naks.nakNext = 4;
    emulator.setFaults(naks);
    Rig rig(emulator.devicePath(), 2);
    const Configuration before = rig.config();

    DialogAnswerer answerer({"ok", "Ok"});
    rig.sequence->startReadout();
    QVERIFY(rig.waitUntilIdle(answerer));

    QCOMPARE(answerer.seen,
             (QStringList{"port:Get device configuration:115200", kTransmissionError}));
    QCOMPARE(rig.config(), before);
    QCOMPARE(commands(emulator.receivedFrames()),
             (QList<int>{kCmdSwitchingState, kCmdSwitchingState, kCmdSwitchingState,
                         kCmdSwitchingState, kCmdClosing}));
}

void tst_DeviceSequence::portThatCannotBeOpened()
{
    const QString missing = m_dir.filePath(QStringLiteral("no-such-tty"));
    Rig rig(missing, 4);

    DialogAnswerer answerer({"ok", "Ok"});
    rig.sequence->startReadout();
    QVERIFY(rig.waitUntilIdle(answerer));

    QCOMPARE(answerer.seen, (QStringList{"port:Get device configuration:115200",
                                         "message:Error connecting to serial port! Port in use."}));
    QVERIFY(!rig.sequence->serialPort().isOpen());
    QCOMPARE(rig.selectedPort.portName, missing);
}

// Qt 6.4 repeats the read error without end once the far end has gone: the port must
// be closed at the first one and the failure told once.
void tst_DeviceSequence::switchVanishesMidExchange()
{
    SwitchEmulator emulator(8, switchConfiguration(8));
    QVERIFY(emulator.startOnPty());
    Rig rig(emulator.devicePath(), 4);
    const Configuration before = rig.config();
    QSignalSpy errors(&rig.sequence->serialPort(), &QSerialPort::errorOccurred);
    QVERIFY(errors.isValid());
    connect(&emulator, &SwitchEmulator::frameReceived, this, [&emulator](quint8 command) {
        // Not from inside the emulator's own read notification.
        if (command == kCmdMouseSpeed)
            QTimer::singleShot(0, &emulator, [&emulator] { emulator.stop(); });
    });

    DialogAnswerer answerer({"ok", "Ok"});
    rig.sequence->startReadout();
    QVERIFY(rig.waitUntilIdle(answerer));
    // Give a spinning port the chance to show itself.
    runUntil([] { return false; }, 200);

    QCOMPARE(answerer.seen,
             (QStringList{"port:Get device configuration:115200", kTransmissionError}));
    QVERIFY(!rig.sequence->serialPort().isOpen());
    QVERIFY2(errors.count() < 10, qPrintable(QString::number(errors.count())));
    QCOMPARE(rig.config(), before);
    QVERIFY(!rig.host.busy);
}

// A device action during an exchange is ignored; one right after it, while the port
// still waits for its delayed close, starts a new connection on a freshly opened port.
void tst_DeviceSequence::secondActionOnlyAfterTheExchange()
{
    const Configuration expected = switchConfiguration(8);
    SwitchEmulator emulator(8, expected);
    QVERIFY(emulator.startOnPty());
    Rig rig(emulator.devicePath(), 4);
    connect(
            &rig.changes, &DocumentChanges::configurationChanged, rig.sequence.get(),
            [&rig] { rig.sequence->startTransmit(); }, Qt::QueuedConnection);

    DialogAnswerer answerer({"ok", "ok", "Ok"});
    rig.sequence->startReadout();
    QVERIFY(rig.sequence->connectionInProgress());
    rig.sequence->startReadout(); // no second dialog
    QVERIFY(rig.waitUntilIdle(answerer));

    QCOMPARE(answerer.seen, (QStringList{"port:Get device configuration:115200",
                                         "port:Set device configuration:fixed",
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
    auto rig = std::make_unique<Rig>(emulator.devicePath(), 4);
    connect(&emulator, &SwitchEmulator::frameReceived, this, [this, &rig](quint8 command) {
        if (command == kCmdMouseSpeed)
            QTimer::singleShot(0, this, [&rig] { rig.reset(); });
    });
    QSignalSpy closing(&emulator, &SwitchEmulator::closingReceived);
    QVERIFY(closing.isValid());

    DialogAnswerer answerer({"ok"});
    rig->sequence->startReadout();
    QVERIFY(runUntil([&] { return !rig; }, 30000));
    QVERIFY(runUntil([&] { return closing.count() == 1; }, 2000));
    QCOMPARE(commands(emulator.receivedFrames()).last(), int(kCmdClosing));
}

QTEST_MAIN(tst_DeviceSequence)
#include "tst_devicesequence.moc"
