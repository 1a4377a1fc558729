// Start-up of the real main window, built as the program's entry point builds it, with
// the start-up dialog accepted as soon as it has been painted. Compare with bench_startup_floor.
#include "app/corvanecfg.h"
#include "app/windowplacement.h"
#include "startupprobe.h"

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication::setAttribute(Qt::AA_DontUseNativeMenuBar); // as the entry point does
    QApplication app(argc, argv);
    QApplication::addLibraryPath(QApplication::applicationDirPath() + QStringLiteral("/plugins"));

    StartupProbe probe(benchIdleMs(argc, argv));

    // Polls until the start-up dialog is on screen, then accepts it.
    QTimer acceptStartupDialog;
    acceptStartupDialog.setInterval(0);
    QObject::connect(&acceptStartupDialog, &QTimer::timeout, [&acceptStartupDialog, &probe] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !probe.firstWindowPainted())
            return;
        acceptStartupDialog.stop();
        if (auto *ok = modal->findChild<QPushButton *>(QStringLiteral("pushOk")))
            ok->click();
        else if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->accept();
    });
    acceptStartupDialog.start();

    CorvaneCfg window;
    acceptStartupDialog.stop();
    probe.setWindow(&window);

    const QScreen *primary = QGuiApplication::primaryScreen();
    if (primary) {
        window.move(windowPlacement(int(QGuiApplication::screens().size()), primary->geometry(),
                                    primary->virtualGeometry(), window.size()));
    }
    window.show();
    return app.exec();
}
