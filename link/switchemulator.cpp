#include "link/switchemulator.h"

#include "link/link.h"

#include <QIODevice>
#include <QSocketNotifier>

#include <cstring>

namespace {

// A frame that stops arriving for this long is given up, as a device would.
constexpr qint64 kPartialFrameGapMs = 100;
// Chatter: a command no tool sends or expects, and the gaps between the frames.
constexpr quint8 kUnknownCommand = 0x42;
constexpr int kUnknownFrameGapMs = 1000;
constexpr int kUnknownFrameGapSpreadMs = 500;
constexpr int kReAcknowledgeGapMs = 1500;

QByteArray twoBytes(quint8 a, quint8 b)
{
    QByteArray out(2, '\0');
    out[0] = char(a);
    out[1] = char(b);
    return out;
}

} // namespace

SwitchEmulator::SwitchEmulator(int channels, const Configuration &config, QObject *parent)
    : QObject(parent)
    , m_config(config)
    , m_channels(channels)
{
    m_config.channelCount = quint8(qBound(0, channels, kMaxChannels));
    setFaults(Faults());
    m_clock.chatterTimer.setSingleShot(true);
    connect(&m_clock.chatterTimer, &QTimer::timeout, this, &SwitchEmulator::chatter);
    m_clock.delayTimer.setSingleShot(true);
    connect(&m_clock.delayTimer, &QTimer::timeout, this, &SwitchEmulator::releaseDelayed);
    m_clock.delayClock.start();
}

SwitchEmulator::~SwitchEmulator()
{
    stop();
}

bool SwitchEmulator::startOnPty()
{
    stop();
    if (!m_line.pty.open())
        return false;
    m_line.notifier = new QSocketNotifier(m_line.pty.masterFd(), QSocketNotifier::Read, this);
    connect(m_line.notifier, &QSocketNotifier::activated, this, &SwitchEmulator::readPty);
    return true;
}

void SwitchEmulator::attachDevice(QIODevice *device)
{
    stop();
    m_line.device = device;
    connect(device, &QIODevice::readyRead, this, &SwitchEmulator::readDevice);
}

void SwitchEmulator::stop()
{
    stopChatter();
    m_clock.delayTimer.stop();
    m_clock.delayed.clear();
    delete m_line.notifier;
    m_line.notifier = nullptr;
    m_line.pty.close();
    if (m_line.device)
        disconnect(m_line.device, nullptr, this, nullptr);
    m_line.device = nullptr;
}

void SwitchEmulator::setConfiguration(const Configuration &config)
{
    const quint8 count = m_config.channelCount;
    m_config = config;
    m_config.channelCount = count;
}

void SwitchEmulator::setFaults(const Faults &faults)
{
    m_faults = faults;
    m_used.rng.seed(faults.seed);
    m_used.naksLeft = faults.nakNext;
    m_used.recordsToLose = faults.lostRecords;
}

void SwitchEmulator::clearLog()
{
    m_log = Log();
}

void SwitchEmulator::readPty()
{
    char buf[256];
    qint64 n = 0;
    while ((n = m_line.pty.read(buf, sizeof buf)) > 0) {
        if (!hearsClientBitrate())
            continue;
        if (m_rx.state != kRxIdle && m_line.lastByte.isValid()
            && m_line.lastByte.elapsed() > kPartialFrameGapMs)
            lineIdle();
        m_line.lastByte.start();
        feed(QByteArray(buf, int(n)));
    }
}

// The line's setting is read when the bytes are, so what a client sent just before it
// closed the port (which puts back the setting it found) is judged by that setting:
// only a client at the other of the tool's two rates goes unheard.
bool SwitchEmulator::hearsClientBitrate() const
{
    if (m_faults.onlyBitrate <= 0)
        return true;
    const int rate = m_line.pty.clientBitrate();
    return rate == m_faults.onlyBitrate || (rate != 9600 && rate != 115200);
}

void SwitchEmulator::readDevice()
{
    if (!m_line.device)
        return;
    const QByteArray bytes = m_line.device->readAll();
    if (m_rx.state != kRxIdle && m_line.lastByte.isValid()
        && m_line.lastByte.elapsed() > kPartialFrameGapMs)
        lineIdle();
    m_line.lastByte.start();
    feed(bytes);
}

void SwitchEmulator::feed(const QByteArray &bytes)
{
    if (!bytes.isEmpty())
        m_clock.lastByteMs = m_clock.nowMs;
    for (char c : bytes) {
        const double share = m_faults.incomingShare;
        if (share > 0.0 && m_used.rng.generateDouble() < share)
            c = char(c ^ (1 << m_used.rng.bounded(8)));
        receiveByte(quint8(c));
    }
}

