#include "app/corvanecfg.h"
#include "dialogscript.h"
#include "document/ovsfile.h"
#include "editor/listmodel.h"
#include "editor/rasterwidget.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QAction *action(CorvaneCfg &w, const char *name)
{
    return w.findChild<QAction *>(QLatin1String(name));
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList ovsFiles(const QString &dir)
{
    return QDir(dir).entryList({QStringLiteral("*.ovs*")}, QDir::Files | QDir::Hidden);
}

// A configuration with every channel in range placed side by side, with resolutions on
// the even channels.
Configuration sampleConfig(int channels)
{
    Configuration c;
    resetConfiguration(c);
    c.channelCount = quint8(channels);
    c.switchingEnabled = 0;
    c.mouseSpeed = 9;
    for (int i = 0; i < qMin(channels, kMaxChannels); ++i) {
        ChannelEntry &e = c.channels[i];
        e.placed = 1;
        e.left = quint8(2 * i);
        e.top = quint8(i % 2);
        e.right = quint8(2 * i + 2);
        e.bottom = quint8(i % 2 + 2);
        e.resolutionX = quint16(i % 2 == 0 ? 1920 + i : 1280);
        e.resolutionY = quint16(i % 2 == 0 ? 1080 : 1024);
    }
    return c;
}

// Lowers the file size limit of this process for as long as it lives, as a full disk
// would: writes past the limit fail with EFBIG instead of killing the process.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = m_saved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

// What a failed command must leave as it was.
struct Snapshot
{
    QString title;
    QString fileName;
    bool modified = false;
    Configuration config;
    bool saveEnabled = false;
    bool transmitEnabled = false;
    bool switchingChecked = false;
    int unplacedRows = 0;
    QImage canvas;

    static Snapshot of(CorvaneCfg &w)
    {
        Snapshot s;
        s.title = w.windowTitle();
        s.fileName = w.document().fileName;
        s.modified = w.document().modified;
        s.config = w.document().currentConfig;
        s.saveEnabled = action(w, "action_Save")->isEnabled();
        s.transmitEnabled = action(w, "actionTransmit")->isEnabled();
        s.switchingChecked
                = w.findChild<QCheckBox *>(QStringLiteral("checkBoxEnabled"))->isChecked();
        s.unplacedRows = w.listModel().rowCount();
        s.canvas = w.rasterWidget()->grab().toImage();
        return s;
    }
};

void compareSnapshots(const Snapshot &after, const Snapshot &before)
{
    QCOMPARE(after.title, before.title);
    QCOMPARE(after.fileName, before.fileName);
    QCOMPARE(after.modified, before.modified);
    QVERIFY(after.config == before.config);
    QCOMPARE(after.saveEnabled, before.saveEnabled);
    QCOMPARE(after.transmitEnabled, before.transmitEnabled);
    QCOMPARE(after.switchingChecked, before.switchingChecked);
    QCOMPARE(after.unplacedRows, before.unplacedRows);
    QVERIFY(after.canvas == before.canvas);
}

} // namespace

class tst_DocumentCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void startupDialogAccepted();
    void saveExtensionRule_data();
    void saveExtensionRule();
    void saveWithoutFileName();
    void saveFailureKeepsOldFile_data();
    void saveFailureKeepsOldFile();
    void failedLoadChangesNothing_data();
    void failedLoadChangesNothing();
    void loadCommits_data();
    void loadCommits();
    void promptFlows_data();
    void promptFlows();
    void saveAsAndOpen();
    void newConfiguration_data();
    void newConfiguration();
    void printThroughDialog_data();
    void printThroughDialog();
    // Last: it runs and ends the application's event loop.
    void closingStartupDialogEndsProgram();
    void fileFromOutsideTheDialog_data();
    void fileFromOutsideTheDialog();

private:
    std::unique_ptr<CorvaneCfg> makeWindow(const QString &model);

    QTemporaryDir m_workDir;
    QStringList m_startupSeen;
};

// The offscreen platform warns about every dialog it shows; nothing to learn from that.
QtMessageHandler g_previousHandler = nullptr;
void dropPlatformNoise(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (!text.contains(QLatin1String("propagateSizeHints")))
        g_previousHandler(type, context, text);
}

