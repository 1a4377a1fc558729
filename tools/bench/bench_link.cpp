// Measures the link by hand (not run by CTest):
//  1. the cost of an idle protocol tick (goal: below 1 us),
//  2. a full simulated 8-channel readout in memory,
//  3. the wall time of `ovsctl read` against `ovsctl emulate --channels 8`, next to
//     the floor the pacing allows: received bytes x 2 ms + 200 ms of connection delays.
#include "tracebytes.h"

#include "document/document.h"
#include "link/exchangedriver.h"
#include "link/link.h"
#include "link/linkconnection.h"
#include "link/memoryport.h"
#include "link/switchemulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

double idleTickNs(QIODevice &port, int ticks)
{
    Document doc;
    Link link(doc);
    link.setPort(&port);
    link.beginExchange();
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < ticks; ++i) {
        link.pollOneByte();
        link.linkTick();
    }
    return double(t.nsecsElapsed()) / ticks;
}

void benchIdleTick()
{
    MemoryPort memory;
    memory.open(QIODevice::ReadWrite);
    std::printf("idle tick, in-memory port:        %8.1f ns\n", idleTickNs(memory, 10'000'000));

    // The connection's own tick on a port whose switch has not been greeted yet.
    SwitchEmulator emu(8);
    if (!emu.startOnPty())
        return;
    Document doc;
    LinkConnection connection(doc);
    LinkConnection::Request request;
    request.port = emu.devicePath();
    connection.start(request);
    if (connection.stage() != LinkConnection::Stage::Opening)
        return;
    constexpr int kTicks = 2'000'000;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < kTicks; ++i)
        connection.tick();
    std::printf("idle tick, connection on a pty:   %8.1f ns\n", double(t.nsecsElapsed()) / kTicks);
    connection.closeNow();
}

void benchReadout()
{
    const int runs = 2000;
    int ticks = 0;
    qint64 received = 0;
    QElapsedTimer t;
    t.start();
    for (int run = 0; run < runs; ++run) {
        Document doc;
        MemoryPort port;
        port.open(QIODevice::ReadWrite);
        Link link(doc);
        link.setPort(&port);
        SwitchEmulator emu(8);
        link.beginExchange();
        link.writeLeadIn();
        link.writeHello();
        ticks = 0;
        for (TickResult s = TickResult::Running; s == TickResult::Running; ++ticks) {
            emu.feed(port.takeWritten());
            const QByteArray answer = emu.takeOutput();
            received += answer.size();
            port.inject(answer);
            s = exchangeTick(link, doc, false);
        }
    }
    const double us = t.nsecsElapsed() / 1e3 / runs;
    std::printf("8-channel readout in memory:      %8.1f us CPU per readout, %d ticks, %lld "
                "bytes received (%.0f ms of line time at 2 ms per byte)\n",
                us, ticks, received / runs, received / runs * 2.0);
}

void benchOvsctl(const QString &ovsctl)
{
    QProcess emulate;
    emulate.start(ovsctl, {"emulate", "--channels", "8"});
    if (!emulate.waitForReadyRead(5000)) {
        std::printf("ovsctl emulate did not start\n");
        return;
    }
    const QString device = QString::fromLocal8Bit(emulate.readLine()).trimmed();
    QTemporaryDir dir;
    QList<double> walls;
    int bytes = 0;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer t;
        t.start();
        const int rc = QProcess::execute(ovsctl, {"read", "--port", device, "--output",
                                                  dir.filePath("r.ovs"), "--trace",
                                                  dir.filePath("trace.txt")});
        walls << t.nsecsElapsed() / 1e6;
        if (rc != 0)
            std::printf("run %d failed with %d\n", run, rc);
        bytes = receivedBytesInTrace(dir.filePath("trace.txt"));
    }
    emulate.terminate();
    emulate.waitForFinished();
    std::sort(walls.begin(), walls.end());
    const double floorMs = bytes * 2.0 + 200.0;
    const double median = walls.at(walls.size() / 2);
    std::printf("ovsctl read, 8 channels (7 runs): median %.0f ms, best %.0f ms, worst %.0f ms\n",
                median, walls.first(), walls.last());
    std::printf("floor: %d bytes x 2 ms + 200 ms = %.0f ms; median/floor = %.3f\n", bytes, floorMs,
                median / floorMs);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    benchIdleTick();
    benchReadout();
    benchOvsctl(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(OVSCTL_PATH));
    return 0;
}
