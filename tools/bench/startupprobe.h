#pragma once

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

// Measures one start-up of a window: the time from launch to the first paint of any
// window (what the operator first sees, a start-up dialog included) and to the given
// window's first paint, the resident memory at that moment and the CPU time used while
// the program then sits idle. The launch time comes from BENCH_T0 (nanoseconds since the epoch, set
// by the caller right before exec); without it the clock starts at main().
class StartupProbe : public QObject
{
public:
    explicit StartupProbe(int idleMs)
        : m_idleMs(idleMs)
    {
        const QByteArray t0 = qgetenv("BENCH_T0");
        m_launchNs = t0.isEmpty() ? nowNs() : t0.toLongLong();
        qApp->installEventFilter(this);
    }

    // The window whose first paint ends the start-up.
    void setWindow(QWidget *window) { m_window = window; }
    bool firstWindowPainted() const { return m_firstWindowMs >= 0; }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        if (m_firstWindowMs < 0)
            m_firstWindowMs = double(nowNs() - m_launchNs) / 1e6;
        if (watched && watched == m_window && m_startupMs < 0) {
            m_startupMs = double(nowNs() - m_launchNs) / 1e6;
            m_rssKb = residentKb();
            // Let the first paint finish and the start-up settle before the idle window.
            QTimer::singleShot(500, this, [this] {
                m_idleStartCpu = cpuSeconds();
                m_idleClock.start();
                QTimer::singleShot(m_idleMs, this, [this] { report(); });
            });
        }
        return false;
    }

private:
    static qint64 nowNs() { return QDateTime::currentMSecsSinceEpoch() * 1000000LL; }

    static double cpuSeconds()
    {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
               + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }

    static long residentKb()
    {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
        return -1;
    }

    void report()
    {
        const double idleCpu = cpuSeconds() - m_idleStartCpu;
        const double idleWall = double(m_idleClock.elapsed()) / 1000.0;
        std::printf("startup_ms %.1f rss_kb %ld idle_cpu_percent %.2f first_window_ms %.1f\n",
                    m_startupMs, m_rssKb, 100.0 * idleCpu / idleWall, m_firstWindowMs);
        std::fflush(stdout);
        QCoreApplication::quit();
    }

    QWidget *m_window = nullptr;
    int m_idleMs;
    qint64 m_launchNs = 0;
    double m_firstWindowMs = -1;
    double m_startupMs = -1;
    long m_rssKb = -1;
    double m_idleStartCpu = 0;
    QElapsedTimer m_idleClock;
};

// Idle period in milliseconds from the first argument, 5 s by default.
inline int benchIdleMs(int argc, char **argv)
{
    return argc > 1 ? std::atoi(argv[1]) : 5000;
}
