#include "app/corvanecfg.h"
#include "app/languagefile.h"
#include "app/mausspeed.h"
#include "app/resolution.h"
#include "document/document.h"
#include "editor/rasterwidget.h"
#include "link/devicesequence.h"
#include "link/mytablemodel.h"
#include "modalanswer.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const char kProbeArgument[] = "--probe-language";

QByteArray languageFileContent()
{
    QFile file(QStringLiteral("LANGUAGE"));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

void writeLanguageFile(const QByteArray &content)
{
    QFile file(QStringLiteral("LANGUAGE"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

// Builds a main window the way the program does, accepting the new-configuration
// dialog its constructor runs (if there is one), and delivers the language change
// that installing a translator posts.
std::unique_ptr<CorvaneCfg> makeWindow()
{
    ModalAnswer accept([](QWidget *modal) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->accept();
    });
    auto window = std::make_unique<CorvaneCfg>();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    return window;
}

QAction *action(CorvaneCfg &window, const char *name)
{
    return window.findChild<QAction *>(QLatin1String(name));
}

QString fileMenuTitle(CorvaneCfg &window)
{
    const QMenu *menu = window.findChild<QMenu *>(QStringLiteral("menuDatei"));
    return menu ? menu->title() : QString();
}

// Every text a dialog shows in labels and buttons.
QStringList shownTexts(const QWidget &dialog)
{
    QStringList texts;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        texts << label->text();
    for (const QAbstractButton *button : dialog.findChildren<QAbstractButton *>())
        texts << button->text();
    return texts;
}

// Child-process mode: start the program's window in the current directory with the
// locale of the environment and tell which language it came up in.
int probeLanguage(int argc, char **argv)
{
    QApplication app(argc, argv);
    auto window = makeWindow();
    const bool german = action(*window, "action_Deutsch")->isChecked();
    const bool english = action(*window, "action_English")->isChecked();
    std::printf("%s %s %s\n", german ? "Deutsch" : "-", english ? "English" : "-",
                qPrintable(fileMenuTitle(*window)));
    return 0;
}

} // namespace

// The interface language: the LANGUAGE file, the locale, the menu and the catalogues.
class tst_LanguageSwitch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void languageFile_data();
    void languageFile();
    void firstStartFollowsLocale_data();
    void firstStartFollowsLocale();
    void menuSwitching();
    void editorTextsFollowSwitch();
    void unwritableDirectory();
    void specialLanguageFile_data();
    void specialLanguageFile();
    void dialogsSpeakGerman();
    void savePromptButtonsSpeakGerman();

private:
    QTemporaryDir m_dir;
};

void tst_LanguageSwitch::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));
}

void tst_LanguageSwitch::init()
{
    QDir here;
    QFile::remove(QStringLiteral("LANGUAGE"));
    here.rmdir(QStringLiteral("LANGUAGE"));
    QVERIFY(!QFile::exists(QStringLiteral("LANGUAGE")));
}

// Each window removes its translators when it goes, so one test's German cannot leak
// into the next.
void tst_LanguageSwitch::cleanup()
{
    QCOMPARE(QCoreApplication::translate("CorvaneCfg", "&File"), QStringLiteral("&File"));
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

void tst_LanguageSwitch::languageFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("german");
    QTest::addColumn<QByteArray>("rewritten");

    QTest::newRow("English") << QByteArray("English") << false << QByteArray("English");
    QTest::newRow("Deutsch") << QByteArray("Deutsch") << true << QByteArray("Deutsch");
    QTest::newRow("Deutsch with line end")
            << QByteArray("Deutsch\n") << true << QByteArray("Deutsch");
    QTest::newRow("Deutsch with CR LF")
            << QByteArray("Deutsch\r\n") << true << QByteArray("Deutsch");
    QTest::newRow("second line ignored")
            << QByteArray("Deutsch\nEnglish") << true << QByteArray("Deutsch");
    QTest::newRow("lower case") << QByteArray("deutsch") << false << QByteArray("English");
    QTest::newRow("leading blank") << QByteArray(" Deutsch") << false << QByteArray("English");
    QTest::newRow("empty") << QByteArray() << false << QByteArray("English");
    QTest::newRow("other word") << QByteArray("German") << false << QByteArray("English");
}

