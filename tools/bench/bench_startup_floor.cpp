// The floor for the start-up benchmark: a bare widgets program with a window of the main
// window's size and the same 2 ms precise timer, doing nothing on its ticks.
#include "startupprobe.h"

#include <QApplication>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(1016, 768);
    QTimer timer(&window);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &window, [] {});
    timer.start(2);

    StartupProbe probe(benchIdleMs(argc, argv));
    probe.setWindow(&window);
    window.show();
    return app.exec();
}
