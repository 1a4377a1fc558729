#include "document/document.h"
#include "link/exchangedriver.h"
#include "link/link.h"
#include "link/memoryport.h"
#include "link/serialportsetup.h"
#include "link/switchemulator.h"
#include "link/switchprobe.h"

#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

Q_DECLARE_METATYPE(TickResult)

namespace {

// A configuration in which every field of every entry differs.
Configuration sample(quint8 seed)
{
    Configuration c;
    c.switchingEnabled = seed & 1;
    c.mouseSpeed = quint8(1 + seed % 10);
    for (int i = 0; i < kMaxChannels; ++i) {
        const quint8 b = quint8(seed + 10 * i);
        c.channels[i] = ChannelEntry{quint8(i % 2),        b,
                                     quint8(b + 1),        quint8(b + 2),
                                     quint8(b + 3),        quint16(1000 + 37 * b),
                                     quint16(700 + 11 * b)};
    }
    return c;
}

bool sameEntries(const Configuration &a, const Configuration &b, int count)
{
    for (int i = 0; i < count; ++i)
        if (a.channels[i] != b.channels[i])
            return false;
    return true;
}

// The tool and the emulator joined in memory; each tick moves what either side wrote.
struct Line
{
    explicit Line(int channels, const Configuration &device = Configuration())
        : emu(channels, device)
    {
        port.open(QIODevice::ReadWrite);
        link.setPort(&port);
    }

    TickResult run(quint8 direction, bool continueOnMismatch = false, int maxTicks = 20000)
    {
        link.beginExchange();
        link.state().direction = direction;
        if (!link.writeLeadIn() || !link.writeHello())
            return TickResult::Failed;
        for (ticks = 0; ticks < maxTicks; ++ticks) {
            emu.feed(port.takeWritten());
            emu.elapse(kProtocolTickMs);
            port.inject(emu.takeOutput());
            if (everyTick)
                everyTick();
            const TickResult status = exchangeTick(link, doc, continueOnMismatch);
            if (status != TickResult::Running) {
                link.closeConnection();
                emu.feed(port.takeWritten());
                return status;
            }
        }
        return TickResult::Running;
    }

    QList<quint8> commandsSeenByDevice() const
    {
        QList<quint8> out;
        for (const LinkFrame &f : emu.receivedFrames())
            if (f.command != kCmdAck)
                out.append(f.command);
        return out;
    }

    Document doc;
    MemoryPort port;
    Link link{doc};
    SwitchEmulator emu;
    int ticks = 0;
    std::function<void()> everyTick; // the operator at work while the exchange runs
};

enum class Fault {
    Silent,
    Nak3,
    Nak4,
    QuietAfter3,
    Garbage,
    Reports9,
    OtherCount,
    ChatterUnknown,
    ChatterReAck,
    RecordPlus1,
    RecordPlus5,
    LostWriteAfterStray, // + record index
    LostWrite = LostWriteAfterStray + kMaxChannels,
    NoisyBothWays,
};

} // namespace

class tst_SwitchEmulator : public QObject
{
    Q_OBJECT

private slots:
    void readout_data();
    void readout();
    void transmit_data();
    void transmit();
    void countMismatch_data();
    void countMismatch();
    void transmitSendsOneSnapshot_data();
    void transmitSendsOneSnapshot();
    void faults_data();
    void faults();
    void noisyLineNeverDeliversWrongData();
    void readoutOverPseudoTerminal();
    void probeSendsOnlyOpeningAndClose();
};

void tst_SwitchEmulator::readout_data()
{
    QTest::addColumn<int>("channels");
    QTest::newRow("2 channels") << 2;
    QTest::newRow("4 channels") << 4;
    QTest::newRow("8 channels") << 8;
}

// Entries beyond the switch's count keep the values of the current configuration.
void tst_SwitchEmulator::readout()
{
    QFETCH(int, channels);
    const Configuration device = sample(3);
    Line line(channels, device);
    line.doc.currentConfig = sample(100);
    line.doc.currentConfig.channelCount = 4;

    QCOMPARE(line.run(kDirectionReadout), TickResult::Complete);
    const Configuration &got = line.doc.stagingConfig;
    QCOMPARE(int(got.channelCount), channels);
    QCOMPARE(int(got.deviceChannels), channels);
    QCOMPARE(got.switchingEnabled, device.switchingEnabled);
    QCOMPARE(got.mouseSpeed, device.mouseSpeed);
    QVERIFY(sameEntries(got, device, channels));
    for (int i = channels; i < kMaxChannels; ++i)
        QCOMPARE(got.channels[i], line.doc.currentConfig.channels[i]);

    QList<quint8> expected{kCmdSwitchingState, kCmdMouseSpeed};
    for (int i = 0; i < channels; ++i)
        expected << kCmdChannelRecord;
    expected << kCmdClosing;
    QCOMPARE(line.commandsSeenByDevice(), expected);
    QCOMPARE(line.emu.leadInCount(), 1);
    QCOMPARE(line.emu.helloCount(), 1);
}

