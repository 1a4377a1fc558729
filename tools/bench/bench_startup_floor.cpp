// The floor for the start-up benchmark: a bare widgets program with a window of the main
// window's size and the same 2 ms precise timer, doing nothing on its ticks. With
// BENCH_FLOOR_TEXT=1 the window shows one line of text, so the floor also pays the
// one-time font database set-up that every window with text pays.
#include "startupprobe.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(1016, 768);
    if (qEnvironmentVariableIntValue("BENCH_FLOOR_TEXT") == 1)
        window.setCentralWidget(new QLabel(QStringLiteral("Orvanel Switching Config Tool")));
    QTimer timer(&window);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &window, [] {});
    timer.start(2);

    StartupProbe probe(benchIdleMs(argc, argv));
    probe.setWindow(&window);
    window.show();
    return app.exec();
}