QByteArray SwitchEmulator::takeOutput()
{
    QByteArray out;
    out.swap(m_line.outbox);
    return out;
}

void SwitchEmulator::lineIdle()
{
    m_rx.state = kRxIdle;
    m_rx.index = 0;
}

void SwitchEmulator::elapse(int ms)
{
    Clock &c = m_clock;
    c.nowMs += ms;
    if (m_rx.state != kRxIdle && c.nowMs - c.lastByteMs > kPartialFrameGapMs)
        lineIdle();
    while (c.chatterDueMs >= 0 && c.nowMs >= c.chatterDueMs) {
        c.chatterDueMs = -1;
        chatter();
    }
    releaseDelayed();
}

void SwitchEmulator::startChatter()
{
    const int gap
            = m_faults.chatter == Chatter::UnknownFrames
                      ? kUnknownFrameGapMs + int(m_used.rng.bounded(kUnknownFrameGapSpreadMs + 1))
                      : kReAcknowledgeGapMs;
    if (live())
        m_clock.chatterTimer.start(gap);
    else
        m_clock.chatterDueMs = m_clock.nowMs + gap;
}

void SwitchEmulator::stopChatter()
{
    m_clock.chatterTimer.stop();
    m_clock.chatterDueMs = -1;
}

void SwitchEmulator::chatter()
{
    switch (m_faults.chatter) {
    case Chatter::Off:
        return;
    case Chatter::UnknownFrames:
        send(kUnknownCommand, QByteArray(1, '\x01'));
        break;
    case Chatter::ReAcknowledge:
        send(kCmdAck, twoBytes(kCmdSwitchingState, 0));
        break;
    }
    startChatter();
}

bool SwitchEmulator::quiet() const
{
    return m_faults.silent
           || (m_faults.quietAfter >= 0 && m_log.received.size() >= m_faults.quietAfter);
}

void SwitchEmulator::receiveByte(quint8 b)
{
    LinkFrame &rx = m_rx.frame;
    switch (assembleFrameByte(rx, m_rx.state, m_rx.index, b)) {
    case FrameByte::Started:
        // What a short frame does not carry reads as zero.
        std::memset(rx.payload, 0, sizeof rx.payload);
        break;
    case FrameByte::Outside:
        byteBetweenFrames(b);
        break;
    case FrameByte::Complete:
        handleFrame(rx);
        break;
    case FrameByte::BadCrc:
        ++m_log.badFrames;
        if (!quiet())
            send(kCmdNak, twoBytes(rx.command, 0));
        break;
    case FrameByte::Taken:
    case FrameByte::TooLong:
        break;
    }
}

void SwitchEmulator::byteBetweenFrames(quint8 b)
{
    if (b == kHelloByte) {
        ++m_log.hellos;
        if (!quiet()) {
            const int reported
                    = m_faults.reportedChannels >= 0 ? m_faults.reportedChannels : m_channels;
            send(kCmdAck, twoBytes(kHelloByte, quint8(reported)));
            stopChatter();
            if (m_faults.chatter == Chatter::UnknownFrames)
                startChatter();
        }
    } else if (b == kLeadInByte) {
        ++m_log.leadIns;
    }
}

void SwitchEmulator::handleFrame(const LinkFrame &f)
{
    if (quiet())
        return;
    quint32 &toLose = m_used.recordsToLose;
    if (f.command == kCmdWriteRecord && f.length >= 1 && f.payload[0] < kMaxChannels
        && (toLose & (1u << f.payload[0]))) {
        toLose &= ~(1u << f.payload[0]);
        return;
    }
    m_log.received.append(f);
    emit frameReceived(f.command);
    if (m_used.naksLeft > 0 && f.command != kCmdAck && f.command != kCmdNak) {
        --m_used.naksLeft;
        send(kCmdNak, twoBytes(f.command, 0));
        return;
    }
    if (f.command == kCmdNak) {
        if (m_lastSent)
            sendFrameBytes(*m_lastSent);
        return;
    }
    if (f.command == kCmdAck)
        return;
    if (f.command == kCmdClosing)
        stopChatter();
    if (m_faults.chatter == Chatter::UnknownFrames) {
        if (f.command == kCmdClosing)
            emit closingReceived();
        return;
    }
    send(kCmdAck, twoBytes(f.command, 0), f.command == kCmdWriteRecord);
    answerFrame(f);
}