void tst_LanguageSwitch::languageFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, german);
    QFETCH(QByteArray, rewritten);

    writeLanguageFile(content);
    auto window = makeWindow();

    QCOMPARE(action(*window, "action_Deutsch")->isChecked(), german);
    QCOMPARE(action(*window, "action_English")->isChecked(), !german);
    QCOMPARE(fileMenuTitle(*window), german ? QStringLiteral("&Datei") : QStringLiteral("&File"));
    QCOMPARE(languageFileContent(), rewritten);
}

void tst_LanguageSwitch::firstStartFollowsLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("unreadableFile");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray german("Deutsch - &Datei");
    const QByteArray english("- English &File");
    QTest::newRow("de_DE") << "de_DE.UTF-8" << false << german;
    QTest::newRow("de_CH") << "de_CH.UTF-8" << false << german;
    QTest::newRow("en_US") << "en_US.UTF-8" << false << english;
    QTest::newRow("fr_FR") << "fr_FR.UTF-8" << false << english;
    QTest::newRow("C") << "C" << false << english;
    // A file that cannot be read counts as absent, not as empty.
    QTest::newRow("de_DE, unreadable file") << "de_DE.UTF-8" << true << german;
}

// The system locale is read from the environment when the application starts, so
// each locale gets a fresh process of this test binary.
void tst_LanguageSwitch::firstStartFollowsLocale()
{
    QFETCH(QString, locale);
    QFETCH(bool, unreadableFile);
    QFETCH(QByteArray, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (unreadableFile)
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("LANGUAGE")));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LANG"), locale);
    env.insert(QStringLiteral("LC_ALL"), locale);
    env.remove(QStringLiteral("LC_MESSAGES"));
    env.remove(QStringLiteral("LANGUAGE"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    QProcess probe;
    probe.setProcessEnvironment(env);
    probe.setWorkingDirectory(dir.path());
    probe.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kProbeArgument)});
    QVERIFY(probe.waitForFinished(60000));
    QCOMPARE(probe.exitCode(), 0);
    QCOMPARE(probe.readAllStandardOutput().trimmed(), expected);

    if (unreadableFile)
        return; // still a directory: nothing could be written
    QFile file(dir.filePath(QStringLiteral("LANGUAGE")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
             expected.startsWith("Deutsch") ? QByteArray("Deutsch") : QByteArray("English"));
}

void tst_LanguageSwitch::menuSwitching()
{
    writeLanguageFile("English");
    auto window = makeWindow();
    QAction *english = action(*window, "action_English");
    QAction *deutsch = action(*window, "action_Deutsch");
    QAction *mouse = action(*window, "action_Maus_speed");
    const QString title = window->windowTitle();
    const QString boxTitle = window->messageBox.windowTitle();

    deutsch->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QVERIFY(deutsch->isChecked());
    QVERIFY(!english->isChecked());
    QCOMPARE(fileMenuTitle(*window), QStringLiteral("&Datei"));
    QCOMPARE(mouse->toolTip(), QStringLiteral("Mausgeschwindigkeit"));
    QCOMPARE(window->windowTitle(), title);
    QCOMPARE(window->messageBox.windowTitle(), boxTitle);
    QCOMPARE(languageFileContent(), QByteArray("Deutsch"));

    // Picking the checked entry again keeps it checked and touches nothing, not even
    // the file.
    QVERIFY(QFile::remove(QStringLiteral("LANGUAGE")));
    deutsch->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QVERIFY(deutsch->isChecked());
    QVERIFY(!english->isChecked());
    QCOMPARE(fileMenuTitle(*window), QStringLiteral("&Datei"));
    QVERIFY(!QFile::exists(QStringLiteral("LANGUAGE")));

    english->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QVERIFY(english->isChecked());
    QVERIFY(!deutsch->isChecked());
    QCOMPARE(fileMenuTitle(*window), QStringLiteral("&File"));
    QCOMPARE(mouse->toolTip(), QStringLiteral("Mouse speed"));
    QCOMPARE(languageFileContent(), QByteArray("English"));

    english->trigger();
    QVERIFY(english->isChecked());
    QVERIFY(!deutsch->isChecked());
}