void tst_SwitchEmulator::transmit_data()
{
    readout_data();
}

void tst_SwitchEmulator::transmit()
{
    QFETCH(int, channels);
    Line line(channels, sample(3));
    line.doc.currentConfig = sample(50);
    line.doc.currentConfig.channelCount = quint8(channels);

    QCOMPARE(line.run(kDirectionTransmit), TickResult::Complete);
    const Configuration &stored = line.emu.configuration();
    QCOMPARE(stored.switchingEnabled, line.doc.currentConfig.switchingEnabled);
    QCOMPARE(stored.mouseSpeed, line.doc.currentConfig.mouseSpeed);
    QVERIFY(sameEntries(stored, line.doc.currentConfig, channels));

    QList<quint8> expected{kCmdWriteSwitching, kCmdWriteMouseSpeed};
    for (int i = 0; i < channels; ++i)
        expected << kCmdWriteRecord;
    expected << kCmdClosing;
    QCOMPARE(line.commandsSeenByDevice(), expected);
}

void tst_SwitchEmulator::countMismatch_data()
{
    QTest::addColumn<bool>("go");
    QTest::newRow("stop") << false;
    QTest::newRow("go on") << true;
}

// A 4-channel configuration sent to an 8-channel switch: the configured four records
// go out only when the caller agrees; otherwise nothing but the closing frame.
void tst_SwitchEmulator::countMismatch()
{
    QFETCH(bool, go);
    const Configuration before = sample(3);
    Line line(8, before);
    line.doc.currentConfig = sample(60);
    line.doc.currentConfig.channelCount = 4;

    const TickResult status = line.run(kDirectionTransmit, go);
    QCOMPARE(status, go ? TickResult::Complete : TickResult::CountMismatch);
    QCOMPARE(line.doc.stagingConfig.deviceChannels, quint8(8));
    const Configuration &stored = line.emu.configuration();
    if (go) {
        QVERIFY(sameEntries(stored, line.doc.currentConfig, 4));
        QVERIFY(stored.channels[4] == before.channels[4]);
        QCOMPARE(line.commandsSeenByDevice().count(kCmdWriteRecord), 4);
    } else {
        QCOMPARE(line.commandsSeenByDevice(), QList<quint8>{kCmdClosing});
        QVERIFY(stored == before);
    }
}

void tst_SwitchEmulator::transmitSendsOneSnapshot_data()
{
    QTest::addColumn<int>("channelsOpened"); // 0: an edit, undone later
    QTest::newRow("edit undone while records go") << 0;
    QTest::newRow("2-channel file opened while records go") << 2;
}

// What the switch holds is what was shown when sending began, never a mixture of that
// and what the operator did meanwhile.
void tst_SwitchEmulator::transmitSendsOneSnapshot()
{
    QFETCH(int, channelsOpened);
    Line line(8, sample(3));
    Configuration &current = line.doc.currentConfig;
    current = sample(50);
    current.channelCount = 8;
    const Configuration shown = current;
    int records = 0;
    line.everyTick = [&] {
        records = line.commandsSeenByDevice().count(kCmdWriteRecord);
        if (records == 2 && current == shown) {
            current = sample(77);
            current.channelCount = quint8(channelsOpened ? channelsOpened : 8);
        } else if (records == 5 && !channelsOpened) {
            current = shown;
        }
    };
    QCOMPARE(line.run(kDirectionTransmit), TickResult::Complete);
    const Configuration &stored = line.emu.configuration();
    QCOMPARE(stored.switchingEnabled, shown.switchingEnabled);
    QCOMPARE(stored.mouseSpeed, shown.mouseSpeed);
    QVERIFY(sameEntries(stored, shown, 8));
}

