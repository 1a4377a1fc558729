#include "app/corvanecfg.h"
#include "app/historydialog.h"
#include "app/keepdialog.h"
#include "dialoganswerer.h"
#include "document/datafolder.h"
#include "document/journal.h"
#include "document/ovsfile.h"
#include "document/restorepoints.h"
#include "link/devicesequence.h"
#include "link/switchemulator.h"
#include "rununtil.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

Configuration layout(int channels, int seed)
{
    Configuration c;
    resetConfiguration(c);
    c.channelCount = quint8(channels);
    c.deviceChannels = quint8(channels);
    c.switchingEnabled = quint8(seed & 1);
    c.mouseSpeed = quint8(2 + seed);
    for (int i = 0; i < channels; ++i)
        c.channels[i] = ChannelEntry{1,
                                     quint8(2 * i + seed),
                                     1,
                                     quint8(2 * i + seed + 2),
                                     3,
                                     quint16(1920 - i),
                                     quint16(1080 + seed)};
    return c;
}

// What the switch holds, as a file would hold it.
QByteArray held(const Configuration &c)
{
    return encodeOvs(c);
}

} // namespace

// The window's way back: a restore point before every transmission, the question to
// keep the new configuration, going back, and the journal of it all.
class tst_WayBack : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void keepOrGoBack_data();
    void keepOrGoBack();
    void noRestorePointNothingWritten();
    void configurationOfAnEntry_data();
    void configurationOfAnEntry();

private:
    std::unique_ptr<CorvaneCfg> makeWindow(const QString &port, const Configuration &shown);
    QTemporaryDir m_dir;
};

void tst_WayBack::initTestCase()
{
    // A data folder of this run's own: the journal is read back here, and other tests
    // running at the same time share the standard paths' test folder.
    QVERIFY(m_dir.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("data"))));
    QVERIFY(QDir::setCurrent(m_dir.path()));
}

void tst_WayBack::init()
{
    QDir(ovsDataFolder()).removeRecursively();
}

void tst_WayBack::cleanup()
{
    KeepDialog::setSecondLength(1000);
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible(), w->metaObject()->className());
    QDir(ovsDataFolder()).removeRecursively();
}

std::unique_ptr<CorvaneCfg> tst_WayBack::makeWindow(const QString &port, const Configuration &shown)
{
    DialogAnswerer startup;
    auto window = std::make_unique<CorvaneCfg>();
    window->setExtraPorts({port});
    window->document().currentConfig = shown;
    window->document().modified = false;
    return window;
}

void tst_WayBack::keepOrGoBack_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("reason"); // empty: kept

    QTest::newRow("Keep") << "keep"
                          << "";
    QTest::newRow("Go back") << "go back"
                             << "you chose Go back";
    QTest::newRow("the question closed") << "close"
                                         << "you closed the question";
    QTest::newRow("no answer") << ""
                               << "no answer within 15 s";
}

