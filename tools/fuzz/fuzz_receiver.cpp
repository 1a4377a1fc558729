// Fuzz target: arbitrary bytes from the switch into the tool's receiver, in either
// direction, with time passing between them. The link must never store beyond its
// records nor accept a channel count it cannot hold, and an exchange must always be
// supervised by a wait, so that it ends within kSilentEndTicks once the switch falls
// silent. The same bytes go to the frame assembler on storage of its own and to an
// emulator, whose assembly must stay within the frame and pass on only frames whose CRC
// checks.
#include "document/document.h"
#include "link/exchangedriver.h"
#include "link/link.h"
#include "link/memoryport.h"
#include "link/switchemulator.h"

#include <cstddef>
#include <cstdint>

namespace {

void checkAssembly(const LinkFrame &frame, quint8 state, quint16 index)
{
    if (state > kRxCrc || index >= kMaxPayload)
        __builtin_trap();
    if (state >= kRxPayload && frame.length > kMaxPayload)
        __builtin_trap();
}

// The assembler alone: every result must say what the frame holds.
struct Assembler
{
    LinkFrame frame;
    quint8 state = kRxIdle;
    quint16 index = 0;

    void take(quint8 byte)
    {
        const FrameByte result = assembleFrameByte(frame, state, index, byte);
        checkAssembly(frame, state, index);
        const bool crcChecks = computeCrc(frame.headerAndPayload()) == frame.crc;
        if ((result == FrameByte::Complete && !crcChecks)
            || (result == FrameByte::BadCrc && crcChecks))
            __builtin_trap();
        if (result == FrameByte::Started && frame.start != kFrameStart)
            __builtin_trap();
    }
};

void feedEmulator(SwitchEmulator &emulator, quint8 byte)
{
    const qsizetype before = emulator.receivedFrames().size();
    emulator.feed(QByteArray(1, char(byte)));
    emulator.elapse(kProtocolTickMs);
    emulator.takeOutput();
    if (emulator.receivedFrames().size() > before) {
        const LinkFrame &f = emulator.receivedFrames().last();
        if (f.length > kMaxPayload || computeCrc(f.headerAndPayload()) != f.crc)
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    Document doc;
    static const quint8 kCounts[4] = {2, 4, 8, 0};
    doc.currentConfig.channelCount = kCounts[data[0] & 3];
    MemoryPort port;
    port.open(QIODevice::ReadWrite);
    Link link(doc);
    link.setPort(&port);
    link.beginExchange();
    link.state().direction = (data[0] & 4) ? kDirectionTransmit : kDirectionReadout;
    // A transmission may read a restore point first, which may be refused.
    if (data[0] & 8) {
        const bool keep = !(data[0] & 16);
        link.setRestorePointHook([keep](const Configuration &previous, QString *) {
            if (previous.channelCount > kMaxChannels)
                __builtin_trap();
            return keep;
        });
    }
    link.writeLeadIn();
    link.writeHello();
    Assembler assembler;
    SwitchEmulator emulator(kCounts[data[0] & 3]);

    bool over = false;
    const auto tick = [&] {
        over = exchangeTick(link, doc, true) != TickResult::Running || over;
        if (!over && !link.supervised())
            __builtin_trap();
    };
    // Byte 0x00 after an escape 0xAA means "let 350 ticks pass" so time-outs are reached.
    for (size_t i = 1; i < size; ++i) {
        if (data[i] == 0xAA && i + 1 < size && data[i + 1] == 0x00) {
            for (int t = 0; t < 350; ++t)
                tick();
            ++i;
            continue;
        }
        port.inject(QByteArray(1, char(data[i])));
        tick();
        const LinkState &s = link.state();
        checkAssembly(s.rxFrame, s.rxState, s.rxIndex);
        assembler.take(data[i]);
        feedEmulator(emulator, data[i]);
        if (doc.stagingConfig.channelCount > kMaxChannels)
            __builtin_trap();
        port.takeWritten();
    }
    // The link promises an end within kSilentEndTicks of the last byte.
    for (int t = 0; t < kSilentEndTicks; ++t)
        tick();
    if (!over)
        __builtin_trap();
    return 0;
}
