// Measures by hand (not run by CTest) what the restore point costs a write: the wall
// time and the bytes received of `ovsctl read`, `ovsctl write --no-restore-point` and
// `ovsctl write` against `ovsctl emulate --channels 8`, 7 runs each, with the
// restore points and the journal in a temporary data folder. Goal: a write with its
// restore point costs at most one readout more than one without.
#include "tracebytes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

struct Result
{
    double medianMs = 0;
    double bestMs = 0;
    double worstMs = 0;
    int bytes = 0;
};

Result run(const QString &ovsctl, const QStringList &args, const QString &trace)
{
    QList<double> walls;
    Result r;
    for (int k = 0; k < 7; ++k) {
        QElapsedTimer t;
        t.start();
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start(ovsctl, args + QStringList{"--trace", trace});
        p.waitForFinished(-1);
        const int rc = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        walls << t.nsecsElapsed() / 1e6;
        if (rc != 0)
            std::printf("  run %d of %s failed with %d\n", k, qPrintable(args.first()), rc);
        r.bytes = receivedBytesInTrace(trace);
    }
    std::sort(walls.begin(), walls.end());
    r.medianMs = walls.at(walls.size() / 2);
    r.bestMs = walls.first();
    r.worstMs = walls.last();
    return r;
}

void print(const char *what, const Result &r)
{
    std::printf("%-32s median %5.0f ms, best %5.0f ms, worst %5.0f ms, %4d bytes received\n", what,
                r.medianMs, r.bestMs, r.worstMs, r.bytes);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString ovsctl = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(OVSCTL_PATH);
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath("data")));
    QProcess emulate;
    emulate.start(ovsctl, {"emulate", "--channels", "8"});
    if (!emulate.waitForReadyRead(5000)) {
        std::printf("ovsctl emulate did not start\n");
        return 1;
    }
    const QString port = QString::fromLocal8Bit(emulate.readLine()).trimmed();
    const QString file = dir.filePath("switch.ovs");
    const QString trace = dir.filePath("trace.txt");

    const Result read = run(ovsctl, {"read", "--port", port, "--output", file}, trace);
    // The switch's own configuration goes back in, so every write sends the same.
    const Result plain
            = run(ovsctl, {"write", "--force", "--no-restore-point", "--port", port, file}, trace);
    const Result kept = run(ovsctl, {"write", "--force", "--port", port, file}, trace);
    emulate.terminate();
    emulate.waitForFinished();

    std::printf("8 channels, 7 runs each:\n");
    print("ovsctl read", read);
    print("ovsctl write --no-restore-point", plain);
    print("ovsctl write (restore point)", kept);
    // A connection's fixed part (opening delays, hello, closing) is in both writes, so
    // the restore point's share is compared with a readout's exchange alone.
    const double extraMs = kept.medianMs - plain.medianMs;
    const int extraBytes = kept.bytes - plain.bytes;
    std::printf("restore point: +%.0f ms (readout %.0f ms), +%d bytes (readout %d bytes): "
                "%.2f readouts\n",
                extraMs, read.medianMs, extraBytes, read.bytes,
                read.bytes > 0 ? double(extraBytes) / read.bytes : 0.0);
    return 0;
}
