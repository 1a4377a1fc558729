#include "document/document.h"
#include "link/link.h"
#include "link/memoryport.h"

#include <QTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// A CRC-correct frame as the switch would send it.
QByteArray frame(quint8 command, const QByteArray &payload)
{
    LinkFrame f;
    f.start = kFrameStart;
    f.command = command;
    f.length = quint16(payload.size());
    memcpy(f.payload, payload.constData(), size_t(qMin<qsizetype>(payload.size(), kMaxPayload)));
    f.updateCrc();
    return f.wireBytes();
}

QByteArray record(quint8 index, const ChannelEntry &e)
{
    const char bytes[10] = {char(index),
                            char(e.placed),
                            char(e.left),
                            char(e.top),
                            char(e.right),
                            char(e.bottom),
                            char(e.resolutionX & 0xFF),
                            char(e.resolutionX >> 8),
                            char(e.resolutionY & 0xFF),
                            char(e.resolutionY >> 8)};
    return frame(kCmdChannelRecord, QByteArray(bytes, 10));
}

// The tool's side on an in-memory line, fed one byte per tick as the timer does.
struct Bench
{
    Bench()
    {
        port.open(QIODevice::ReadWrite);
        link.setPort(&port);
        link.beginExchange();
    }
    void deliver(const QByteArray &bytes)
    {
        port.inject(bytes);
        while (port.bytesAvailable() > 0)
            tick();
    }
    void tick()
    {
        link.pollOneByte();
        link.linkTick();
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            tick();
    }
    QByteArray written() { return port.takeWritten(); }
    LinkState &s() { return link.state(); }

    Document doc;
    MemoryPort port;
    Link link{doc};
};

// A line end like a Windows serial port: bytes that arrived reach the program only when
// it reads, and bytesAvailable() counts only what a read has already fetched.
class ReadOnRequestPort : public QIODevice
{
public:
    bool isSequential() const override { return true; }
    void arrive(const QByteArray &bytes) { m_arrived.append(bytes); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = qMin<qint64>(maxSize, m_arrived.size());
        memcpy(data, m_arrived.constData(), size_t(n));
        m_arrived.remove(0, n);
        return n;
    }
    qint64 writeData(const char *, qint64 size) override { return size; }

private:
    QByteArray m_arrived;
};

// One letter per byte fed to the assembler: what that byte did.
char resultLetter(FrameByte result)
{
    switch (result) {
    case FrameByte::Taken:
        return '.';
    case FrameByte::Started:
        return 'S';
    case FrameByte::Outside:
        return 'o';
    case FrameByte::TooLong:
        return 'L';
    case FrameByte::Complete:
        return 'C';
    case FrameByte::BadCrc:
        return 'B';
    }
    return '?';
}

} // namespace

class tst_Link : public QObject
{
    Q_OBJECT

private slots:
    void crcCheckValues_data();
    void crcCheckValues();
    void assembler_data();
    void assembler();
    void sentFrames_data();
    void sentFrames();
    void nakAllowance_data();
    void nakAllowance();
    void receivedFrames_data();
    void receivedFrames();
    void receiveTimeoutNamesPreviousCommand();
    void waitTimeouts_data();
    void waitTimeouts();
    void naksReceivedLimit();
    void readoutRequestsEveryRecord();
    void answerAfterAcknowledgementIsSupervised_data();
    void answerAfterAcknowledgementIsSupervised();
    void writeAcknowledgements_data();
    void writeAcknowledgements();
    void hostileDevice_data();
    void hostileDevice();
    void beginExchangeClearsEverything();
    void closedPortSendsNothing();
    void portThatReadsOnlyWhenAsked();
};

void tst_Link::crcCheckValues_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<quint32>("crc");
    QTest::newRow("digits") << QByteArray("123456789") << 0x11B4BFB4u;
    QTest::newRow("abc") << QByteArray("abc") << 0x0B19A653u;
    QTest::newRow("nothing") << QByteArray() << 0u;
    QTest::newRow("27-byte file body")
            << hex("5665020105010002000280073804000000000000000000") << 0xEBB1F499u;
}