void tst_DocumentCommands::initTestCase()
{
    g_previousHandler = qInstallMessageHandler(dropPlatformNoise);
    // The main window reads and writes its language file in the working directory.
    QVERIFY(m_workDir.isValid());
    QVERIFY(QDir::setCurrent(m_workDir.path()));
    // The toolkit's own file dialog, which the dialog script can fill in.
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

void tst_DocumentCommands::cleanup()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible(), w->metaObject()->className());
}

std::unique_ptr<CorvaneCfg> tst_DocumentCommands::makeWindow(const QString &model)
{
    DialogScript script({model});
    auto w = std::make_unique<CorvaneCfg>();
    m_startupSeen = script.seen();
    return w;
}

void tst_DocumentCommands::startupDialogAccepted()
{
    auto w = makeWindow(QStringLiteral("8"));
    // Four channels preselected, no Cancel.
    QCOMPARE(m_startupSeen, QStringList{QStringLiteral("new:radioVX4:startup")});
    QCOMPARE(w->windowTitle(), QStringLiteral("Vorrix 8"));
    QCOMPARE(int(w->document().currentConfig.channelCount), 8);
    QVERIFY(!action(*w, "action_Save")->isEnabled());
    QVERIFY(action(*w, "actionTransmit")->isEnabled());
}

void tst_DocumentCommands::saveExtensionRule_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("written");

    QTest::newRow("no extension") << "plan"
                                  << "plan.ovs";
    QTest::newRow("extension in capitals") << "plan.OVS"
                                           << "plan.OVS.ovs";
    QTest::newRow("extension inside the name") << "my.ovs.old"
                                               << "my.ovs.old";
    QTest::newRow("extension") << "lab.ovs"
                               << "lab.ovs";
}

void tst_DocumentCommands::saveExtensionRule()
{
    QFETCH(QString, name);
    QFETCH(QString, written);

    QTemporaryDir dir;
    // An older, longer file of the final name is replaced entirely.
    writeBytes(dir.filePath(written), QByteArray(200, 'x'));

    auto w = makeWindow(QStringLiteral("4"));
    Document &doc = w->document();
    doc.currentConfig = sampleConfig(4);
    doc.modified = true;
    doc.fileName = dir.filePath(name);

    DialogScript script({QStringLiteral("Ok")});
    w->saveConfigFile();
    QCOMPARE(script.seen(), QStringList{QStringLiteral("message:File saved!")});
    QCOMPARE(doc.fileName, dir.filePath(written));
    QCOMPARE(readBytes(dir.filePath(written)), encodeOvs(doc.currentConfig));
    QCOMPARE(readBytes(dir.filePath(written)).size(), 45);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{written});
    QVERIFY(!doc.modified);
    QVERIFY(action(*w, "action_Save")->isEnabled());
    QCOMPARE(w->cursor().shape(), Qt::ArrowCursor);
}

// Right after New there is no file: Save is disabled and a save does nothing at all.
void tst_DocumentCommands::saveWithoutFileName()
{
    auto w = makeWindow(QStringLiteral("4"));
    w->document().modified = true;
    DialogScript script;
    action(*w, "action_Save")->trigger();
    w->saveConfigFile();
    QVERIFY(script.seen().isEmpty());
    QVERIFY(w->document().modified);
    QVERIFY(w->document().fileName.isEmpty());
    QVERIFY(!action(*w, "action_Save")->isEnabled());
    QVERIFY(ovsFiles(QDir::currentPath()).isEmpty());
}

void tst_DocumentCommands::saveFailureKeepsOldFile_data()
{
    QTest::addColumn<QString>("situation");
    QTest::newRow("full disk") << "full disk";
    QTest::newRow("folder path through a file") << "parent is a file";
    QTest::newRow("a folder of that name") << "target is a folder";
    // A writable file in a read-only folder is written in place, so the file is read-only too.
    QTest::newRow("read-only file in a read-only folder") << "read-only folder";
}