void tst_WayBack::keepOrGoBack()
{
    QFETCH(QString, answer);
    QFETCH(QString, reason);

    const Configuration previous = layout(4, 0);
    const Configuration sent = layout(4, 3);
    SwitchEmulator emulator(4, previous);
    QVERIFY(emulator.startOnPty());
    auto window = makeWindow(emulator.devicePath(), sent);
    // Silence runs through a countdown of 15 short seconds; the others never see its end.
    KeepDialog::setSecondLength(answer.isEmpty() ? 20 : 600000);

    // Should the question never come, the message below it must not hold the test.
    QTimer rescue;
    rescue.setInterval(200);
    connect(&rescue, &QTimer::timeout, [&] {
        qWarning() << window->findChild<QLabel *>("exchangeOutcome")->text();
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    QTimer::singleShot(20000, &rescue, qOverload<>(&QTimer::start));
    // Everything happens inside "Transmission complete!", which runs its own loop.
    bool releasedWhenAsked = false;
    bool asked = false;
    bool aboveTheMessage = false;
    QString title;
    QTimer operatorTimer;
    operatorTimer.setInterval(5);
    connect(&operatorTimer, &QTimer::timeout, [&] {
        auto *keep = window->findChild<KeepDialog *>();
        if (asked || !keep || !keep->isVisible())
            return;
        asked = true;
        // The closing frame has gone out; the port waits for its delayed close.
        releasedWhenAsked = window->deviceSequence().closeTimer().isActive();
        title = keep->windowTitle();
        aboveTheMessage = QApplication::activeModalWidget() == keep
                          && window->messageBox.isVisible()
                          && window->messageBox.text() == "Transmission complete!";
        if (answer == "keep") {
            keep->findChild<QPushButton *>("keepButton")->click();
            window->messageBox.button(QMessageBox::Ok)->click();
        } else if (answer == "go back") {
            keep->findChild<QPushButton *>("goBackButton")->click();
        } else if (answer == "close") {
            keep->close();
        }
    });
    operatorTimer.start();
    {
        DialogAnswerer port({"ok"});
        window->findChild<QAction *>("actionTransmit")->trigger();
    }
    auto *status = window->findChild<QLabel *>("exchangeOutcome");
    const bool goingBack = !reason.isEmpty();
    QVERIFY(runUntil(
            [&] {
                const bool done = !goingBack || status->text().startsWith("Went back");
                return done && !window->findChild<KeepDialog *>() && !window->messageBox.isVisible()
                       && !window->deviceSequence().serialPort().isOpen();
            },
            30000));
    QVERIFY(!window->protocolTimer->isActive());
    QVERIFY(asked);
    QVERIFY(aboveTheMessage);
    // The switch was released, so it holds the new layout while the question runs.
    QVERIFY(releasedWhenAsked);
    QCOMPARE(title, QStringLiteral("Keep this configuration?"));

    QCOMPARE(held(emulator.configuration()), held(goingBack ? previous : sent));
    QCOMPARE(window->document().currentConfig, sent);
    if (goingBack)
        QVERIFY2(status->text().endsWith(": " + reason), qPrintable(status->text()));

    int damaged = -1;
    const QList<JournalEntry> entries = Journal().entries(&damaged);
    QCOMPARE(damaged, 0);
    QCOMPARE(entries.size(), goingBack ? 2 : 1);
    const JournalEntry &write = entries.first();
    QCOMPARE(write.source, QStringLiteral("window"));
    QCOMPARE(write.action, QStringLiteral("write"));
    QCOMPARE(write.outcome, QStringLiteral("ok"));
    QCOMPARE(write.model, QStringLiteral("Vorrix 4"));
    QCOMPARE(write.sha256, Journal::sha256Of(sent));
    Configuration restorePoint = sent;
    QCOMPARE(readOvsFile(write.restorePoint, restorePoint), OvsLoadResult::Loaded);
    QCOMPARE(held(restorePoint), held(previous));
    if (goingBack) {
        const JournalEntry &back = entries.last();
        QCOMPARE(back.action, QStringLiteral("go-back"));
        QCOMPARE(back.outcome, QStringLiteral("ok"));
        QCOMPARE(back.sha256, Journal::sha256Of(previous));
        QCOMPARE(back.file, write.restorePoint);
    }
}

// The switch's configuration cannot be kept: the transmission stops before it writes,
// and the operator reads why.
void tst_WayBack::noRestorePointNothingWritten()
{
    const Configuration previous = layout(4, 0);
    SwitchEmulator emulator(4, previous);
    QVERIFY(emulator.startOnPty());
    auto window = makeWindow(emulator.devicePath(), layout(4, 3));
    // A file where the restore points' folder belongs.
    QVERIFY(QDir().mkpath(QFileInfo(RestorePoints::defaultFolder()).absolutePath()));
    QFile blocker(RestorePoints::defaultFolder());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    DialogAnswerer answerer({"ok", "Ok"});
    QString detail;
    answerer.beforeAnswer = [&](const QString &) {
        if (detail.isEmpty())
            detail = window->messageBox.informativeText();
    };
    window->findChild<QAction *>("actionTransmit")->trigger();
    QVERIFY(runUntil(
            [&] { return answerer.done() && !window->deviceSequence().serialPort().isOpen(); },
            30000));

    QCOMPARE(answerer.seen.size(), 2);
    QCOMPARE(answerer.seen.last(),
             QStringLiteral("message:An error occured during transmission! Action has failed."));
    QVERIFY2(detail.startsWith(
                     "The switch's present configuration could not be kept as a restore point"),
             qPrintable(detail));
    for (const LinkFrame &f : emulator.receivedFrames())
        QVERIFY(f.command != kCmdWriteSwitching && f.command != kCmdWriteMouseSpeed
                && f.command != kCmdWriteRecord);
    QCOMPARE(held(emulator.configuration()), held(previous));
    const QList<JournalEntry> entries = Journal().entries();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().outcome, QStringLiteral("failed"));
    QVERIFY(entries.first().reason.contains("restore point"));
    QVERIFY(window->findChild<QLabel *>("exchangeOutcome")->text().contains("restore point"));
    QFile::remove(RestorePoints::defaultFolder());
}

void tst_WayBack::configurationOfAnEntry_data()
{
    QTest::addColumn<bool>("restorePoint");
    QTest::addColumn<bool>("fileChanged");
    QTest::addColumn<QString>("opens"); // "restore point", "file" or ""

    QTest::newRow("a write opens what the switch held before") << true << false << "restore point";
    QTest::newRow("a readout of a file opens the file") << false << false << "file";
    // The file now holds another layout than the one the entry is about.
    QTest::newRow("a file changed since is not opened") << false << true << "";
}

void tst_WayBack::configurationOfAnEntry()
{
    QFETCH(bool, restorePoint);
    QFETCH(bool, fileChanged);
    QFETCH(QString, opens);

    QTemporaryDir dir;
    const Configuration before = layout(4, 0);
    const Configuration entryConfig = layout(4, 1);
    JournalEntry entry;
    entry.file = dir.filePath("layout.ovs");
    entry.sha256 = Journal::sha256Of(entryConfig);
    QVERIFY(writeOvsFile(entry.file, fileChanged ? layout(4, 2) : entryConfig));
    if (restorePoint) {
        entry.restorePoint = dir.filePath("restore.ovs");
        QVERIFY(writeOvsFile(entry.restorePoint, before));
    }

    Configuration config = layout(8, 5);
    const QString path = HistoryDialog::configurationOf(entry, layout(8, 5), &config);
    if (opens.isEmpty()) {
        QVERIFY(path.isEmpty());
        return;
    }
    QCOMPARE(path, opens == "file" ? entry.file : entry.restorePoint);
    QCOMPARE(held(config), held(opens == "file" ? entryConfig : before));
}

QTEST_MAIN(tst_WayBack)
#include "tst_wayback.moc"
