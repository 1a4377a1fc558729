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
    , m_reportedChannels(channels)
{
    m_config.channelCount = quint8(qBound(0, channels, kMaxChannels));
    m_chatterTimer.setSingleShot(true);
    connect(&m_chatterTimer, &QTimer::timeout, this, &SwitchEmulator::chatter);
    m_delayTimer.setSingleShot(true);
    connect(&m_delayTimer, &QTimer::timeout, this, &SwitchEmulator::releaseDelayed);
    m_delayClock.start();
}

SwitchEmulator::~SwitchEmulator()
{
    stop();
}

bool SwitchEmulator::startOnPty()
{
    stop();
    if (!m_pty.open())
        return false;
    m_notifier = new QSocketNotifier(m_pty.masterFd(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SwitchEmulator::readPty);
    return true;
}

void SwitchEmulator::attachDevice(QIODevice *device)
{
    stop();
    m_device = device;
    connect(device, &QIODevice::readyRead, this, &SwitchEmulator::readDevice);
}

void SwitchEmulator::stop()
{
    stopChatter();
    m_delayTimer.stop();
    m_delayed.clear();
    delete m_notifier;
    m_notifier = nullptr;
    m_pty.close();
    if (m_device)
        disconnect(m_device, nullptr, this, nullptr);
    m_device = nullptr;
}

void SwitchEmulator::setConfiguration(const Configuration &config)
{
    const quint8 count = m_config.channelCount;
    m_config = config;
    m_config.channelCount = count;
}

void SwitchEmulator::setCorruptShare(double share, quint32 seed)
{
    m_corruptShare = share;
    m_rng.seed(seed);
}

void SwitchEmulator::clearLog()
{
    m_received.clear();
    m_hellos = m_leadIns = m_badFrames = m_corrupted = 0;
}

void SwitchEmulator::readPty()
{
    char buf[256];
    qint64 n = 0;
    while ((n = m_pty.read(buf, sizeof buf)) > 0) {
        if (!hearsClientBitrate())
            continue;
        if (m_rxState != kRxIdle && m_lastByte.isValid()
            && m_lastByte.elapsed() > kPartialFrameGapMs)
            lineIdle();
        m_lastByte.start();
        feed(QByteArray(buf, int(n)));
    }
}

// The line's setting is read when the bytes are, so what a client sent just before it
// closed the port (which puts back the setting it found) is judged by that setting:
// only a client at the other of the tool's two rates goes unheard.
bool SwitchEmulator::hearsClientBitrate() const
{
    if (m_onlyBitrate <= 0)
        return true;
    const int rate = m_pty.clientBitrate();
    return rate == m_onlyBitrate || (rate != 9600 && rate != 115200);
}

void SwitchEmulator::readDevice()
{
    if (!m_device)
        return;
    const QByteArray bytes = m_device->readAll();
    if (m_rxState != kRxIdle && m_lastByte.isValid() && m_lastByte.elapsed() > kPartialFrameGapMs)
        lineIdle();
    m_lastByte.start();
    feed(bytes);
}

void SwitchEmulator::feed(const QByteArray &bytes)
{
    if (!bytes.isEmpty())
        m_lastByteMs = m_clockMs;
    for (char c : bytes) {
        if (m_incomingShare > 0.0 && m_rng.generateDouble() < m_incomingShare)
            c = char(c ^ (1 << m_rng.bounded(8)));
        receiveByte(quint8(c));
    }
}

QByteArray SwitchEmulator::takeOutput()
{
    QByteArray out;
    out.swap(m_outbox);
    return out;
}

void SwitchEmulator::lineIdle()
{
    m_rxState = kRxIdle;
    m_rxIndex = 0;
}

void SwitchEmulator::elapse(int ms)
{
    m_clockMs += ms;
    if (m_rxState != kRxIdle && m_clockMs - m_lastByteMs > kPartialFrameGapMs)
        lineIdle();
    while (m_chatterDueMs >= 0 && m_clockMs >= m_chatterDueMs) {
        m_chatterDueMs = -1;
        chatter();
    }
    releaseDelayed();
}

void SwitchEmulator::startChatter()
{
    const int gap = m_chatter == Chatter::UnknownFrames
                            ? kUnknownFrameGapMs + int(m_rng.bounded(kUnknownFrameGapSpreadMs + 1))
                            : kReAcknowledgeGapMs;
    if (live())
        m_chatterTimer.start(gap);
    else
        m_chatterDueMs = m_clockMs + gap;
}

void SwitchEmulator::stopChatter()
{
    m_chatterTimer.stop();
    m_chatterDueMs = -1;
}

void SwitchEmulator::chatter()
{
    switch (m_chatter) {
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
    return m_silent || (m_quietAfter >= 0 && m_received.size() >= m_quietAfter);
}

void SwitchEmulator::receiveByte(quint8 b)
{
    switch (assembleFrameByte(m_rx, m_rxState, m_rxIndex, b)) {
    case FrameByte::Started:
        // What a short frame does not carry reads as zero.
        std::memset(m_rx.payload, 0, sizeof m_rx.payload);
        break;
    case FrameByte::Outside:
        byteBetweenFrames(b);
        break;
    case FrameByte::Complete:
        handleFrame(m_rx);
        break;
    case FrameByte::BadCrc:
        ++m_badFrames;
        if (!quiet())
            send(kCmdNak, twoBytes(m_rx.command, 0));
        break;
    case FrameByte::Taken:
    case FrameByte::TooLong:
        break;
    }
}

void SwitchEmulator::byteBetweenFrames(quint8 b)
{
    if (b == kHelloByte) {
        ++m_hellos;
        if (!quiet()) {
            send(kCmdAck, twoBytes(kHelloByte, quint8(m_reportedChannels)));
            stopChatter();
            if (m_chatter == Chatter::UnknownFrames)
                startChatter();
        }
    } else if (b == kLeadInByte) {
        ++m_leadIns;
    }
}

void SwitchEmulator::handleFrame(const LinkFrame &f)
{
    if (quiet())
        return;
    if (f.command == kCmdWriteRecord && f.length >= 1 && f.payload[0] < kMaxChannels
        && (m_lostRecords & (1u << f.payload[0]))) {
        m_lostRecords &= ~(1u << f.payload[0]);
        return;
    }
    m_received.append(f);
    emit frameReceived(f.command);
    if (m_nakNext > 0 && f.command != kCmdAck && f.command != kCmdNak) {
        --m_nakNext;
        send(kCmdNak, twoBytes(f.command, 0));
        return;
    }
    if (f.command == kCmdNak) {
        if (m_haveLastSent)
            sendFrameBytes(m_lastSent);
        return;
    }
    if (f.command == kCmdAck)
        return;
    if (f.command == kCmdClosing)
        stopChatter();
    if (m_chatter == Chatter::UnknownFrames) {
        if (f.command == kCmdClosing)
            emit closingReceived();
        return;
    }

    m_sendingRecordAck = f.command == kCmdWriteRecord;
    send(kCmdAck, twoBytes(f.command, 0));
    m_sendingRecordAck = false;
    const quint8 *p = f.payload;
    switch (f.command) {
    case kCmdChannelRecord: {
        if (f.length < 1 || p[0] >= kMaxChannels)
            break;
        const quint8 i = quint8((p[0] + m_recordOffset) % kMaxChannels);
        quint8 record[kRecordLength];
        encodeChannelRecord(i, m_config.channels[i], record);
        send(kCmdChannelRecord, QByteArray(reinterpret_cast<const char *>(record), kRecordLength));
        break;
    }
    case kCmdSwitchingState:
        if (m_chatter == Chatter::ReAcknowledge) {
            if (!m_chatterTimer.isActive() && m_chatterDueMs < 0)
                startChatter();
            break;
        }
        send(kCmdSwitchingState, QByteArray(1, char(m_config.switchingEnabled)));
        break;
    case kCmdMouseSpeed:
        send(kCmdMouseSpeed, QByteArray(1, char(m_config.mouseSpeed)));
        break;
    case kCmdWriteRecord:
        if (f.length >= kRecordLength && p[0] < kMaxChannels && p[0] != m_keptRecord) {
            m_config.channels[p[0]] = decodeChannelRecord(p);
        }
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

void SwitchEmulator::send(quint8 command, const QByteArray &payload)
{
    LinkFrame f;
    f.start = kFrameStart;
    f.command = command;
    f.length = quint16(qMin<qsizetype>(payload.size(), kMaxPayload));
    for (int i = 0; i < f.length; ++i)
        f.payload[i] = quint8(payload.at(i));
    f.updateCrc();
    m_lastSent = f;
    m_haveLastSent = true;
    sendFrameBytes(f);
}

void SwitchEmulator::sendFrameBytes(const LinkFrame &f)
{
    QByteArray bytes = f.wireBytes();
    if (m_corruptShare > 0.0 && m_rng.generateDouble() < m_corruptShare) {
        // Payload and CRC damage keeps the frame frame-shaped on the line; header damage
        // leaves the receiver to find its way back.
        const int first = m_corruptHeaders ? 0 : 4;
        const int pos = first + int(m_rng.bounded(quint32(bytes.size() - first)));
        bytes[pos] = char(bytes.at(pos) ^ (1 << m_rng.bounded(8)));
        ++m_corrupted;
    }
    if (m_strayShare > 0.0 && m_rng.generateDouble() < m_strayShare)
        bytes.append('\0');
    emit_(m_garbage + bytes);
}

void SwitchEmulator::emit_(const QByteArray &bytes)
{
    const int delay = m_sendingRecordAck && m_recordDelayMs > 0 ? m_recordDelayMs : m_answerDelayMs;
    if (delay <= 0 && m_delayed.isEmpty()) {
        write(bytes);
        return;
    }
    // Kept in the order the bytes are due; what is due at the same time keeps its order.
    const qint64 now = live() ? m_delayClock.elapsed() : m_clockMs;
    const qint64 due = now + delay;
    qsizetype at = m_delayed.size();
    while (at > 0 && m_delayed.at(at - 1).first > due)
        --at;
    m_delayed.insert(at, {due, bytes});
    if (live())
        releaseDelayed();
}

void SwitchEmulator::releaseDelayed()
{
    const qint64 now = live() ? m_delayClock.elapsed() : m_clockMs;
    while (!m_delayed.isEmpty() && m_delayed.first().first <= now)
        write(m_delayed.takeFirst().second);
    if (live() && !m_delayed.isEmpty())
        m_delayTimer.start(int(qMax<qint64>(0, m_delayed.first().first - now)));
}

void SwitchEmulator::write(const QByteArray &bytes)
{
    if (m_pty.isOpen()) {
        m_pty.write(bytes.constData(), bytes.size());
    } else if (m_device) {
        m_device->write(bytes);
    } else {
        m_outbox.append(bytes);
    }
}