void tst_DocumentCommands::saveFailureKeepsOldFile()
{
    QFETCH(QString, situation);

    QTemporaryDir dir;
    const QByteArray old("the previous plan, which must survive");
    QString target;
    QString kept; // the file whose bytes must survive
    if (situation == QLatin1String("full disk")) {
        target = kept = dir.filePath(QStringLiteral("lab.ovs"));
    } else if (situation == QLatin1String("parent is a file")) {
        kept = dir.filePath(QStringLiteral("notafolder"));
        target = kept + QStringLiteral("/lab.ovs");
    } else if (situation == QLatin1String("target is a folder")) {
        target = dir.filePath(QStringLiteral("lab.ovs"));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("lab.ovs")));
        kept = target + QStringLiteral("/inside");
    } else {
        if (geteuid() == 0)
            QSKIP("Running as root, which writes into read-only folders anyway");
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("ro")));
        target = kept = dir.filePath(QStringLiteral("ro/lab.ovs"));
    }
    writeBytes(kept, old);
    const QString roDir = dir.filePath(QStringLiteral("ro"));
    if (QFileInfo::exists(roDir)) {
        QFile::setPermissions(kept, QFile::ReadOwner);
        QFile::setPermissions(roDir, QFile::ReadOwner | QFile::ExeOwner);
    }

    auto w = makeWindow(QStringLiteral("8"));
    Document &doc = w->document();
    doc.currentConfig = sampleConfig(8); // 81 bytes
    doc.modified = true;
    doc.fileName = target;

    DialogScript script({QStringLiteral("Ok")});
    {
        std::unique_ptr<FileSizeLimit> limit;
        if (situation == QLatin1String("full disk"))
            limit = std::make_unique<FileSizeLimit>(40);
        w->saveConfigFile();
    }
    if (QFileInfo::exists(roDir))
        QFile::setPermissions(roDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(script.seen(), QStringList{QStringLiteral("message:Could not save file!")});
    QCOMPARE(readBytes(kept), old);
    QVERIFY(doc.modified);
    QCOMPARE(doc.fileName, target);
    QVERIFY(action(*w, "action_Save")->isEnabled());
    QCOMPARE(w->cursor().shape(), Qt::ArrowCursor);
    // No half-written temporary is left beside the old file.
    QCOMPARE(ovsFiles(QFileInfo(kept).path()).size(), kept.endsWith(QLatin1String(".ovs")) ? 1 : 0);
}

void tst_DocumentCommands::failedLoadChangesNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");

    const QString corrupt = QStringLiteral("File corrupt! Could not read the file!");
    const QString checksum = QStringLiteral("Checksum error while reading file!");
    const QByteArray good = encodeOvs(sampleConfig(4));
    auto changed = [&good](int offset) {
        QByteArray b = good;
        b[offset] = char(b[offset] ^ 0x5a);
        return b;
    };

    QTest::newRow("magic byte 0") << "file" << changed(0) << corrupt;
    QTest::newRow("magic byte 1") << "file" << changed(1) << corrupt;
    for (int offset = 3; offset < good.size(); ++offset) {
        QTest::addRow("byte %d", offset) << "file" << changed(offset) << checksum;
    }
    QByteArray nine = good;
    nine[2] = 9;
    QTest::newRow("nine channels") << "file" << nine << checksum;
    QByteArray fewer = good;
    fewer[2] = 2;
    QTest::newRow("count lowered to 2") << "file" << fewer << checksum;
    QTest::newRow("truncated in the checksum") << "file" << good.left(good.size() - 1) << checksum;
    QTest::newRow("truncated after the magic") << "file" << good.left(2) << checksum;
    QTest::newRow("one byte") << "file" << good.left(1) << corrupt;
    QTest::newRow("empty") << "file" << QByteArray() << corrupt;
    QTest::newRow("missing") << "missing" << QByteArray() << QStringLiteral("Could not open file!");
    QTest::newRow("a folder") << "folder" << QByteArray() << QStringLiteral("Could not open file!");
}

