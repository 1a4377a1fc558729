// Measures by hand (not run by CTest) how long `ovsctl backup` takes for several
// switches next to one `ovsctl read`, each switch an `ovsctl emulate` process of its own
// on a pseudo-terminal. Goal: 3 switches within 1.5x one readout, 8 within 2x.
//   bench_fleet [OVSCTL] [RUNS] [CHANNELS]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct Emulators
{
    std::vector<std::unique_ptr<QProcess>> processes;
    QStringList devices;

    bool start(const QString &ovsctl, int count, int channels)
    {
        for (int i = 0; i < count; ++i) {
            auto p = std::make_unique<QProcess>();
            p->start(ovsctl, {"emulate", "--channels", QString::number(channels)});
            if (!p->waitForReadyRead(5000))
                return false;
            devices << QString::fromLocal8Bit(p->readLine()).trimmed();
            processes.push_back(std::move(p));
        }
        return true;
    }

    ~Emulators()
    {
        for (auto &p : processes) {
            p->terminate();
            p->waitForFinished(3000);
        }
    }
};

// Median wall time in ms of `runs` runs of ovsctl with these arguments; -1 on a failure.
double medianMs(const QString &ovsctl, const QStringList &args, int runs)
{
    QList<double> walls;
    for (int run = 0; run < runs; ++run) {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer t;
        t.start();
        p.start(ovsctl, args);
        p.waitForFinished(60000);
        walls << t.nsecsElapsed() / 1e6;
        const int rc = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        if (rc != 0) {
            std::printf("ovsctl %s failed with %d\n", qPrintable(args.join(' ')), rc);
            return -1;
        }
    }
    std::sort(walls.begin(), walls.end());
    return walls.at(walls.size() / 2);
}

QStringList backupArgs(const QString &dir, const QStringList &devices, int count)
{
    QStringList args{"backup", "--dir", dir};
    for (int i = 0; i < count; ++i)
        args << "--port" << devices.at(i);
    return args;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString ovsctl = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(OVSCTL_PATH);
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 7;
    const int channels = argc > 3 ? atoi(argv[3]) : 8;
    Emulators emulators;
    if (!emulators.start(ovsctl, 8, channels)) {
        std::printf("ovsctl emulate did not start\n");
        return 1;
    }
    QTemporaryDir dir;
    const double one = medianMs(
            ovsctl,
            {"read", "--port", emulators.devices.first(), "--output", dir.filePath("one.ovs")},
            runs);
    std::printf("%d-channel switches, median of %d runs\n", channels, runs);
    std::printf("read, 1 switch:     %7.0f ms\n", one);
    for (int count : {1, 3, 8}) {
        const double ms = medianMs(ovsctl, backupArgs(dir.path(), emulators.devices, count), runs);
        std::printf("backup, %d switches: %7.0f ms = %.2f x one readout\n", count, ms, ms / one);
    }
    return 0;
}