void tst_Link::crcCheckValues()
{
    QFETCH(QByteArray, bytes);
    QFETCH(quint32, crc);
    QCOMPARE(computeCrc(bytes), crc);
}

void tst_Link::assembler_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("results"); // one letter per byte, see resultLetter()
    QTest::addColumn<QByteArray>("last");    // the last whole frame as it was assembled

    const QByteArray state1 = frame(kCmdSwitchingState, hex("01"));
    const QByteArray closing = frame(kCmdClosing, {});
    QByteArray badCrc = state1;
    badCrc[6] = char(badCrc.at(6) ^ 0x10);
    const QByteArray full = frame(0x42, hex("000102030405060708090A0B0C0D0E0F"));
    const QByteArray startInside = frame(kCmdChannelRecord, hex("CE01CECECE05060708CE"));

    QTest::newRow("good frame") << state1 << QByteArray("S.......C") << state1;
    QTest::newRow("zero length goes straight to the CRC")
            << closing << QByteArray("S......C") << closing;
    QTest::newRow("length 16 fits") << full << "S" + QByteArray(22, '.') + "C" << full;
    QTest::newRow("length 17 is given up, the rest is outside")
            << hex("CE02110001CE") << QByteArray("S..LoS") << QByteArray();
    QTest::newRow("length 256: the high byte counts")
            << hex("CE02000101") << QByteArray("S..Lo") << QByteArray();
    QTest::newRow("bad crc") << badCrc << QByteArray("S.......B") << badCrc;
    QTest::newRow("junk and hello before the start")
            << hex("007E7F") + state1 << "ooo" + QByteArray("S.......C") << state1;
    QTest::newRow("start bytes inside the payload are payload")
            << startInside << "S" + QByteArray(16, '.') + "C" << startInside;
    // The CRC of the frame before stays in the buffer until the next one replaces it.
    QTest::newRow("a short frame after a long one")
            << full + state1 << "S" + QByteArray(22, '.') + "CS.......C" << state1;
}

// The assembler alone, on storage that starts empty as the link's and the emulator's do.
void tst_Link::assembler()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, results);
    QFETCH(QByteArray, last);
    LinkFrame rx;
    quint8 state = kRxIdle;
    quint16 index = 0;
    QByteArray seen;
    QByteArray assembled;
    for (const char c : bytes) {
        const FrameByte result = assembleFrameByte(rx, state, index, quint8(c));
        seen.append(resultLetter(result));
        if (result == FrameByte::Complete || result == FrameByte::BadCrc)
            assembled = rx.wireBytes();
        QVERIFY(state <= kRxCrc);
        QVERIFY(index < kMaxPayload);
    }
    QCOMPARE(seen, results);
    QCOMPARE(assembled.toHex(' '), last.toHex(' '));
}

enum class Sender { Closing, RequestSwitching, RequestChannel0, AckSwitching, NakRecordCrc };

void tst_Link::sentFrames_data()
{
    QTest::addColumn<int>("sender");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("closing frame") << int(Sender::Closing) << hex("CE06000049F8A7E1");
    QTest::newRow("switching state request")
            << int(Sender::RequestSwitching) << hex("CE02010000BF772F60");
    QTest::newRow("channel 0 request") << int(Sender::RequestChannel0) << hex("CE00010000EAE73CB1");
    QTest::newRow("ack of 0x02") << int(Sender::AckSwitching) << hex("CE80020002083007B7B6");
    QTest::newRow("nak of a bad record")
            << int(Sender::NakRecordCrc) << hex("CEFF02000000D2F10EC3");
}