// The channel names on the tiles and in the list are set by the editor, outside the
// main window's own retranslation.
void tst_LanguageSwitch::editorTextsFollowSwitch()
{
    writeLanguageFile("English");
    auto window = makeWindow();
    window->document().currentConfig.channelCount = 4;
    window->document().currentConfig.channels[0] = ChannelEntry{1, 0, 0, 2, 2, 0, 0};
    window->rasterWidget()->rebuildFromConfig();
    // Made in English, undone in German: the Edit menu names the step in German.
    Configuration placed = window->document().currentConfig;
    for (int i : {2, 3})
        placed.channels[i] = ChannelEntry{1, quint8(2 * i), 0, quint8(2 * i + 2), 2, 0, 0};
    QVERIFY(window->documentChanges().apply(placed, DocumentChanges::placeText({2, 3})));
    window->setExtraPorts({QStringLiteral("/dev/pts/99")});

    action(*window, "action_Deutsch")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);

    QCOMPARE(action(*window, "actionUndo")->text(),
             QStringLiteral("2 Bildschirme platzieren rückgängig machen"));
    // The ports named on the command line say so in German too.
    const MyTableModel &ports = window->deviceSequence().portModel();
    QCOMPARE(ports.index(0, 1).data().toString(), QStringLiteral("Befehlszeile (/dev/pts/99)"));

    QStringList tileLabels;
    for (const QLabel *label : window->rasterWidget()->findChildren<QLabel *>())
        tileLabels << label->text();
    QVERIFY2(tileLabels.contains(QStringLiteral("Kanal 1")), qPrintable(tileLabels.join('|')));
    QVERIFY2(!tileLabels.contains(QStringLiteral("Channel 1")), qPrintable(tileLabels.join('|')));

    const auto *list = window->findChild<QListView *>(QStringLiteral("listView"));
    QVERIFY(list && list->model() && list->model()->rowCount() > 0);
    QCOMPARE(list->model()->index(0, 0).data().toString(), QStringLiteral("Kanal 2"));
}

// Root can write anywhere, so the file is made impossible to open by putting a
// directory in its place.
void tst_LanguageSwitch::unwritableDirectory()
{
    QVERIFY(QDir().mkdir(QStringLiteral("LANGUAGE")));
    auto window = makeWindow();
    QVERIFY(action(*window, "action_English")->isChecked()); // the tests run under C

    ModalAnswer anyMessage([](QWidget *modal) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
    });
    action(*window, "action_Deutsch")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCoreApplication::processEvents();

    QCOMPARE(fileMenuTitle(*window), QStringLiteral("&Datei"));
    QVERIFY(!anyMessage.answered());
    QVERIFY(!window->messageBox.isVisible());
    QVERIFY(QFileInfo(QStringLiteral("LANGUAGE")).isDir());
}

void tst_LanguageSwitch::specialLanguageFile_data()
{
    QTest::addColumn<mode_t>("targetType"); // what LANGUAGE is or links to, 0 for nothing
    QTest::addColumn<bool>("viaLink");
    QTest::addColumn<QByteArray>("content"); // of a regular file
    QTest::addColumn<QByteArray>("word");    // read from it, "" for nothing readable

    QTest::newRow("FIFO") << mode_t(S_IFIFO) << false << QByteArray() << QByteArray();
    QTest::newRow("socket") << mode_t(S_IFSOCK) << false << QByteArray() << QByteArray();
    QTest::newRow("link to a file")
            << mode_t(S_IFREG) << true << QByteArray("precious\n") << QByteArray("precious");
    QTest::newRow("link to a file holding Deutsch")
            << mode_t(S_IFREG) << true << QByteArray("Deutsch\r\n") << QByteArray("Deutsch");
    QTest::newRow("dangling link") << mode_t(0) << true << QByteArray() << QByteArray();
    QTest::newRow("link to a device node")
            << mode_t(S_IFCHR) << true << QByteArray() << QByteArray();
    // As Notepad saves it.
    const QByteArray bom("\xEF\xBB\xBF");
    QTest::newRow("Deutsch after a byte order mark")
            << mode_t(S_IFREG) << false << bom + "Deutsch\r\n"
            << QByteArray("Deutsch");
}

