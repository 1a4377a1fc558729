// Measures by hand (not run by CTest) how long `ovsctl backup` takes for several
// switches next to one `ovsctl read`, each switch an `ovsctl emulate` process of its own
// on a pseudo-terminal; then the window's room of switches, in this process, checking,
// backing up and sending to 8 switches next to 1. Goals: a backup of 8 within 1.1x one
// readout; a check or backup of 8 in the room within 1.2x one, a send to 8 within 1.2x
// one send with its restore point. The data folder is a temporary one.
//   bench_fleet [OVSCTL] [RUNS] [CHANNELS]
#include "document/ovsfile.h"
#include "link/switchroom.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
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

// Median wall time in ms of `runs` runs of one action of the room on `rows`.
double roomMs(SwitchRoom &room, const std::function<bool()> &action, SwitchRoom::Action kind,
              int runs)
{
    QList<double> walls;
    for (int run = 0; run < runs; ++run) {
        bool done = false;
        const auto connection = QObject::connect(&room, &SwitchRoom::finished,
                                                 [&](SwitchRoom::Action a) { done = a == kind; });
        QElapsedTimer t;
        t.start();
        if (!action())
            return -1;
        QEventLoop loop;
        while (!done)
            loop.processEvents(QEventLoop::WaitForMoreEvents);
        walls << t.nsecsElapsed() / 1e6;
        QObject::disconnect(connection);
        for (int i = 0; i < room.size(); ++i) {
            const SwitchJob *job = room.row(i).job.get();
            if (job && !job->succeeded()) {
                std::printf("a job of the room failed\n");
                return -1;
            }
        }
        // The quiet line after the closing frames, as between two exchanges anywhere.
        QEventLoop pause;
        QTimer::singleShot(800, &pause, &QEventLoop::quit);
        pause.exec();
    }
    std::sort(walls.begin(), walls.end());
    return walls.at(walls.size() / 2);
}

void benchRoom(const QStringList &devices, int channels, int runs, const QString &dir)
{
    SwitchRoom room;
    room.setExtraPorts(devices);
    room.start();
    QEventLoop loop;
    while ([&] {
        for (int i = 0; i < devices.size(); ++i) {
            if (room.row(i).probing || !room.row(i).probe)
                return true;
        }
        return false;
    }())
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    room.stop();
    QList<int> all;
    for (int i = 0; i < devices.size(); ++i)
        all << i;
    Configuration config;
    resetConfiguration(config);
    config.channelCount = quint8(channels);
    const QString file = QDir(dir).filePath("send.ovs");
    writeOvsFile(file, config);
    std::printf("the room of switches, in this process:\n");
    const auto report = [&](const char *what, const std::function<bool(QList<int>)> &action,
                            SwitchRoom::Action kind) {
        const double one = roomMs(
                room, [&] { return action({0}); }, kind, runs);
        const double eight = roomMs(
                room, [&] { return action(all); }, kind, runs);
        std::printf("%-8s 1 switch: %6.0f ms, %d switches: %6.0f ms = %.2f x one\n", what, one,
                    int(all.size()), eight, eight / one);
    };
    report(
            "check", [&](QList<int> rows) { return room.check(rows); }, SwitchRoom::Action::Check);
    report(
            "back up", [&](QList<int> rows) { return room.backUp(rows, dir); },
            SwitchRoom::Action::BackUp);
    report(
            "send", [&](QList<int> rows) { return room.send(rows, config, file); },
            SwitchRoom::Action::Send);
}

} // namespace

int main(int argc, char *argv[])
{
    // The journal, the restore points and what each port holds go to a folder of its own.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
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
    benchRoom(emulators.devices, channels, runs, dir.path());
    return 0;
}