void tst_Link::sentFrames()
{
    QFETCH(int, sender);
    QFETCH(QByteArray, wire);
    Bench b;
    switch (Sender(sender)) {
    case Sender::Closing:
        QVERIFY(b.link.closeConnection());
        break;
    case Sender::RequestSwitching:
        b.link.nextReadoutRequest(kHelloByte);
        break;
    case Sender::RequestChannel0:
        b.link.nextReadoutRequest(kCmdMouseSpeed);
        break;
    case Sender::AckSwitching:
        b.link.sendAck(kCmdSwitchingState);
        break;
    case Sender::NakRecordCrc:
        b.link.sendNak(kCmdChannelRecord, 0);
        break;
    }
    QCOMPARE(b.written().toHex(' '), wire.toHex(' '));
    QCOMPARE(b.s().lastSent.wireBytes(), wire);
}

void tst_Link::nakAllowance_data()
{
    QTest::addColumn<bool>("goodFrameBetween");
    QTest::newRow("three, then none") << false;
    QTest::newRow("a good frame starts it anew") << true;
}

void tst_Link::nakAllowance()
{
    QFETCH(bool, goodFrameBetween);
    Bench b;
    for (int i = 0; i < 3; ++i)
        b.link.sendNak(kCmdChannelRecord, 0);
    QCOMPARE(b.written().size(), 3 * 10);
    QVERIFY(!b.s().errorEvent);
    if (goodFrameBetween)
        b.deliver(frame(kCmdAck, hex("0200")));

    b.link.sendNak(kCmdChannelRecord, 0);
    QCOMPARE(b.written().size(), goodFrameBetween ? 10 : 0);
    QCOMPARE(b.s().errorEvent, !goodFrameBetween);

    b.link.sendNak(kCmdChannelRecord, 0);
    QCOMPARE(b.written().size(), 10);
}

// Each row starts with the switching state request outstanding and
// staging.switchingEnabled = 7.
void tst_Link::receivedFrames_data()
{
    QTest::addColumn<QByteArray>("incoming");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("switching");

    const QByteArray request02 = hex("CE02010000BF772F60");
    const QByteArray request03 = hex("CE03010000A24AC9C6");
    const QByteArray state0 = frame(kCmdSwitchingState, QByteArray(1, '\0'));
    QByteArray badCrc = state0;
    badCrc[badCrc.size() - 1] = char(badCrc.back() ^ 0x40);
    const QByteArray nak02 = frame(kCmdNak, hex("0200"));

    QTest::newRow("garbage before a frame")
            << hex("00117E7F") + state0 << frame(kCmdAck, hex("0208")) + request03 << 0;
    QTest::newRow("bad crc") << badCrc << nak02 << 7;
    QTest::newRow("payload too short") << frame(kCmdSwitchingState, {}) << nak02 << 7;
    QTest::newRow("record too short")
            << frame(kCmdChannelRecord, hex("00")) << frame(kCmdNak, hex("0000")) << 7;
    // An answer to a request that is not outstanding is refused like a damaged frame.
    QTest::newRow("answer to another request")
            << frame(kCmdMouseSpeed, hex("05")) << frame(kCmdNak, hex("0300")) << 7;
    // "Repeat the last frame" repeats what went out last: here the acknowledgement.
    QTest::newRow("length 0 frame")
            << frame(kCmdClosing, {}) << frame(kCmdAck, hex("0608")) + frame(kCmdAck, hex("0608"))
            << 7;
    // Too long to be a frame: the bytes that follow are hunted for a start byte, and once
    // the line is quiet the frame is asked for again.
    QTest::newRow("length 17") << hex("CE021100") + QByteArray(21, '\x01') << nak02 << 7;
    QTest::newRow("length 17 then a good frame")
            << hex("CE021100") + state0 << frame(kCmdAck, hex("0208")) + request03 << 0;
    // A damaged start byte leaves only garbage. Like the receive time-out, the question
    // names the command of the frame received before (none here).
    QTest::newRow("damaged start byte")
            << QByteArray(state0).replace(0, 1, "\x4E") << frame(kCmdNak, hex("0000")) << 7;
    QTest::newRow("acknowledgement is not acknowledged")
            << frame(kCmdAck, hex("0200")) << QByteArray() << 7;
    QTest::newRow("negative acknowledgement repeats")
            << frame(kCmdNak, hex("0000")) << request02 << 7;
    QTest::newRow("unknown command repeats")
            << frame(0x42, hex("01")) << frame(kCmdAck, hex("4208")) + frame(kCmdAck, hex("4208"))
            << 7;
}

