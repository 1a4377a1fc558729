#include "app/corvanecfg.h"
#include "app/windowplacement.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QStandardPaths>

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

// Makes a folder of the user's own the working folder, creating it when needed, so that
// a program installed where users may not write still keeps its language file:
// %LOCALAPPDATA%\Orvanel Switching Config Tool on Windows, ~/.local/share/Orvanel
// Switching Config Tool on Linux.
void enterUserFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString folder = base + QStringLiteral("/Orvanel Switching Config Tool");
    if (base.isEmpty() || !QDir().mkpath(folder) || !QDir::setCurrent(folder)) {
        qWarning("Cannot work in %s; the language file stays in %s", qPrintable(folder),
                 qPrintable(QDir::currentPath()));
    }
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
    const QCommandLineOption userFolderOption(
            QStringLiteral("user-folder"),
            QStringLiteral("Work in a folder of the user's own, created when needed, and keep the "
                           "LANGUAGE file there: %LOCALAPPDATA%\\Orvanel Switching Config Tool "
                           "on Windows, ~/.local/share/Orvanel Switching Config Tool on Linux. "
                           "The Start-menu entry of the MSI package uses it."));
    parser.addOption(userFolderOption);
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

    QStringList files = parser.positionalArguments();
    if (parser.isSet(userFolderOption)) {
        // A file named relative to the folder the program started in stays that file.
        for (QString &file : files)
            file = QFileInfo(file).absoluteFilePath();
        enterUserFolder();
    }
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