void tst_DocumentCommands::failedLoadChangesNothing()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);

    QTemporaryDir dir;
    auto w = makeWindow(QStringLiteral("8"));
    Document &doc = w->document();

    // A document with a file of its own and unsaved changes on top.
    const QString before = dir.filePath(QStringLiteral("before.ovs"));
    writeBytes(before, encodeOvs(sampleConfig(8)));
    doc.openFileName = before;
    {
        DialogScript quiet;
        w->loadConfigFile();
        QVERIFY(quiet.seen().isEmpty());
    }
    doc.currentConfig.channels[7] = ChannelEntry();
    doc.currentConfig.mouseSpeed = 2;
    doc.modified = true;
    const Snapshot snapshot = Snapshot::of(*w);

    const QString bad = dir.filePath(QStringLiteral("bad.ovs"));
    if (kind == QLatin1String("file"))
        writeBytes(bad, bytes);
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("bad.ovs")));
    doc.openFileName = bad;

    DialogScript script({QStringLiteral("Ok")});
    w->loadConfigFile();
    QCOMPARE(script.seen(), QStringList{QStringLiteral("message:") + message});
    compareSnapshots(Snapshot::of(*w), snapshot);
    QCOMPARE(w->cursor().shape(), Qt::ArrowCursor);
}

void tst_DocumentCommands::loadCommits_data()
{
    QTest::addColumn<Configuration>("file");
    QTest::addColumn<QString>("problems"); // what the operator is told after the load

    Configuration two = sampleConfig(2);
    two.channels[1].left = 40;
    two.channels[1].right = 44;
    QTest::newRow("2 channels over 8") << two << QString();
    // A screen without resolution is marked on the canvas, not told in a box.
    Configuration unresolved = sampleConfig(4);
    unresolved.channels[1].resolutionX = 0;
    QTest::newRow("a screen without resolution") << unresolved << QString();
    QTest::newRow("no channels")
            << sampleConfig(0)
            << QStringLiteral(
                       "This configuration has problems:\n\n\u2022 The channel count is 0, but a "
                       "Vorrix has 2, 4 or 8 channels");
    Configuration three = sampleConfig(3);
    three.switchingEnabled = 1;
    three.channels[2].left = 9;
    three.channels[2].right = 11;
    QTest::newRow("3 channels, switching on")
            << three
            << QStringLiteral(
                       "This configuration has problems:\n\n\u2022 The channel count is 3, but a "
                       "Vorrix has 2, 4 or 8 channels\n\u2022 Channel 3 touches no "
                       "other screen");
}

void tst_DocumentCommands::loadCommits()
{
    QFETCH(Configuration, file);
    QFETCH(QString, problems);

    QTemporaryDir dir;
    auto w = makeWindow(QStringLiteral("8"));
    Document &doc = w->document();
    Configuration before = sampleConfig(8);
    for (ChannelEntry &e : before.channels)
        e.resolutionY = 777;
    before.deviceChannels = 5; // as a readout from a 5-channel device left it
    before.switchingEnabled = quint8(file.switchingEnabled ? 0 : 1);
    doc.currentConfig = before;
    w->syncSwitchingControls();
    doc.modified = true;

    const QString path = dir.filePath(QStringLiteral("plan.ovs"));
    writeBytes(path, encodeOvs(file));
    doc.openFileName = path;
    DialogScript script({QStringLiteral("Ok")});
    w->loadConfigFile();
    // A good file loads without a word; one the editor would not make is told once.
    QCOMPARE(script.seen(), problems.isEmpty()
                                    ? QStringList()
                                    : QStringList{QStringLiteral("message:") + problems});

    // The file's fields over the old record: entries from the count upward and the
    // device's channel count stay.
    Configuration expected = before;
    expected.channelCount = file.channelCount;
    expected.switchingEnabled = file.switchingEnabled;
    expected.mouseSpeed = file.mouseSpeed;
    for (int i = 0; i < file.channelCount; ++i)
        expected.channels[i] = file.channels[i];
    QVERIFY(doc.currentConfig == expected);

    QCOMPARE(w->windowTitle(), QStringLiteral("Vorrix %1").arg(file.channelCount));
    const bool on = file.switchingEnabled == 1;
    QCOMPARE(w->findChild<QCheckBox *>(QStringLiteral("checkBoxEnabled"))->isChecked(), on);
    QCOMPARE(action(*w, "action_OrvanelSwitching")->isChecked(), on);
    QVERIFY(!doc.modified);
    QCOMPARE(doc.fileName, path);
    QVERIFY(action(*w, "action_Save")->isEnabled());
    QVERIFY(action(*w, "actionTransmit")->isEnabled());
    QCOMPARE(w->cursor().shape(), Qt::ArrowCursor);
}