void tst_Link::receivedFrames()
{
    QFETCH(QByteArray, incoming);
    QFETCH(QByteArray, answer);
    QFETCH(int, switching);
    Bench b;
    b.doc.stagingConfig.switchingEnabled = 7;
    b.link.nextReadoutRequest(kHelloByte);
    b.written();

    b.deliver(incoming);
    b.ticks(kGarbageQuietTicks + 1);
    QCOMPARE(b.written().toHex(' '), answer.toHex(' '));
    QCOMPARE(int(b.doc.stagingConfig.switchingEnabled), switching);
    QCOMPARE(b.s().rxState, quint8(0));
    QCOMPARE(b.s().pendingFrames, quint8(0));
    QVERIFY(!b.s().errorEvent);
}

// A frame that breaks off after its start byte is refused after 301 quiet ticks with
// the command of the frame before it.
void tst_Link::receiveTimeoutNamesPreviousCommand()
{
    Bench b;
    b.deliver(frame(kCmdMouseSpeed, hex("05")));
    b.written();
    b.deliver(hex("CE"));
    b.ticks(299); // 300 quiet ticks so far
    QVERIFY(b.written().isEmpty());
    b.tick();
    QCOMPARE(b.written().toHex(' '), frame(kCmdNak, hex("0301")).toHex(' '));
    QCOMPARE(b.s().rxState, quint8(0));
}

void tst_Link::waitTimeouts_data()
{
    QTest::addColumn<bool>("hello");
    QTest::newRow("request") << false;
    QTest::newRow("hello") << true;
}

void tst_Link::waitTimeouts()
{
    QFETCH(bool, hello);
    Bench b;
    if (hello)
        QVERIFY(b.link.writeHello());
    else
        b.link.nextReadoutRequest(kHelloByte);
    bool &event = hello ? b.s().noConnectionEvent : b.s().errorEvent;
    b.ticks(1000);
    QVERIFY(!event);
    b.tick();
    QVERIFY(event);
    QVERIFY(!b.s().awaitingAck && !b.s().awaitingHello);
    event = false;
    b.ticks(2000);
    QVERIFY(!b.s().errorEvent && !b.s().noConnectionEvent);
}

void tst_Link::naksReceivedLimit()
{
    Bench b;
    b.link.nextReadoutRequest(kHelloByte);
    const QByteArray request = b.written();
    const QByteArray nak = frame(kCmdNak, hex("0200"));

    for (int i = 0; i < 3; ++i) {
        b.deliver(nak);
        QCOMPARE(b.written(), request);
    }
    // An acknowledgement in between starts the count anew.
    b.deliver(frame(kCmdAck, hex("0200")));
    for (int i = 0; i < 3; ++i) {
        b.deliver(nak);
        QCOMPARE(b.written(), request);
    }
    b.deliver(nak);
    QVERIFY(b.written().isEmpty());
    QVERIFY(b.s().errorEvent);
    // The failure is reported once, not again by the acknowledgement time-out.
    b.s().errorEvent = false;
    b.ticks(1100);
    QVERIFY(!b.s().errorEvent);
}

