#include "document/document.h"
#include "link/exchangedriver.h"
#include "link/link.h"
#include "link/memoryport.h"
#include "link/switchemulator.h"

#include <QTest>

Q_DECLARE_METATYPE(TickResult)

namespace {

Configuration sample(quint8 seed)
{
    Configuration c;
    c.channelCount = 4;
    c.switchingEnabled = seed & 1;
    c.mouseSpeed = quint8(1 + seed % 10);
    for (int i = 0; i < kMaxChannels; ++i) {
        const quint8 b = quint8(seed + 10 * i);
        c.channels[i] = ChannelEntry{1, b, b, quint8(b + 2), quint8(b + 2), quint16(1000 + b), 700};
    }
    return c;
}

enum class Hook { None, Accept, Refuse };
enum class Fault {
    None,
    QuietAfterFirstRequest,
    LoseEveryRecordOnce,
    RecordAcksLate,
    KeepRecord1,
    KeepRecord3,
    SilentAfterWrites
};

} // namespace

// A restore point read before anything is written, and the read-back that proves a
// transmission in which anything went out twice.
class tst_LinkProof : public QObject
{
    Q_OBJECT

private slots:
    void transmission_data();
    void transmission();
};

void tst_LinkProof::transmission_data()
{
    QTest::addColumn<Hook>("hook");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<TickResult>("expected");
    QTest::addColumn<bool>("proven");
    QTest::addColumn<QString>("reason");

    QTest::newRow("restore point, then the writes")
            << Hook::Accept << Fault::None << TickResult::Complete << false << QString();
    QTest::newRow("restore point refused: nothing written")
            << Hook::Refuse << Fault::None << TickResult::Failed << false << "disk full";
    QTest::newRow("restore point unreadable: nothing written")
            << Hook::Accept << Fault::QuietAfterFirstRequest << TickResult::Failed << false
            << "Could not read the switch's present configuration: the switch did not answer "
               "in time.";
    // Each write gets its own resend allowance.
    QTest::newRow("records 0 to 3 each lost once after a stray byte")
            << Hook::None << Fault::LoseEveryRecordOnce << TickResult::Complete << true
            << QString();
    // Each write gets its own grace: every record's acknowledgement lands behind stray bytes
    // shortly before its wait runs out, and the link, taking one byte a tick, needs some 30
    // ticks past the wait for each.
    QTest::newRow("record acknowledgements still arriving as each wait runs out")
            << Hook::None << Fault::RecordAcksLate << TickResult::Complete << false << QString();
    QTest::newRow("resend, switch keeps its old record 1")
            << Hook::None << Fault::KeepRecord1 << TickResult::Failed << false
            << "Channel 1 differs after read-back.";
    QTest::newRow("resend, switch keeps its old record 3")
            << Hook::Accept << Fault::KeepRecord3 << TickResult::Failed << false
            << "Channel 3 differs after read-back.";
    QTest::newRow("resend, switch falls silent after the writes")
            << Hook::None << Fault::SilentAfterWrites << TickResult::Failed << false
            << "Could not read the switch back after resends: the switch did not answer in "
               "time.";
}

void tst_LinkProof::transmission()
{
    QFETCH(Hook, hook);
    QFETCH(Fault, fault);
    QFETCH(TickResult, expected);
    QFETCH(bool, proven);
    QFETCH(QString, reason);

    const Configuration before = sample(9);
    const Configuration toSend = sample(30);
    Document doc;
    doc.currentConfig = sample(50); // never sent: the exchange sends `toSend`
    MemoryPort port;
    port.open(QIODevice::ReadWrite);
    Link link(doc);
    link.setPort(&port);
    SwitchEmulator emu(4, before);

    SwitchEmulator::Faults faults;
    switch (fault) {
    case Fault::None:
        break;
    case Fault::QuietAfterFirstRequest:
        faults.quietAfter = 1;
        break;
    case Fault::LoseEveryRecordOnce:
        faults.lostRecords = 0x0F;
        faults.strayShare = 1.0;
        break;
    case Fault::RecordAcksLate:
        faults.garbage = QByteArray(35, '\0');
        faults.recordDelayMs = (kAckTimeoutTicks + 1 - 16) * kProtocolTickMs;
        break;
    case Fault::KeepRecord1:
        faults.lostRecords = 1u << 1;
        faults.keptRecord = 0;
        faults.strayShare = 1.0;
        break;
    case Fault::KeepRecord3:
        faults.lostRecords = 1u << 0;
        faults.keptRecord = 2;
        faults.strayShare = 1.0;
        break;
    case Fault::SilentAfterWrites:
        // 0x04, 0x05, record 0 again, records 1 to 3 and the closing frame.
        faults.lostRecords = 1u << 0;
        faults.quietAfter = 7;
        faults.strayShare = 1.0;
        break;
    }
    emu.setFaults(faults);
    Configuration previous;
    int hookCalls = 0;
    if (hook != Hook::None) {
        link.setRestorePointHook([&](const Configuration &p, QString *why) {
            ++hookCalls;
            previous = p;
            *why = QStringLiteral("disk full");
            return hook == Hook::Accept;
        });
    }
    link.beginExchange(toSend);
    link.state().direction = kDirectionTransmit;
    QVERIFY(link.writeLeadIn() && link.writeHello());
    TickResult status = TickResult::Running;
    for (int t = 0; t < 50000 && status == TickResult::Running; ++t) {
        emu.feed(port.takeWritten());
        emu.elapse(kProtocolTickMs);
        port.inject(emu.takeOutput());
        status = exchangeTick(link, doc, false);
    }
    QCOMPARE(status, expected);
    QCOMPARE(link.provenByReadBack(), proven);
    QCOMPARE(link.failureReason(), reason);
    QCOMPARE(doc.stagingConfig.channels[0], toSend.channels[0]);

    const Configuration &held = emu.configuration();
    if (hook != Hook::None && fault != Fault::QuietAfterFirstRequest) {
        QCOMPARE(hookCalls, 1);
        QCOMPARE(previous.mouseSpeed, before.mouseSpeed);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(previous.channels[i], before.channels[i]);
    }
    bool anyWrite = false;
    for (const LinkFrame &f : emu.receivedFrames())
        anyWrite = anyWrite || f.command == kCmdWriteSwitching || f.command == kCmdWriteRecord;
    QCOMPARE(anyWrite, hook != Hook::Refuse && fault != Fault::QuietAfterFirstRequest);
    if (status == TickResult::Complete) {
        for (int i = 0; i < 4; ++i)
            QCOMPARE(held.channels[i], toSend.channels[i]);
    }
}

QTEST_GUILESS_MAIN(tst_LinkProof)
#include "tst_linkproof.moc"
