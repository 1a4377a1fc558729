#include "app/corvanecfg.h"
#include "app/windowplacement.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>

namespace {

void setIdentity()
{
    QCoreApplication::setApplicationName(QStringLiteral("corvanecfg"));
    QCoreApplication::setApplicationVersion(QStringLiteral(OVS_VERSION));
}

QStringList rawArguments(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

} // namespace

int main(int argc, char *argv[])
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            QStringLiteral("Arranges the screens of a Vorrix switch and moves the configuration "
                           "into the switch and back over a serial cable."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption portOption(
            QStringLiteral("port"),
            QStringLiteral("Offer PATH as a serial port, at the top of the port list (for example "
                           "a pseudo-terminal of the switch emulator). May be repeated; the first "
                           "becomes the preselected port."),
            QStringLiteral("PATH"));
    parser.addOption(portOption);
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A configuration (.ovs) to open instead of "
                                                "starting a new one."),
                                 QStringLiteral("[FILE.ovs]"));

    // --help and --version answer without a display.
    if (parser.parse(rawArguments(argc, argv))
        && (parser.isSet(helpOption) || parser.isSet(versionOption))) {
        QCoreApplication core(argc, argv);
        setIdentity();
        parser.process(core); // prints and exits
        return 0;
    }

    // The menus stay in the window on every desktop. A global menu bar would take them out
    // of it, and probing for one over D-Bus costs several milliseconds of start-up.
    QApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QApplication app(argc, argv);
    setIdentity();
    QApplication::addLibraryPath(QApplication::applicationDirPath() + QStringLiteral("/plugins"));
    parser.process(app);

    const QStringList files = parser.positionalArguments();
    CorvaneCfg window(nullptr, files.isEmpty() ? QString() : files.first());
    // Setting the extra ports enumerates the system's ports again; skip it without any.
    const QStringList extraPorts = parser.values(portOption);
    if (!extraPorts.isEmpty())
        window.setExtraPorts(extraPorts);

    const QList<QScreen *> screens = QGuiApplication::screens();
    const QScreen *primary = QGuiApplication::primaryScreen();
    if (primary) {
        window.move(windowPlacement(int(screens.size()), primary->geometry(),
                                    primary->virtualGeometry(), window.size()));
    }
    window.show();
    return app.exec();
}