// A 4-channel switch: indices 0..3 are requested and the last record completes the
// readout without a further request.
void tst_Link::readoutRequestsEveryRecord()
{
    Bench b;
    QVERIFY(b.link.writeHello());
    b.written();
    b.deliver(frame(kCmdAck, hex("7E04")));
    QCOMPARE(b.doc.stagingConfig.channelCount, quint8(4));
    QCOMPARE(b.doc.stagingConfig.deviceChannels, quint8(4));
    b.deliver(frame(kCmdAck, hex("0200")) + frame(kCmdSwitchingState, hex("00")));
    b.deliver(frame(kCmdAck, hex("0300")) + frame(kCmdMouseSpeed, hex("09")));
    b.written();
    for (quint8 i = 0; i < 4; ++i) {
        const ChannelEntry e{1, i, quint8(i + 1), quint8(i + 2), quint8(i + 3), 1920, 1080};
        b.deliver(frame(kCmdAck, hex("0000")) + record(i, e));
        const QByteArray out = b.written();
        QVERIFY(out.startsWith(frame(kCmdAck, hex("0008"))));
        const QByteArray next = out.mid(10);
        if (i < 3)
            QCOMPARE(next.left(5), hex("CE00010000").replace(4, 1, QByteArray(1, char(i + 1))));
        else
            QVERIFY(next.isEmpty());
        QCOMPARE(b.doc.stagingConfig.channels[i], e);
    }
    QVERIFY(b.s().completeEvent);
    QCOMPARE(b.doc.stagingConfig.switchingEnabled, quint8(0));
    QCOMPARE(b.doc.stagingConfig.mouseSpeed, quint8(9));
}

void tst_Link::answerAfterAcknowledgementIsSupervised_data()
{
    QTest::addColumn<QByteArray>("conversation");
    QTest::addColumn<int>("failsAfter"); // ticks after the conversation; 0 = never

    const QByteArray hello = frame(kCmdAck, hex("7E02"));
    const QByteArray state = frame(kCmdAck, hex("0200")) + frame(kCmdSwitchingState, hex("01"));
    const QByteArray speed = frame(kCmdAck, hex("0300")) + frame(kCmdMouseSpeed, hex("05"));
    const QByteArray ackRecord = frame(kCmdAck, hex("0000"));
    const QByteArray record0 = ackRecord + record(0, ChannelEntry{1, 0, 0, 2, 2, 0, 0});
    const QByteArray record1 = ackRecord + record(1, ChannelEntry{});

    // The wait for the answer starts with the acknowledgement, the last 10 bytes.
    QTest::newRow("switching state never comes") << hello + frame(kCmdAck, hex("0200")) << 1000;
    QTest::newRow("pointer speed never comes")
            << hello + state + frame(kCmdAck, hex("0300")) << 1000;
    QTest::newRow("record never comes") << hello + state + speed + record0 + ackRecord << 1000;
    // Neither a late acknowledgement nor a repeated one starts the wait anew: it runs
    // from the request (0x03 here, before the stray acknowledgement) or from the first
    // acknowledgement.
    QTest::newRow("answer before its acknowledgement")
            << hello + frame(kCmdSwitchingState, hex("01")) + frame(kCmdAck, hex("0200")) << 990;
    QTest::newRow("acknowledged twice")
            << hello + frame(kCmdAck, hex("0200")) + frame(kCmdAck, hex("0200")) << 990;
    QTest::newRow("complete readout leaves no wait")
            << hello + state + speed + record0 + record1 << 0;
}

// A switch that acknowledges a readout request and then falls silent must end the
// readout with the transmission error, not leave it waiting for ever.
void tst_Link::answerAfterAcknowledgementIsSupervised()
{
    QFETCH(QByteArray, conversation);
    QFETCH(int, failsAfter);
    Bench b;
    QVERIFY(b.link.writeHello());
    b.deliver(conversation);
    QCOMPARE(b.s().completeEvent, failsAfter == 0);
    b.ticks(failsAfter ? failsAfter - 1 : 2000);
    QVERIFY(!b.s().errorEvent);
    b.tick();
    QCOMPARE(b.s().errorEvent, failsAfter != 0);
}