// What follows the acknowledgement: the answer to a request, or the write stored.
void SwitchEmulator::answerFrame(const LinkFrame &f)
{
    const quint8 *p = f.payload;
    switch (f.command) {
    case kCmdChannelRecord: {
        if (f.length < 1 || p[0] >= kMaxChannels)
            break;
        const quint8 i = quint8((p[0] + m_faults.recordOffset) % kMaxChannels);
        quint8 record[kRecordLength];
        encodeChannelRecord(i, m_config.channels[i], record);
        send(kCmdChannelRecord, QByteArray(reinterpret_cast<const char *>(record), kRecordLength));
        break;
    }
    case kCmdSwitchingState:
        if (m_faults.chatter == Chatter::ReAcknowledge) {
            if (!m_clock.chatterTimer.isActive() && m_clock.chatterDueMs < 0)
                startChatter();
            break;
        }
        send(kCmdSwitchingState, QByteArray(1, char(m_config.switchingEnabled)));
        break;
    case kCmdMouseSpeed:
        send(kCmdMouseSpeed, QByteArray(1, char(m_config.mouseSpeed)));
        break;
    case kCmdWriteRecord:
        if (f.length >= kRecordLength && p[0] < kMaxChannels && p[0] != m_faults.keptRecord)
            m_config.channels[p[0]] = decodeChannelRecord(p);
        break;
    case kCmdWriteSwitching:
        if (f.length >= 1)
            m_config.switchingEnabled = p[0];
        break;
    case kCmdWriteMouseSpeed:
        if (f.length >= 1)
            m_config.mouseSpeed = p[0];
        break;
    case kCmdClosing:
        emit closingReceived();
        break;
    default:
        break;
    }
}

void SwitchEmulator::send(quint8 command, const QByteArray &payload, bool recordAck)
{
    LinkFrame f;
    f.start = kFrameStart;
    f.command = command;
    f.length = quint16(qMin<qsizetype>(payload.size(), kMaxPayload));
    for (int i = 0; i < f.length; ++i)
        f.payload[i] = quint8(payload.at(i));
    f.updateCrc();
    m_lastSent = f;
    sendFrameBytes(f, recordAck);
}

void SwitchEmulator::sendFrameBytes(const LinkFrame &f, bool recordAck)
{
    QByteArray bytes = f.wireBytes();
    QRandomGenerator &rng = m_used.rng;
    if (m_faults.corruptShare > 0.0 && rng.generateDouble() < m_faults.corruptShare) {
        // Payload and CRC damage keeps the frame frame-shaped on the line; header damage
        // leaves the receiver to find its way back.
        const int first = m_faults.corruptHeaders ? 0 : 4;
        const int pos = first + int(rng.bounded(quint32(bytes.size() - first)));
        bytes[pos] = char(bytes.at(pos) ^ (1 << rng.bounded(8)));
        ++m_log.corrupted;
    }
    if (m_faults.strayShare > 0.0 && rng.generateDouble() < m_faults.strayShare)
        bytes.append('\0');
    const int delay = recordAck && m_faults.recordDelayMs > 0 ? m_faults.recordDelayMs
                                                              : m_faults.answerDelayMs;
    emit_(m_faults.garbage + bytes, delay);
}

void SwitchEmulator::emit_(const QByteArray &bytes, int delayMs)
{
    QList<QPair<qint64, QByteArray>> &delayed = m_clock.delayed;
    if (delayMs <= 0 && delayed.isEmpty()) {
        write(bytes);
        return;
    }
    // Kept in the order the bytes are due; what is due at the same time keeps its order.
    const qint64 now = live() ? m_clock.delayClock.elapsed() : m_clock.nowMs;
    const qint64 due = now + delayMs;
    qsizetype at = delayed.size();
    while (at > 0 && delayed.at(at - 1).first > due)
        --at;
    delayed.insert(at, {due, bytes});
    if (live())
        releaseDelayed();
}

void SwitchEmulator::releaseDelayed()
{
    Clock &c = m_clock;
    const qint64 now = live() ? c.delayClock.elapsed() : c.nowMs;
    while (!c.delayed.isEmpty() && c.delayed.first().first <= now)
        write(c.delayed.takeFirst().second);
    if (live() && !c.delayed.isEmpty())
        c.delayTimer.start(int(qMax<qint64>(0, c.delayed.first().first - now)));
}

void SwitchEmulator::write(const QByteArray &bytes)
{
    if (m_line.pty.isOpen()) {
        m_line.pty.write(bytes.constData(), bytes.size());
    } else if (m_line.device) {
        m_line.device->write(bytes);
    } else {
        m_line.outbox.append(bytes);
    }
}