void tst_SwitchEmulator::faults_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<TickResult>("expected");
    QTest::addColumn<int>("withinTicks");
    QTest::addColumn<quint8>("direction");
    const int anyTime = 20000;
    // The 0x02 request goes out about 10 ticks after the hello; neither repeats nor
    // further acknowledgements may stretch the one wait that follows it (or its
    // acknowledgement).
    const int oneWait = 20 + kAckTimeoutTicks + 1;
    QTest::newRow("silent switch")
            << int(Fault::Silent) << TickResult::NoConnection << anyTime << kDirectionReadout;
    QTest::newRow("three refusals are repeated")
            << int(Fault::Nak3) << TickResult::Complete << anyTime << kDirectionReadout;
    QTest::newRow("four refusals fail")
            << int(Fault::Nak4) << TickResult::Failed << anyTime << kDirectionReadout;
    QTest::newRow("quiet after three frames")
            << int(Fault::QuietAfter3) << TickResult::Failed << anyTime << kDirectionReadout;
    QTest::newRow("garbage before frames")
            << int(Fault::Garbage) << TickResult::Complete << anyTime << kDirectionReadout;
    QTest::newRow("switch reports 9 channels")
            << int(Fault::Reports9) << TickResult::Failed << anyTime << kDirectionReadout;
    QTest::newRow("switch reports 2 channels")
            << int(Fault::OtherCount) << TickResult::Complete << anyTime << kDirectionReadout;
    QTest::newRow("unknown frames every second, no answer")
            << int(Fault::ChatterUnknown) << TickResult::Failed << oneWait << kDirectionReadout;
    QTest::newRow("request acknowledged every 1.5 s, no answer")
            << int(Fault::ChatterReAck) << TickResult::Failed << oneWait << kDirectionReadout;
    // Never a readout that completes with records that were not asked for.
    QTest::newRow("record i+1 for request i")
            << int(Fault::RecordPlus1) << TickResult::Failed << oneWait << kDirectionReadout;
    QTest::newRow("record i+5 for request i")
            << int(Fault::RecordPlus5) << TickResult::Failed << oneWait << kDirectionReadout;

    // A write lost on its way in, with a stray byte behind the acknowledgement before it:
    // asking for a repeat would bring back that acknowledgement, which names the same
    // command. The transmission completes only with every record on the switch.
    for (int k = 0; k < 4; ++k)
        QTest::addRow("write of record %d lost after a stray byte", k)
                << int(Fault::LostWriteAfterStray) + k << TickResult::Complete << anyTime
                << kDirectionTransmit;
    QTest::newRow("write of record 2 lost")
            << int(Fault::LostWrite) << TickResult::Failed << anyTime << kDirectionTransmit;
    QTest::newRow("noise both ways, stray bytes")
            << int(Fault::NoisyBothWays) << TickResult::Complete << anyTime << kDirectionTransmit;
}

void tst_SwitchEmulator::faults()
{
    QFETCH(int, fault);
    QFETCH(TickResult, expected);
    QFETCH(int, withinTicks);
    QFETCH(quint8, direction);
    Line line(4, sample(9));
    line.doc.currentConfig = sample(30);
    line.doc.currentConfig.channelCount = 4;
    SwitchEmulator::Faults faults;
    if (fault >= int(Fault::LostWriteAfterStray) && fault < int(Fault::LostWrite)) {
        faults.lostRecords = 1u << (fault - int(Fault::LostWriteAfterStray));
        faults.strayShare = 1.0;
        fault = int(Fault::LostWriteAfterStray);
    }
    switch (Fault(fault)) {
    case Fault::Silent:
        faults.silent = true;
        break;
    case Fault::Nak3:
        faults.nakNext = 3;
        break;
    case Fault::Nak4:
        faults.nakNext = 4;
        break;
    case Fault::QuietAfter3:
        faults.quietAfter = 3;
        break;
    case Fault::Garbage:
        faults.garbage = QByteArray::fromHex("00FF7E7F1155");
        break;
    case Fault::Reports9:
        faults.reportedChannels = 9;
        break;
    case Fault::OtherCount:
        faults.reportedChannels = 2;
        break;
    case Fault::ChatterUnknown:
        faults.chatter = SwitchEmulator::Chatter::UnknownFrames;
        break;
    case Fault::ChatterReAck:
        faults.chatter = SwitchEmulator::Chatter::ReAcknowledge;
        break;
    case Fault::RecordPlus1:
        faults.recordOffset = 1;
        break;
    case Fault::RecordPlus5:
        faults.recordOffset = 5;
        break;
    case Fault::LostWriteAfterStray:
        break;
    case Fault::LostWrite:
        faults.lostRecords = 1u << 2;
        break;
    case Fault::NoisyBothWays:
        faults.corruptShare = 0.15;
        faults.seed = 7;
        faults.corruptHeaders = true;
        faults.incomingShare = 0.01;
        faults.strayShare = 0.2;
        break;
    }
    line.emu.setFaults(faults);
    const TickResult status = line.run(direction);
    QCOMPARE(status, expected);
    QVERIFY2(line.ticks <= withinTicks, qPrintable(QString::number(line.ticks)));
    if (direction == kDirectionTransmit) {
        // Complete only with the whole configuration on the switch.
        const Configuration &stored = line.emu.configuration();
        const bool holds = stored.switchingEnabled == line.doc.currentConfig.switchingEnabled
                           && stored.mouseSpeed == line.doc.currentConfig.mouseSpeed
                           && sameEntries(stored, line.doc.currentConfig, 4);
        QCOMPARE(holds, status == TickResult::Complete);
    } else if (expected == TickResult::Complete) {
        const int n = line.doc.stagingConfig.channelCount;
        QVERIFY(sameEntries(line.doc.stagingConfig, sample(9), n));
    }
    // Every failure still ends with the closing frame on the line.
    if (Fault(fault) != Fault::Silent && Fault(fault) != Fault::QuietAfter3)
        QCOMPARE(line.commandsSeenByDevice().last(), quint8(kCmdClosing));
}