void tst_Link::writeAcknowledgements_data()
{
    QTest::addColumn<QByteArray>("incoming"); // while record 0 waits for its acknowledgement
    QTest::addColumn<int>("nakAt");           // the switch asks for record 0 again then
    QTest::addColumn<int>("quietTicks");      // ticks from the first record 0 on
    QTest::addColumn<int>("record0Sent");     // times record 0 went out in all
    QTest::addColumn<bool>("failed");

    const QByteArray ack01 = frame(kCmdAck, hex("0100"));
    QByteArray damaged = ack01;
    damaged[6] = char(damaged.at(6) ^ 0x01);
    const int wait = kAckTimeoutTicks + 1;
    // Asking for a repeat here would bring back the acknowledgement of the frame before,
    // which names the same command: none is asked for, and the good one counts.
    QTest::newRow("damaged acknowledgement, then the good one")
            << damaged + ack01 << -1 << 0 << 1 << false;
    // A stray byte where the record was lost: the record goes again once the switch has
    // had its whole wait, and only what follows counts.
    QTest::newRow("stray byte, record lost") << hex("00") << -1 << wait << 2 << false;
    QTest::newRow("stray byte, record lost twice") << hex("00") << -1 << 3 * wait << 2 << true;
    // Nothing goes again while the answer is on its way in.
    QTest::newRow("stray byte, acknowledgement arriving as the wait runs out")
            << hex("00") << -1 << wait - 5 << 1 << false;
    QTest::newRow("record lost, nothing dropped") << QByteArray() << -1 << wait << 1 << true;
    // The repeat the switch asked for late has its whole wait before anything goes again.
    QTest::newRow("damaged acknowledgement, late request for the record")
            << damaged << wait - 100 << wait + 100 << 2 << false;
}

// Record 1 of two follows record 0 only on an acknowledgement that cannot be the repeat
// of an earlier one.
void tst_Link::writeAcknowledgements()
{
    QFETCH(QByteArray, incoming);
    QFETCH(int, nakAt);
    QFETCH(int, quietTicks);
    QFETCH(int, record0Sent);
    QFETCH(bool, failed);
    Bench b;
    b.doc.currentConfig.channelCount = 2;
    b.doc.currentConfig.channels[1] = ChannelEntry{1, 0, 0, 2, 2, 1920, 1080};
    b.link.beginExchange();
    b.s().direction = kDirectionTransmit;
    b.link.nextTransmitFrame(kCmdWriteMouseSpeed);
    const QByteArray record0 = b.written();

    b.deliver(incoming);
    for (int i = 0; i < quietTicks && !b.s().errorEvent; ++i) {
        if (i == nakAt)
            b.port.inject(frame(kCmdNak, hex("0100")));
        b.tick();
    }
    if (quietTicks > 0 && !b.s().errorEvent)
        b.deliver(frame(kCmdAck, hex("0100"))); // the answer to the last record 0 sent
    const QByteArray sent = b.written();
    QCOMPARE(1 + int(sent.count(record0)), record0Sent);
    QVERIFY2(!sent.contains(hex("CEFF")), sent.toHex(' ').constData());
    QCOMPARE(b.s().errorEvent, failed);
    if (failed)
        return;
    QVERIFY(!b.s().completeEvent);
    QCOMPARE(sent.right(18).mid(4, 10).toHex(' '), hex("01010000020280073804").toHex(' '));
    b.deliver(frame(kCmdAck, hex("0100")));
    // Once record 0 went twice, the acknowledgements prove nothing: the switch is read
    // back in a connection of its own before anything completes.
    QCOMPARE(b.s().completeEvent, record0Sent == 1);
    QCOMPARE(b.written() == hex("CE06000049F8A7E1"), record0Sent > 1);
}

