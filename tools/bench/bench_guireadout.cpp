// Time of an 8-channel readout in the main window, from OK in the port dialog until
// the configuration is in the window, against the switch emulator on a
// pseudo-terminal. Run by hand: bench_guireadout [runs]
#include "app/corvanecfg.h"
#include "link/comport.h"
#include "link/devicesequence.h"
#include "link/switchemulator.h"
#include "rununtil.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace {

// Presses OK in whatever modal dialog shows up (the start-up dialog, the port dialog).
class OkPresser
{
public:
    explicit OkPresser(std::function<void()> onPortOk)
        : m_onPortOk(std::move(onPortOk))
    {
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (qobject_cast<comPort *>(modal)) {
            m_onPortOk();
            modal->findChild<QPushButton *>("pushButtonOk")->click();
        } else if (auto *ok = modal->findChild<QPushButton *>("pushOk")) {
            ok->click();
        }
    }

    QTimer m_timer;
    std::function<void()> m_onPortOk;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;
    QTextStream out(stdout);

    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        return 1;
    // Restore points and the journal stay in the run's own folder.
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path()));

    Configuration config;
    resetConfiguration(config);
    for (int i = 0; i < kMaxChannels; ++i)
        config.channels[i] = ChannelEntry{1, quint8(2 * i), 0, quint8(2 * i + 2), 2, 1920, 1080};
    SwitchEmulator emulator(8, config);
    if (!emulator.startOnPty()) {
        out << "no pseudo-terminal\n";
        return 1;
    }

    QElapsedTimer clock;
    OkPresser presser([&clock] { clock.start(); });
    CorvaneCfg window;
    window.setExtraPorts({emulator.devicePath()});

    QList<qint64> toData;
    QList<qint64> toClosed;
    for (int run = 0; run < runs; ++run) {
        // A 4-channel configuration is loaded, as when a switch is first read.
        window.document().currentConfig.channelCount = 4;
        qint64 dataAt = -1;
        const QMetaObject::Connection c = QObject::connect(&window, &QWidget::windowTitleChanged,
                                                           [&] { dataAt = clock.elapsed(); });
        QTimer::singleShot(0, &window,
                           [&window] { window.findChild<QAction *>("actionReadout")->trigger(); });
        const bool ok = runUntil(
                [&] {
                    DeviceSequence &sequence = window.deviceSequence();
                    return dataAt >= 0 && !sequence.connectionInProgress()
                           && !sequence.serialPort().isOpen();
                },
                20000, 1);
        QObject::disconnect(c);
        if (!ok || window.document().currentConfig.channelCount != 8) {
            out << "run " << run << " failed\n";
            return 1;
        }
        toData << dataAt;
        toClosed << clock.elapsed();
        window.setWindowTitle(QString());
    }

    const auto report = [&out](const char *what, QList<qint64> ms) {
        std::sort(ms.begin(), ms.end());
        out << what << ": min " << ms.first() << " ms, median " << ms.at(ms.size() / 2)
            << " ms, max " << ms.last() << " ms\n";
    };
    out << runs << " readouts of an 8-channel switch, from OK in the port dialog\n";
    report("until the configuration is in the window", toData);
    report("until the port is closed (includes the 750 ms delayed close)", toClosed);
    return 0;
}