// Every command that would drop unsaved changes asks first; the answer decides whether
// the command goes on and what is written.
void tst_DocumentCommands::promptFlows_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QString>("named"); // the document's file name, "" for none
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("seen");
    QTest::addColumn<bool>("proceeds");
    QTest::addColumn<QString>("written"); // the file that now holds the configuration

    const QString doc = QStringLiteral("doc.ovs");
    const QString chosen = QStringLiteral("chosen.ovs");
    const QString saved = QStringLiteral("message:File saved!");
    const QString prompt = QStringLiteral("prompt");
    using L = QStringList;

    QTest::newRow("quit, nothing modified") << "quit" << false << doc << L{} << L{} << true << "";
    QTest::newRow("quit, cancel") << "quit" << true << doc << L{"Cancel"} << L{prompt} << false
                                  << "";
    QTest::newRow("quit, escape") << "quit" << true << doc << L{"Escape"} << L{prompt} << false
                                  << "";
    QTest::newRow("quit, discard")
            << "quit" << true << doc << L{"Discard"} << L{prompt} << true << "";
    QTest::newRow("quit, save to its file")
            << "quit" << true << doc << L{"Save", "Ok"} << L{prompt, saved} << true << doc;
    QTest::newRow("quit, save without file, dialog rejected")
            << "quit" << true << "" << L{"Save", "reject"} << L{prompt, "file:save"} << false << "";
    QTest::newRow("quit, save without file, dialog accepted")
            << "quit" << true << "" << L{"Save", "accept", "Ok"} << L{prompt, "file:save", saved}
            << true << chosen;
    // Quitting after a failed save would lose the changes the operator wanted kept.
    QTest::newRow("quit, save fails, window stays open")
            << "quit" << true << "afile/doc.ovs" << L{"Save", "Ok"}
            << L{prompt, "message:Could not save file!"} << false << "";
    QTest::newRow("new, save fails, nothing is dropped")
            << "new" << true << "afile/doc.ovs" << L{"Save", "Ok"}
            << L{prompt, "message:Could not save file!"} << false << "";

    QTest::newRow("new, nothing modified")
            << "new" << false << doc << L{"reject"} << L{"new:radioVX8"} << true << "";
    QTest::newRow("new, cancel") << "new" << true << doc << L{"Cancel"} << L{prompt} << false << "";
    QTest::newRow("new, discard") << "new" << true << doc << L{"Discard", "reject"}
                                  << L{prompt, "new:radioVX8"} << true << "";
    QTest::newRow("new, save without file, dialog rejected")
            << "new" << true << "" << L{"Save", "reject"} << L{prompt, "file:save"} << false << "";

    QTest::newRow("open, nothing modified")
            << "open" << false << doc << L{"reject"} << L{"file:open"} << true << "";
    QTest::newRow("open, cancel") << "open" << true << doc << L{"Cancel"} << L{prompt} << false
                                  << "";
    QTest::newRow("open, save to its file") << "open" << true << doc << L{"Save", "Ok", "reject"}
                                            << L{prompt, saved, "file:open"} << true << doc;
    QTest::newRow("open, save without file, dialog rejected")
            << "open" << true << "" << L{"Save", "reject"} << L{prompt, "file:save"} << false << "";
}

