// Fuzz target: arbitrary bytes from the switch into the tool's receiver, in either
// direction, with time passing between them. The link must never store beyond its
// records nor accept a channel count it cannot hold, and an exchange must always be
// supervised by a wait, so that it ends once the switch falls silent.
#include "document/document.h"
#include "link/exchangedriver.h"
#include "link/link.h"
#include "link/memoryport.h"

#include <cstddef>
#include <cstdint>

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
    link.writeLeadIn();
    link.writeHello();

    bool over = false;
    const auto tick = [&] {
        over = exchangeTick(link, doc, true) != ExchangeStatus::Running || over;
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
        if (s.rxFrame.length > kMaxPayload && s.rxState >= 3)
            __builtin_trap();
        if (doc.stagingConfig.channelCount > kMaxChannels)
            __builtin_trap();
        port.takeWritten();
    }
    // One wait, at most, is left once the switch is silent.
    for (int t = 0; t < 1100; ++t)
        tick();
    if (!over)
        __builtin_trap();
    return 0;
}