void tst_Link::hostileDevice_data()
{
    QTest::addColumn<QByteArray>("helloAck");
    QTest::addColumn<QByteArray>("then");
    const QByteArray ack4 = frame(kCmdAck, hex("7E04"));
    QTest::newRow("channel count 9") << frame(kCmdAck, hex("7E09")) << QByteArray();
    QTest::newRow("channel count 0") << frame(kCmdAck, hex("7E00")) << QByteArray();
    QTest::newRow("record index 8") << ack4 << record(8, ChannelEntry{1, 1, 1, 2, 2, 1, 1});
    QTest::newRow("record index 255") << ack4 << record(255, ChannelEntry{1, 1, 1, 2, 2, 1, 1});
}

// Whatever the switch claims, nothing beyond the eight entries is written and the
// readout ends with the transmission error; a frame it insists on is refused until
// the repeat allowance is used up.
void tst_Link::hostileDevice()
{
    QFETCH(QByteArray, helloAck);
    QFETCH(QByteArray, then);
    Bench b;
    QVERIFY(b.link.writeHello());
    const Configuration before = b.doc.stagingConfig;
    b.deliver(helloAck);
    for (int i = 0; i < 4; ++i)
        b.deliver(then);
    b.ticks(2);
    QVERIFY(b.s().errorEvent);
    QVERIFY(!b.s().completeEvent);
    for (int i = 0; i < kMaxChannels; ++i)
        QCOMPARE(b.doc.stagingConfig.channels[i], before.channels[i]);
    QVERIFY(b.doc.stagingConfig.channelCount <= kMaxChannels);
}

void tst_Link::beginExchangeClearsEverything()
{
    Bench b;
    b.link.nextReadoutRequest(kHelloByte);
    b.link.sendNak(0, 0);
    b.link.sendNak(0, 0);
    b.deliver(frame(kCmdNak, {}) + hex("CE0203"));
    b.s().errorEvent = b.s().completeEvent = true;
    b.s().transmitHelloEvent = b.s().noConnectionEvent = true;

    b.link.beginExchange();
    const LinkState &s = b.s();
    QCOMPARE(s.rxState, quint8(0));
    QCOMPARE(s.rxIndex, quint16(0));
    QCOMPARE(s.pendingFrames, quint8(0));
    QCOMPARE(s.naksSent, quint8(0));
    QCOMPARE(s.naksReceived, quint8(0));
    QCOMPARE(s.ackWaitTicks, quint16(0));
    QVERIFY(!s.awaitingAck && !s.awaitingHello);
    QVERIFY(!s.errorEvent && !s.completeEvent && !s.transmitHelloEvent && !s.noConnectionEvent);
}

// Without an open port nothing is written, yet the request is supervised, so the
// exchange ends with the transmission error instead of hanging.
void tst_Link::closedPortSendsNothing()
{
    Bench b;
    b.port.close();
    QVERIFY(!b.link.writeLeadIn());
    QVERIFY(!b.link.writeHello());
    QVERIFY(!b.link.closeConnection());
    b.link.nextReadoutRequest(kHelloByte);
    QCOMPARE(b.s().lastSent.command, quint8(kCmdSwitchingState));
    b.ticks(1001);
    QVERIFY(b.s().errorEvent);
}

// Under Wine a COM port on a pseudo-terminal never reports arriving bytes; the port
// fetches them only when asked. A link that waited for bytesAvailable() heard nothing.
void tst_Link::portThatReadsOnlyWhenAsked()
{
    ReadOnRequestPort port;
    port.open(QIODevice::ReadWrite);
    Document doc;
    doc.currentConfig.channelCount = 4;
    Link link(doc);
    link.setPort(&port);
    link.beginExchange();
    QVERIFY(link.writeHello());
    port.arrive(frame(kCmdAck, hex("7E08")));
    QCOMPARE(port.bytesAvailable(), 0);
    for (int i = 0; i < 20; ++i) {
        link.pollOneByte();
        link.linkTick();
    }
    QCOMPARE(doc.stagingConfig.channelCount, quint8(8));
    QVERIFY(!link.state().awaitingHello);
}

QTEST_GUILESS_MAIN(tst_Link)
#include "tst_link.moc"