void tst_DocumentCommands::promptFlows()
{
    QFETCH(QString, command);
    QFETCH(bool, modified);
    QFETCH(QString, named);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, seen);
    QFETCH(bool, proceeds);
    QFETCH(QString, written);

    QTemporaryDir dir;
    auto w = makeWindow(QStringLiteral("8"));
    w->show();
    Document &doc = w->document();
    doc.currentConfig = sampleConfig(8);
    doc.modified = modified;
    if (!named.isEmpty()) {
        doc.fileName = dir.filePath(named);
        if (named.contains(QLatin1Char('/')))
            writeBytes(dir.filePath(named.section(QLatin1Char('/'), 0, 0)), "a file");
    }
    const Configuration config = doc.currentConfig;

    DialogScript script(answers);
    script.setFilePath(dir.filePath(QStringLiteral("chosen.ovs")));
    if (command == QLatin1String("quit"))
        action(*w, "actionQuit")->trigger();
    else if (command == QLatin1String("new"))
        action(*w, "actionNeu")->trigger();
    else
        action(*w, "action_Open")->trigger();

    QCOMPARE(script.seen(), seen);
    QCOMPARE(w->isVisible(), !(command == QLatin1String("quit") && proceeds));
    if (seen.contains(QStringLiteral("prompt"))) {
        // Back to a single OK for the messages that follow.
        QCOMPARE(w->messageBox.standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
    }
    QVERIFY(doc.currentConfig == config);
    QCOMPARE(doc.modified, written.isEmpty() ? modified : false);
    if (written.isEmpty()) {
        QVERIFY(ovsFiles(dir.path()).isEmpty());
    } else {
        QCOMPARE(ovsFiles(dir.path()), QStringList{written});
        QCOMPARE(readBytes(dir.filePath(written)), encodeOvs(config));
    }
    w->hide();
}

// The operator's round trip: Save as through the dialog, start anew, open the file.
void tst_DocumentCommands::saveAsAndOpen()
{
    QTemporaryDir dir;
    auto w = makeWindow(QStringLiteral("8"));
    Document &doc = w->document();
    doc.currentConfig = sampleConfig(8);
    doc.modified = true;
    const Configuration saved = doc.currentConfig;
    const QString lab = dir.filePath(QStringLiteral("lab.ovs"));

    DialogScript script({QStringLiteral("reject")});
    action(*w, "action_Save_as")->trigger();
    QCOMPARE(script.seen(), QStringList{QStringLiteral("file:save")});
    QVERIFY(doc.fileName.isEmpty());
    QVERIFY(doc.modified);

    // Typed without extension: the dialog adds it.
    script.clearSeen();
    script.setAnswers({QStringLiteral("accept"), QStringLiteral("Ok")});
    script.setFilePath(dir.filePath(QStringLiteral("lab")));
    action(*w, "action_Save_as")->trigger();
    QCOMPARE(script.seen(),
             (QStringList{QStringLiteral("file:save"), QStringLiteral("message:File saved!")}));
    QCOMPARE(doc.fileName, lab);
    QCOMPARE(readBytes(lab), encodeOvs(saved));

    // Saving as the same name again asks before the file is replaced.
    script.clearSeen();
    script.setAnswers({QStringLiteral("accept"), QStringLiteral("Yes"), QStringLiteral("Ok")});
    action(*w, "action_Save_as")->trigger();
    QVERIFY2(script.seen().size() == 3, qPrintable(script.seen().join(QLatin1String(" | "))));
    QVERIFY2(script.seen().at(1).contains(QLatin1String("lab.ovs")),
             qPrintable(script.seen().at(1)));
    QCOMPARE(script.seen().at(2), QStringLiteral("message:File saved!"));

    doc.currentConfig.channels[3].left = 1;
    doc.modified = true;
    script.clearSeen();
    script.setAnswers({QStringLiteral("Discard"), QStringLiteral("2")});
    action(*w, "actionNeu")->trigger();
    QCOMPARE(script.seen(),
             (QStringList{QStringLiteral("prompt"), QStringLiteral("new:radioVX8")}));
    QCOMPARE(w->windowTitle(), QStringLiteral("Vorrix 2"));
    QCOMPARE(readBytes(lab), encodeOvs(saved));

    script.clearSeen();
    script.setAnswers({QStringLiteral("accept")});
    script.setFilePath(lab);
    action(*w, "action_Open")->trigger();
    QCOMPARE(script.seen(), QStringList{QStringLiteral("file:open")});
    QVERIFY(doc.currentConfig == saved);
    QCOMPARE(doc.fileName, lab);
    QCOMPARE(w->windowTitle(), QStringLiteral("Vorrix 8"));

    // Save writes to the opened file at once.
    doc.currentConfig.mouseSpeed = 3;
    doc.modified = true;
    script.clearSeen();
    script.setAnswers({QStringLiteral("Ok")});
    action(*w, "action_Save")->trigger();
    QCOMPARE(script.seen(), QStringList{QStringLiteral("message:File saved!")});
    QCOMPARE(readBytes(lab), encodeOvs(doc.currentConfig));
    QVERIFY(!doc.modified);
}