// Anyone who can write to the working folder can plant these. Start-up must neither block
// nor read without end; a link is read through but never written through nor replaced,
// and what is neither a file nor a link is left as it is.
void tst_LanguageSwitch::specialLanguageFile()
{
    QFETCH(mode_t, targetType);
    QFETCH(bool, viaLink);
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, word);
    const bool german = word == "Deutsch";

    QTemporaryDir elsewhere;
    const QString target
            = viaLink ? elsewhere.filePath(QStringLiteral("victim")) : QStringLiteral("LANGUAGE");
    const QByteArray targetName = QFile::encodeName(target);
    switch (targetType) {
    case S_IFIFO:
        QCOMPARE(::mkfifo(targetName.constData(), 0600), 0);
        break;
    case S_IFREG: {
        QFile victim(target);
        QVERIFY(victim.open(QIODevice::WriteOnly));
        QCOMPARE(victim.write(content), content.size());
        break;
    }
    case S_IFSOCK: {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        qstrncpy(address.sun_path, targetName.constData(), sizeof address.sun_path);
        const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        ::close(fd);
        QVERIFY(bound);
        break;
    }
    case S_IFCHR:
        // A private twin of /dev/zero, so a faulty save can only replace the test's own node.
        if (::mknod(targetName.constData(), S_IFCHR | 0600, makedev(1, 5)) != 0)
            QSKIP("Making a device node needs root.");
        break;
    }
    if (viaLink)
        QVERIFY(QFile::link(target, QStringLiteral("LANGUAGE")));

    // A start-up that blocks or reads without end kills the test here instead of hanging it.
    ::alarm(20);
    QByteArray read;
    QCOMPARE(readLanguageWord(QStringLiteral("LANGUAGE"), read) ? read : QByteArray(), word);
    auto window = makeWindow();
    ::alarm(0);

    // Without a word to read, the locale decides: the tests run under C.
    QCOMPARE(action(*window, "action_Deutsch")->isChecked(), german);
    QCOMPARE(action(*window, "action_English")->isChecked(), !german);
    struct stat st;
    QCOMPARE(::lstat("LANGUAGE", &st), 0);
    QCOMPARE(mode_t(st.st_mode & S_IFMT), viaLink ? mode_t(S_IFLNK) : targetType);
    if (!viaLink) {
        // A regular file is ours: it is rewritten as the plain word.
        if (targetType == S_IFREG)
            QCOMPARE(languageFileContent(), QByteArray(german ? "Deutsch" : "English"));
        return;
    }
    const bool targetExists = ::lstat(targetName.constData(), &st) == 0;
    QCOMPARE(targetExists ? mode_t(st.st_mode & S_IFMT) : mode_t(0), targetType);
    if (targetType == S_IFREG) {
        QFile victim(target);
        QVERIFY(victim.open(QIODevice::ReadOnly));
        QCOMPARE(victim.readAll(), content);
    }
}

void tst_LanguageSwitch::dialogsSpeakGerman()
{
    writeLanguageFile("Deutsch");
    auto window = makeWindow();

    MausSpeed mouse;
    QCOMPARE(mouse.windowTitle(), QStringLiteral("Mausgeschwindigkeit"));
    const QStringList mouseTexts = shownTexts(mouse);
    QVERIFY2(mouseTexts.contains(QStringLiteral("langsam")), qPrintable(mouseTexts.join('|')));
    QVERIFY2(mouseTexts.contains(QStringLiteral("schnell")), qPrintable(mouseTexts.join('|')));
    QVERIFY2(mouseTexts.contains(QString::fromUtf8("&Übernehmen")),
             qPrintable(mouseTexts.join('|')));

    Resolution resolution;
    QCOMPARE(resolution.windowTitle(), QString::fromUtf8("Setzen der Auflösung"));
    const QStringList resolutionTexts = shownTexts(resolution);
    QVERIFY2(resolutionTexts.contains(QString::fromUtf8("&Übernehmen")),
             qPrintable(resolutionTexts.join('|')));
    QVERIFY2(resolutionTexts.contains(QStringLiteral("&Abbrechen")),
             qPrintable(resolutionTexts.join('|')));
}

// The standard buttons come from the toolkit's catalogue, not from ours.
void tst_LanguageSwitch::savePromptButtonsSpeakGerman()
{
    writeLanguageFile("Deutsch");
    auto window = makeWindow();
    window->document().modified = true;

    QStringList buttons;
    ModalAnswer cancel([&buttons](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box)
            return;
        for (const QAbstractButton *button : box->buttons())
            buttons << button->text().remove(QLatin1Char('&'));
        box->button(QMessageBox::Cancel)->click();
    });
    QVERIFY(!window->askToSave());
    QVERIFY(cancel.answered());
    QVERIFY2(buttons.contains(QStringLiteral("Abbrechen")), qPrintable(buttons.join('|')));
    QVERIFY2(buttons.contains(QStringLiteral("Speichern")), qPrintable(buttons.join('|')));

    window->document().modified = false;
}

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], kProbeArgument) == 0)
        return probeLanguage(argc, argv);

    QApplication app(argc, argv);
    tst_LanguageSwitch test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_languageswitch.moc"