// Damaged frames, headers included, may make a readout fail, but a readout that
// completes must carry exactly the switch's configuration.
void tst_SwitchEmulator::noisyLineNeverDeliversWrongData()
{
    int completed = 0;
    int failed = 0;
    for (quint32 seed = 1; seed <= 40; ++seed) {
        Line line(8, sample(quint8(seed)));
        SwitchEmulator::Faults noise;
        noise.corruptShare = seed % 2 ? 0.15 : 0.45;
        noise.seed = seed;
        noise.corruptHeaders = true;
        line.emu.setFaults(noise);
        const TickResult status = line.run(kDirectionReadout);
        // A hello acknowledgement damaged four times over leaves no connection.
        QVERIFY(status != TickResult::Running && status != TickResult::CountMismatch);
        if (status == TickResult::Complete) {
            ++completed;
            const Configuration &got = line.doc.stagingConfig;
            QCOMPARE(got.channelCount, quint8(8));
            QCOMPARE(got.mouseSpeed, sample(quint8(seed)).mouseSpeed);
            QCOMPARE(got.switchingEnabled, sample(quint8(seed)).switchingEnabled);
            QVERIFY(sameEntries(got, sample(quint8(seed)), 8));
        } else {
            ++failed;
        }
    }
    qInfo("noisy line: %d complete, %d failed", completed, failed);
    // Damaged headers are recovered from as well: most readouts get through.
    QVERIFY(completed >= 28);
}

// The same exchange through a real serial port object on a pseudo-terminal, driven
// by the event loop as the program does.
void tst_SwitchEmulator::readoutOverPseudoTerminal()
{
    const Configuration device = sample(21);
    SwitchEmulator emu(4, device);
    QVERIFY(emu.startOnPty());
    QVERIFY(emu.devicePath().startsWith("/dev/"));

    QSerialPort port;
    QVERIFY(openSerialPort(port, emu.devicePath(), 115200));
    Document doc;
    Link link(doc);
    link.setPort(&port);
    link.beginExchange();
    QVERIFY(link.writeLeadIn());
    QVERIFY(link.writeHello());

    TickResult status = TickResult::Running;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    connect(&tick, &QTimer::timeout, [&] {
        if (status == TickResult::Running)
            status = exchangeTick(link, doc, false);
    });
    tick.start(kProtocolTickMs);
    QTRY_VERIFY_WITH_TIMEOUT(status != TickResult::Running, 20000);
    QCOMPARE(status, TickResult::Complete);
    QVERIFY(sameEntries(doc.stagingConfig, device, 4));
    QCOMPARE(doc.stagingConfig.mouseSpeed, device.mouseSpeed);
}

// A device that answers the hello with damaged frames hears from a probe, at each of its
// two bitrates, the lead-in, the hello and a closing frame that reached it before the
// port changed its bitrate or closed: no request to repeat, nothing else.
void tst_SwitchEmulator::probeSendsOnlyOpeningAndClose()
{
    SwitchEmulator emu(4);
    SwitchEmulator::Faults damageAll;
    damageAll.corruptShare = 1.0;
    emu.setFaults(damageAll);
    QVERIFY(emu.startOnPty());
    SwitchProbe probe(emu.devicePath(), {115200, 9600});
    QSignalSpy finished(&probe, &SwitchProbe::finished);
    probe.start();
    QVERIFY(finished.wait(10000));
    QTest::qWait(50); // the last bytes reach the emulator
    QCOMPARE(probe.result().outcome, ProbeResult::Outcome::NoAnswer);
    QCOMPARE(emu.leadInCount(), 2);
    QCOMPARE(emu.helloCount(), 2);
    QList<quint8> commands;
    for (const LinkFrame &f : emu.receivedFrames())
        commands << f.command;
    QCOMPARE(commands, (QList<quint8>{kCmdClosing, kCmdClosing}));
}

QTEST_GUILESS_MAIN(tst_SwitchEmulator)
#include "tst_switchemulator.moc"