void tst_DocumentCommands::newConfiguration_data()
{
    QTest::addColumn<int>("count"); // loaded from a file before New
    QTest::addColumn<QString>("preselected");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("result");

    QTest::newRow("2 kept") << 2 << "radioVX2"
                            << "ok" << 2;
    QTest::newRow("4 changed to 8") << 4 << "radioVX4"
                                    << "8" << 8;
    QTest::newRow("8 changed to 2") << 8 << "radioVX8"
                                    << "2" << 2;
    QTest::newRow("0 from a file, kept") << 0 << "none"
                                         << "ok" << 0;
    QTest::newRow("3 from a file, kept") << 3 << "none"
                                         << "ok" << 3;
    QTest::newRow("3 from a file, changed to 4") << 3 << "none"
                                                 << "4" << 4;
}

void tst_DocumentCommands::newConfiguration()
{
    QFETCH(int, count);
    QFETCH(QString, preselected);
    QFETCH(QString, answer);
    QFETCH(int, result);

    QTemporaryDir dir;
    auto w = makeWindow(QStringLiteral("8"));
    Document &doc = w->document();
    const QString path = dir.filePath(QStringLiteral("plan.ovs"));
    writeBytes(path, encodeOvs(sampleConfig(count)));
    doc.openFileName = path;
    {
        // Counts other than 2, 4 and 8 load with a word about them.
        DialogScript loading({QStringLiteral("Ok")});
        w->loadConfigFile();
    }
    QCOMPARE(int(doc.currentConfig.channelCount), count);

    DialogScript script({answer});
    action(*w, "actionNeu")->trigger();
    QCOMPARE(script.seen(), QStringList{QStringLiteral("new:") + preselected});

    Configuration expected;
    resetConfiguration(expected);
    expected.channelCount = quint8(result);
    QVERIFY(doc.currentConfig == expected);
    QCOMPARE(w->windowTitle(), QStringLiteral("Vorrix %1").arg(result));
    QVERIFY(!doc.modified);
    QVERIFY(doc.fileName.isEmpty());
    QVERIFY(doc.openFileName.isEmpty());
    QVERIFY(!action(*w, "action_Save")->isEnabled());
    QVERIFY(action(*w, "actionTransmit")->isEnabled());
    QVERIFY(w->findChild<QCheckBox *>(QStringLiteral("checkBoxEnabled"))->isChecked());
}

void tst_DocumentCommands::printThroughDialog_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("printed");
    QTest::newRow("cancelled") << "reject" << false;
    QTest::newRow("printed to a file") << "accept" << true;
}

// The tile selection is dropped before drawing, so the page shows no selection marks;
// a cancelled dialog changes nothing.
void tst_DocumentCommands::printThroughDialog()
{
    QFETCH(QString, answer);
    QFETCH(bool, printed);

    QTemporaryDir dir;
    auto w = makeWindow(QStringLiteral("8"));
    w->document().currentConfig = sampleConfig(8);
    w->editorState().selectedChannels.add(1);
    const Snapshot snapshot = Snapshot::of(*w);
    const QString pdf = dir.filePath(QStringLiteral("lab.pdf"));

    DialogScript script({answer});
    script.setFilePath(pdf);
    action(*w, "action_Print")->trigger();
    QCOMPARE(script.seen(), QStringList{QStringLiteral("print:Print configuration")});
    QCOMPARE(readBytes(pdf).startsWith("%PDF"), printed);
    QCOMPARE(w->editorState().selectedChannels.isEmpty(), printed);
    if (!printed)
        compareSnapshots(Snapshot::of(*w), snapshot);
}

