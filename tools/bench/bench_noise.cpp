// Readouts and transmissions over a noisy line, in memory, by hand (not run by CTest).
// Every completed exchange is compared field by field: a readout with the switch's
// configuration, a transmission with what the switch then holds. Prints how many
// exchanges completed, failed or could not connect, and how many completed wrongly
// (must be 0).
//
//   bench_noise [runs=2000] [share=0.5] [channels=4] [any|body=any] [first seed=1]
// Readouts; the switch damages one bit of one byte in this share of the frames it
// sends. "any" lets the damage fall on every byte of a frame, "body" on payload and CRC.
//
//   bench_noise write [runs=10000] [share=0.1] [heard=0.01] [stray=0.2] [channels=8]
//                     [lose|keep=lose] [delay ms=0]
// Transmissions with noise both ways: the switch damages this share of the frames it
// sends (any byte), this share of the bytes it hears, sends a stray byte 00 after this
// share of its frames and, with "lose", loses one record write on its way in, every
// position in turn (and none, every channels + 1st run). A delay makes the switch answer
// that much late.
//
//   bench_noise slow [runs per row=125] [channels=4]
// Transmissions to a slow switch: record writes acknowledged 0.5 to 3 times the
// acknowledgement wait late, a stray byte 00 after half its frames, with and without
// falling silent after its tenth frame received, and each record write lost once in
// turn (and none). One row per latency with the share completed; none may complete
// with the switch holding anything else.
//
//   bench_noise restore [runs=200] [channels=8]
// Ticks of a readout, a transmission, and a transmission with a restore point read
// first, on a clean line: the restore point may cost at most one readout more.
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

bool sameConfiguration(const Configuration &a, const Configuration &b, int channels)
{
    if (a.switchingEnabled != b.switchingEnabled || a.mouseSpeed != b.mouseSpeed)
        return false;
    for (int i = 0; i < channels; ++i)
        if (a.channels[i] != b.channels[i])
            return false;
    return true;
}

struct Noise
{
    double frameShare = 0.0;
    bool anyByte = true;
    double heardShare = 0.0;
    double strayShare = 0.0;
    int lostRecord = -1;
    int delayMs = 0;
    int recordDelayMs = 0;
    int quietAfter = -1;
    bool restorePoint = false;
};

struct Outcome
{
    TickResult status = TickResult::Running;
    int ticks = 0;
    bool right = false;
};

Outcome exchangeOnce(quint8 direction, quint32 seed, int channels, const Noise &noise)
{
    const bool write = direction == kDirectionTransmit;
    const Configuration device = sample(seed, channels);
    Document doc;
    if (write)
        doc.currentConfig = sample(seed + 1000, channels);
    MemoryPort port;
    port.open(QIODevice::ReadWrite);
    Link link(doc);
    link.setPort(&port);
    SwitchEmulator emu(channels, device);
    SwitchEmulator::Faults faults;
    faults.corruptShare = noise.frameShare;
    faults.seed = seed;
    faults.corruptHeaders = noise.anyByte;
    faults.incomingShare = noise.heardShare;
    faults.strayShare = noise.strayShare;
    faults.lostRecords = noise.lostRecord < 0 ? 0u : 1u << (noise.lostRecord % kMaxChannels);
    faults.answerDelayMs = noise.delayMs;
    faults.recordDelayMs = noise.recordDelayMs;
    faults.quietAfter = noise.quietAfter;
    emu.setFaults(faults);
    if (noise.restorePoint)
        link.setRestorePointHook([](const Configuration &, QString *) { return true; });
    link.beginExchange();
    link.state().direction = direction;
    link.writeLeadIn();
    link.writeHello();
    Outcome out;
    // No exchange may run longer than this; one that does counts as hanging.
    const int limit = 100000;
    for (; out.ticks < limit && out.status == TickResult::Running; ++out.ticks) {
        emu.feed(port.takeWritten());
        port.inject(emu.takeOutput());
        emu.elapse(kProtocolTickMs);
        out.status = exchangeTick(link, doc, false);
    }
    if (out.status == TickResult::Complete) {
        out.right = write ? sameConfiguration(emu.configuration(), doc.currentConfig, channels)
                          : doc.stagingConfig.channelCount == channels
                                    && sameConfiguration(doc.stagingConfig, device, channels);
    }
    return out;
}

// The acknowledgement wait in milliseconds: 1001 ticks.
constexpr int kWaitMs = (kAckTimeoutTicks + 1) * kProtocolTickMs;

int slowSwitchTable(int runsPerRow, int channels)
{
    const double factors[] = {0.5, 0.9, 1.0, 1.05, 1.5, 2.0, 2.5, 3.0};
    std::printf("Transmissions of %d channels to a slow switch: stray byte after 50 %% of its "
                "frames; half of the runs fall silent after the 10th frame received; each "
                "record write lost once in turn, and none.\n",
                channels);
    std::printf("  record latency  writes  complete  (share)  failed  wrong  hanging\n");
    int total = 0, totalComplete = 0, totalWrong = 0, totalHanging = 0;
    quint32 seed = 1;
    for (double factor : factors) {
        int complete = 0, wrong = 0, failed = 0, hanging = 0;
        for (int run = 0; run < runsPerRow; ++run, ++seed) {
            Noise noise;
            noise.strayShare = 0.5;
            // A little spread, so the acknowledgement does not always land on one tick.
            noise.recordDelayMs = int(factor * kWaitMs) + run % 7 * 3;
            noise.quietAfter = run % 2 ? 10 : -1;
            noise.lostRecord = (run / 2) % (channels + 1) - 1;
            const Outcome o = exchangeOnce(kDirectionTransmit, seed, channels, noise);
            if (o.status == TickResult::Complete) {
                ++complete;
                wrong += !o.right;
            } else if (o.status == TickResult::Running) {
                ++hanging;
            } else {
                ++failed;
            }
        }
        std::printf("  %4.2f x wait     %6d  %8d  %6.1f %%  %6d  %5d  %7d\n", factor, runsPerRow,
                    complete, 100.0 * complete / runsPerRow, failed, wrong, hanging);
        total += runsPerRow;
        totalComplete += complete;
        totalWrong += wrong;
        totalHanging += hanging;
    }
    std::printf("  all             %6d  %8d  %6.1f %%          %5d  %7d\n", total, totalComplete,
                100.0 * totalComplete / total, totalWrong, totalHanging);
    return totalWrong == 0 && totalHanging == 0 ? 0 : 1;
}

