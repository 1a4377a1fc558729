// Soak of the device link in the main window: alternating readouts and transmissions
// against an 8-channel switch emulator on a pseudo-terminal, each cycle waiting for
// the delayed port close before the next. Checks every result, counts failures and
// prints resident memory and CPU time as it goes. Run by hand:
//   QT_QPA_PLATFORM=offscreen soak_gui [cycles of each kind, default 200]
#include "app/corvanecfg.h"
#include "link/comport.h"
#include "link/devicesequence.h"
#include "link/switchemulator.h"
#include "rununtil.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

// Confirms every modal dialog that shows up (the start-up dialog, the port dialog,
// message boxes) and keeps the texts of the message boxes it confirmed.
class DialogConfirmer
{
public:
    DialogConfirmer()
    {
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }

    QStringList takeMessages() { return std::exchange(m_messages, {}); }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            m_messages << box->text();
            if (QAbstractButton *ok = box->button(QMessageBox::Ok))
                ok->click();
            else
                box->reject();
        } else if (qobject_cast<comPort *>(modal)) {
            modal->findChild<QPushButton *>("pushButtonOk")->click();
        } else if (modal->objectName() == QLatin1String("KeepDialog")) {
            modal->findChild<QPushButton *>("keepButton")->click();
        } else if (auto *ok = modal->findChild<QPushButton *>("pushOk")) {
            ok->click();
        } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            m_messages << QStringLiteral("unexpected dialog ") + modal->metaObject()->className();
            dialog->reject();
        }
    }

    QTimer m_timer;
    QStringList m_messages;
};

// A full 8-channel set-up that differs from cycle to cycle in every field the link
// carries, so a stale or partly written configuration cannot pass the check.
Configuration variant(int seed)
{
    Configuration c;
    resetConfiguration(c);
    c.channelCount = kMaxChannels;
    c.deviceChannels = kMaxChannels;
    c.switchingEnabled = quint8(seed % 2);
    c.mouseSpeed = quint8(1 + seed % 10);
    const int row = seed % 200;
    for (int i = 0; i < kMaxChannels; ++i) {
        const bool placed = (seed + i) % 3 != 0;
        if (placed) {
            c.channels[i] = ChannelEntry{1,
                                         quint8(3 * i),
                                         quint8(row),
                                         quint8(3 * i + 2 + seed % 2),
                                         quint8(row + 2),
                                         quint16(640 + seed + i),
                                         quint16(480 + 7 * i + seed % 97)};
        } else {
            c.channels[i] = ChannelEntry{0, 0, 0, 0, 0, quint16(seed % 50), 0};
        }
    }
    return c;
}

// What a transmission writes: everything but the channel count the switch reports.
bool sameWrittenFields(const Configuration &a, const Configuration &b)
{
    if (a.switchingEnabled != b.switchingEnabled || a.mouseSpeed != b.mouseSpeed)
        return false;
    for (int i = 0; i < kMaxChannels; ++i) {
        if (a.channels[i] != b.channels[i])
            return false;
    }
    return true;
}

qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int pairs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 200;
    QTextStream out(stdout);

    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        return 1;
    // Restore points and the journal stay in the run's own folder.
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path()));

    SwitchEmulator emulator(kMaxChannels, variant(0));
    if (!emulator.startOnPty()) {
        out << "no pseudo-terminal\n";
        return 1;
    }
    int closingFrames = 0;
    QObject::connect(&emulator, &SwitchEmulator::closingReceived, [&] { ++closingFrames; });

    DialogConfirmer confirmer;
    CorvaneCfg window;
    window.setExtraPorts({emulator.devicePath()});
    window.document().currentConfig = variant(1);
    DeviceSequence &sequence = window.deviceSequence();
    auto *readout = window.findChild<QAction *>("actionReadout");
    auto *transmit = window.findChild<QAction *>("actionTransmit");

    QElapsedTimer wall;
    wall.start();
    const auto report = [&](const QString &when) {
        out << QStringLiteral("%1: VmRSS %2 KiB, CPU %3 s, wall %4 s")
                        .arg(when, -16)
                        .arg(residentKiB())
                        .arg(cpuSeconds(), 0, 'f', 2)
                        .arg(double(wall.elapsed()) / 1000.0, 0, 'f', 1)
            << Qt::endl;
    };
    report(QStringLiteral("start"));

    int failures = 0;
    const auto fail = [&](int cycle, const QString &why) {
        ++failures;
        out << "cycle " << cycle << " failed: " << why << Qt::endl;
    };

    const int cycles = 2 * pairs;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        const bool isReadout = cycle % 2 == 0;
        // The harness's own log of received frames would otherwise grow with the run.
        emulator.clearLog();
        confirmer.takeMessages();
        const int closingBefore = closingFrames;

        Configuration expected = variant(2 * cycle + 2);
        if (isReadout) {
            emulator.setConfiguration(expected);
            readout->trigger();
        } else {
            window.document().currentConfig = expected;
            transmit->setEnabled(true); // enabled by the readout before; this keeps it so
            transmit->trigger();
        }

        const bool idle = runUntil(
                [&] { return !sequence.connectionInProgress() && !sequence.serialPort().isOpen(); },
                30000);
        if (!idle) {
            fail(cycle, QStringLiteral("still busy after 30 s"));
            runUntil([&] { return !sequence.serialPort().isOpen(); }, 5000);
        }

        const QStringList messages = confirmer.takeMessages();
        const QStringList wanted
                = isReadout ? QStringList{} : QStringList{QStringLiteral("Transmission complete!")};
        if (messages != wanted)
            fail(cycle, QStringLiteral("messages: ") + messages.join(QStringLiteral(" | ")));
        if (closingFrames != closingBefore + 1)
            fail(cycle, QStringLiteral("%1 closing frames").arg(closingFrames - closingBefore));
        if (emulator.helloCount() != 1)
            fail(cycle, QStringLiteral("%1 hellos").arg(emulator.helloCount()));

        if (isReadout) {
            // The count the switch reports is what a readout stores as well.
            if (window.document().currentConfig != expected)
                fail(cycle, QStringLiteral("readout did not deliver the switch's configuration"));
            if (window.windowTitle() != QStringLiteral("Vorrix 8"))
                fail(cycle, QStringLiteral("title ") + window.windowTitle());
        } else {
            if (!sameWrittenFields(emulator.configuration(), expected))
                fail(cycle, QStringLiteral("switch does not hold the window's configuration"));
            if (window.document().currentConfig != expected)
                fail(cycle, QStringLiteral("transmission changed the window's configuration"));
        }
        if (window.cursor().shape() != Qt::ArrowCursor)
            fail(cycle, QStringLiteral("cursor left at %1").arg(window.cursor().shape()));

        if ((cycle + 1) % 50 == 0 && cycle + 1 < cycles)
            report(QStringLiteral("after %1 cycles").arg(cycle + 1));
    }

    report(QStringLiteral("end (%1 cycles)").arg(cycles));
    out << pairs << " readouts and " << pairs << " transmissions, " << failures << " failures\n";
    return failures == 0 ? 0 : 1;
}