// Closing the start-up dialog leaves nothing to edit: the window closes once the event
// loop runs, and the program ends with exit code 0.
void tst_DocumentCommands::closingStartupDialogEndsProgram()
{
    DialogScript script({QStringLiteral("close")});
    auto w = std::make_unique<CorvaneCfg>();
    QCOMPARE(script.seen(), QStringList{QStringLiteral("new:radioVX4:startup")});
    w->show(); // as the entry point does

    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(10000);
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!w->isVisible());
    QVERIFY(!w->document().modified);
}

void tst_DocumentCommands::fileFromOutsideTheDialog_data()
{
    QTest::addColumn<QString>("how"); // "startup" (corvanecfg FILE), "startup, problems" or "drop"
    QTest::addColumn<bool>("good");   // the file loads
    QTest::addColumn<bool>("unsaved");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("seen");
    QTest::addColumn<bool>("opened");

    const QString corrupt = QStringLiteral("message:Checksum error while reading file!");
    QTest::newRow("start-up, instead of the new-configuration dialog")
            << "startup" << true << false << QStringList{} << QStringList{} << true;
    QTest::newRow("start-up, the dialog follows a file that does not load")
            << "startup" << false << false << QStringList{"Ok", "8"}
            << QStringList{corrupt, "new:radioVX4:startup"} << false;
    // The message about the layout waits until the window shows the tiles it is about.
    QTest::newRow("start-up, a layout with problems, told over the window")
            << "startup, problems" << true << false << QStringList{"Ok"}
            << QStringList{"message:This configuration has problems:\n\n\u2022 Channel 2 is "
                           "smaller than 2 \u00d7 2 cells"}
            << true;
    QTest::newRow("dropped on the window")
            << "drop" << true << false << QStringList{} << QStringList{} << true;
    QTest::newRow("dropped over unsaved changes, Discard")
            << "drop" << true << true << QStringList{"Discard"} << QStringList{"prompt"} << true;
    QTest::newRow("dropped over unsaved changes, Cancel")
            << "drop" << true << true << QStringList{"Cancel"} << QStringList{"prompt"} << false;
}

// A file named on the command line (the desktop entry passes one) or dropped from a file
// manager opens like one chosen in the Open dialog.
void tst_DocumentCommands::fileFromOutsideTheDialog()
{
    QFETCH(QString, how);
    QFETCH(bool, good);
    QFETCH(bool, unsaved);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, seen);
    QFETCH(bool, opened);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rack 3.ovs"));
    Configuration file = sampleConfig(2);
    if (how.endsWith(QLatin1String("problems")))
        file.channels[1].right = file.channels[1].left + 1;
    writeBytes(path, good ? encodeOvs(file) : QByteArray("Ve"));

    std::unique_ptr<CorvaneCfg> w;
    std::unique_ptr<DialogScript> script;
    if (how.startsWith(QLatin1String("startup"))) {
        script = std::make_unique<DialogScript>(answers);
        w = std::make_unique<CorvaneCfg>(nullptr, path);
        if (how.endsWith(QLatin1String("problems"))) {
            QCOMPARE(script->seen(), QStringList());
            w->show(); // as the entry point does
            QTRY_VERIFY(script->done());
        }
    } else {
        w = makeWindow(QStringLiteral("8"));
        w->document().modified = unsaved;
        script = std::make_unique<DialogScript>(answers);
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(w.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(w.get(), &drop);
        QVERIFY(drop.isAccepted());
        QTRY_VERIFY(script->done());
        QTest::qWait(20);
    }
    QCOMPARE(script->seen(), seen);
    QCOMPARE(w->document().fileName, opened ? path : QString());
    QCOMPARE(w->document().currentConfig.channelCount, quint8(opened ? 2 : 8));
    QCOMPARE(w->windowTitle(), QStringLiteral("Vorrix %1").arg(opened ? 2 : 8));
}

QTEST_MAIN(tst_DocumentCommands)
#include "tst_documentcommands.moc"