int restorePointCost(int runs, int channels)
{
    qint64 ticks[3] = {};
    bool allRight = true;
    for (int run = 0; run < runs; ++run) {
        Noise noise;
        const Outcome read = exchangeOnce(kDirectionReadout, quint32(run + 1), channels, noise);
        const Outcome write = exchangeOnce(kDirectionTransmit, quint32(run + 1), channels, noise);
        noise.restorePoint = true;
        const Outcome both = exchangeOnce(kDirectionTransmit, quint32(run + 1), channels, noise);
        allRight = allRight && read.right && write.right && both.right;
        ticks[0] += read.ticks;
        ticks[1] += write.ticks;
        ticks[2] += both.ticks;
    }
    const double readout = double(ticks[0]) / runs;
    const double extra = double(ticks[2] - ticks[1]) / runs;
    std::printf("%d runs of %d channels on a clean line, mean ticks (2 ms) after the hello:\n",
                runs, channels);
    std::printf("  readout %.0f, transmission %.0f, transmission with restore point %.0f\n",
                readout, double(ticks[1]) / runs, double(ticks[2]) / runs);
    std::printf("  the restore point costs %.0f ticks = %.2f readouts\n", extra, extra / readout);
    return allRight && extra <= readout ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    if (args.size() > 1 && args.at(1) == "slow")
        return slowSwitchTable(args.value(2, "125").toInt(), args.value(3, "4").toInt());
    if (args.size() > 1 && args.at(1) == "restore")
        return restorePointCost(args.value(2, "200").toInt(), args.value(3, "8").toInt());
    const bool write = args.size() > 1 && args.at(1) == "write";
    if (write)
        args.removeAt(1);
    const auto arg = [&args](int i, const QString &fallback) {
        return args.size() > i ? args.at(i) : fallback;
    };
    const int runs = arg(1, write ? "10000" : "2000").toInt();
    Noise noise;
    noise.frameShare = arg(2, write ? "0.1" : "0.5").toDouble();
    int channels = 0;
    quint32 firstSeed = 1;
    bool loseWrites = false;
    if (write) {
        noise.heardShare = arg(3, "0.01").toDouble();
        noise.strayShare = arg(4, "0.2").toDouble();
        channels = arg(5, "8").toInt();
        loseWrites = arg(6, "lose") == "lose";
        noise.delayMs = arg(7, "0").toInt();
    } else {
        channels = arg(3, "4").toInt();
        noise.anyByte = arg(4, "any") != "body";
        firstSeed = arg(5, "1").toUInt();
    }

    int complete = 0, wrong = 0, failed = 0, noConnection = 0, hanging = 0;
    qint64 completeTicks = 0;
    int longest = 0;
    for (int run = 0; run < runs; ++run) {
        if (loseWrites)
            noise.lostRecord = run % (channels + 1) - 1;
        const Outcome o = exchangeOnce(write ? kDirectionTransmit : kDirectionReadout,
                                       firstSeed + quint32(run), channels, noise);
        longest = qMax(longest, o.ticks);
        switch (o.status) {
        case TickResult::Complete:
            ++complete;
            completeTicks += o.ticks;
            if (!o.right)
                ++wrong;
            break;
        case TickResult::NoConnection:
            ++noConnection;
            break;
        case TickResult::Running:
            ++hanging;
            break;
        default:
            ++failed;
            break;
        }
    }
    if (write) {
        std::printf("%d transmissions of %d channels; the switch damages %.1f %% of its frames "
                    "(any byte) and %.1f %% of the bytes it hears, sends a stray byte after "
                    "%.0f %% of its frames, answers %d ms late and loses one record write in %d "
                    "of %d runs:\n",
                    runs, channels, noise.frameShare * 100, noise.heardShare * 100,
                    noise.strayShare * 100, noise.delayMs, loseWrites ? channels : 0, channels + 1);
    } else {
        std::printf("%d readouts of %d channels, %.0f %% of the frames damaged (%s):\n", runs,
                    channels, noise.frameShare * 100,
                    noise.anyByte ? "any byte" : "payload and CRC only");
    }
    std::printf("  complete %d (%.1f %%), of them wrong (%s) %d\n", complete,
                100.0 * complete / runs,
                write ? "the switch does not hold the configuration" : "wrong data", wrong);
    std::printf("  failed %d, no connection %d, still running after 100000 ticks %d\n", failed,
                noConnection, hanging);
    std::printf("  mean ticks of a completed exchange %.0f, longest exchange %d ticks\n",
                complete ? double(completeTicks) / complete : 0.0, longest);
    return wrong == 0 && hanging == 0 ? 0 : 1;
}
