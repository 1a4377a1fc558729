// Readouts over a noisy line, in memory, by hand (not run by CTest): the switch
// emulator damages one bit of one byte in a share of the frames it sends, and every
// completed readout is compared field by field with the switch's configuration.
// Prints how many readouts completed, failed or could not connect, and how many
// completed with wrong data (must be 0).
//   bench_noise [runs=2000] [share=0.5] [channels=4] [any|body=any] [first seed=1]
// "any" lets the damage fall on every byte of a frame, "body" on payload and CRC only.
#include "document/document.h"
#include "link/exchangedriver.h"
#include "link/link.h"
#include "link/memoryport.h"
#include "link/switchemulator.h"
#include "sampleconfiguration.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

bool sameReadout(const Configuration &got, const Configuration &device, int channels)
{
    if (got.channelCount != channels || got.switchingEnabled != device.switchingEnabled
        || got.mouseSpeed != device.mouseSpeed)
        return false;
    for (int i = 0; i < channels; ++i)
        if (got.channels[i] != device.channels[i])
            return false;
    return true;
}

struct Outcome
{
    ExchangeStatus status = ExchangeStatus::Running;
    int ticks = 0;
    bool right = false;
};

Outcome readOnce(quint32 seed, double share, int channels, bool anyByte)
{
    const Configuration device = sample(seed, channels);
    Document doc;
    MemoryPort port;
    port.open(QIODevice::ReadWrite);
    Link link(doc);
    link.setPort(&port);
    SwitchEmulator emu(channels, device);
    emu.setCorruptShare(share, seed);
    emu.setCorruptHeaders(anyByte);
    link.beginExchange();
    link.state().direction = kDirectionReadout;
    link.writeLeadIn();
    link.writeHello();
    Outcome out;
    // No exchange may run longer than this; one that does counts as hanging.
    const int limit = 100000;
    for (; out.ticks < limit && out.status == ExchangeStatus::Running; ++out.ticks) {
        emu.feed(port.takeWritten());
        port.inject(emu.takeOutput());
        emu.elapse(kProtocolTickMs);
        out.status = exchangeTick(link, doc, false);
    }
    out.right = out.status == ExchangeStatus::Complete
                && sameReadout(doc.stagingConfig, device, channels);
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const auto arg = [&args](int i, const QString &fallback) {
        return args.size() > i ? args.at(i) : fallback;
    };
    const int runs = arg(1, "2000").toInt();
    const double share = arg(2, "0.5").toDouble();
    const int channels = arg(3, "4").toInt();
    const bool anyByte = arg(4, "any") != "body";
    const quint32 firstSeed = arg(5, "1").toUInt();

    int complete = 0, wrong = 0, failed = 0, noConnection = 0, hanging = 0;
    qint64 completeTicks = 0;
    int longest = 0;
    for (int run = 0; run < runs; ++run) {
        const Outcome o = readOnce(firstSeed + quint32(run), share, channels, anyByte);
        longest = qMax(longest, o.ticks);
        switch (o.status) {
        case ExchangeStatus::Complete:
            ++complete;
            completeTicks += o.ticks;
            if (!o.right)
                ++wrong;
            break;
        case ExchangeStatus::NoConnection:
            ++noConnection;
            break;
        case ExchangeStatus::Running:
            ++hanging;
            break;
        default:
            ++failed;
            break;
        }
    }
    std::printf("%d readouts of %d channels, %.0f %% of the frames damaged (%s):\n", runs, channels,
                share * 100, anyByte ? "any byte" : "payload and CRC only");
    std::printf("  complete %d (%.1f %%), of them with wrong data %d\n", complete,
                100.0 * complete / runs, wrong);
    std::printf("  failed %d, no connection %d, still running after 100000 ticks %d\n", failed,
                noConnection, hanging);
    std::printf("  mean ticks of a completed readout %.0f, longest exchange %d ticks\n",
                complete ? double(completeTicks) / complete : 0.0, longest);
    return wrong == 0 && hanging == 0 ? 0 : 1;
}
