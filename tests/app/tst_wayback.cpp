#include "app/corvanecfg.h"
#include "app/historydialog.h"
#include "app/keepdialog.h"
#include "dialoganswerer.h"
#include "document/datafolder.h"
#include "document/journal.h"
#include "document/ovsfile.h"
#include "document/restorepoints.h"
#include "link/devicesequence.h"
#include "link/lastknown.h"
#include "link/switchemulator.h"
#include "rununtil.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
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
    void failedWriteOffersTheWayBack_data();
    void failedWriteOffersTheWayBack();
    void noRestorePointNothingWritten();
    void readoutUndoneAndRedoneIsOneEntry();
    void quitWaitsForTheExchangeAndItsQuestion();
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
    // Another program writes the switch while the question is open.
    QTest::addColumn<bool>("changedMeanwhile");

    QTest::newRow("Keep") << "keep"
                          << "" << false;
    QTest::newRow("Go back") << "go back"
                             << "you chose Go back" << false;
    QTest::newRow("the question closed") << "close"
                                         << "you closed the question" << false;
    QTest::newRow("no answer") << ""
                               << "no answer within 15 s" << false;
    // Going back would overwrite a configuration it never read: nothing is written.
    QTest::newRow("Go back, the switch was changed meanwhile") << "go back"
                                                               << "" << true;
}

void tst_WayBack::keepOrGoBack()
{
    QFETCH(QString, answer);
    QFETCH(QString, reason);
    QFETCH(bool, changedMeanwhile);
    const Configuration other = layout(4, 5);

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
    QString changes;
    QStringList countdown;
    QString refusal;
    QTimer operatorTimer;
    operatorTimer.setInterval(5);
    connect(&operatorTimer, &QTimer::timeout, [&] {
        if (refusal.isEmpty() && window->messageBox.isVisible()
            && window->messageBox.text().startsWith("An error occured")) {
            refusal = window->messageBox.informativeText();
            window->messageBox.button(QMessageBox::Ok)->click();
            return;
        }
        auto *keep = window->findChild<KeepDialog *>();
        if (keep && keep->isVisible()) {
            const QString line = keep->findChild<QLabel *>("countdown")->text();
            if (!countdown.contains(line))
                countdown << line;
        }
        if (asked || !keep || !keep->isVisible())
            return;
        asked = true;
        changes = keep->findChild<QLabel *>("changes")->text();
        if (changedMeanwhile)
            emulator.setConfiguration(other);
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
                const bool done = changedMeanwhile
                                          ? status->text().contains("failed")
                                          : !goingBack || status->text().startsWith("Went back");
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
    // What the switch holds now that it did not hold before, in one line.
    QCOMPARE(changes, QStringLiteral("Changed: channels 1, 2, 3 and 4, Orvanel Switching off "
                                     "\u2192 on, mouse speed 2 \u2192 5"));
    if (answer.isEmpty()) {
        // The line counts down while the question waits.
        QVERIFY2(countdown.size() > 2, qPrintable(countdown.join('|')));
        QVERIFY2(!countdown.last().contains("15 s"), qPrintable(countdown.last()));
    }

    QCOMPARE(window->document().currentConfig, sent);
    // What the window last wrote, which a switch changed behind its back no longer holds.
    const std::optional<KnownConfiguration> known = LastKnown().recall(emulator.devicePath(), 4);
    QVERIFY(known);
    QCOMPARE(encodeOvs(known->config), encodeOvs(goingBack && !changedMeanwhile ? previous : sent));
    if (changedMeanwhile) {
        QCOMPARE(held(emulator.configuration()), held(other));
        QVERIFY2(refusal.contains("no longer holds the configuration sent at"),
                 qPrintable(refusal));
        QVERIFY2(status->text().contains("it was not changed"), qPrintable(status->text()));
        const QList<JournalEntry> entries = Journal().entries();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries.last().action, QStringLiteral("go-back"));
        QCOMPARE(entries.last().outcome, QStringLiteral("failed"));
        return;
    }
    QCOMPARE(held(emulator.configuration()), held(goingBack ? previous : sent));
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

void tst_WayBack::failedWriteOffersTheWayBack_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("Go back") << "Go back";
    QTest::newRow("Leave it") << "Leave it";
}

// A record is lost on its way in after the settings and the first record were written:
// the switch holds parts of both. The failure is told as ever, then the way back is
// offered; the keep question is not asked after a failure.
void tst_WayBack::failedWriteOffersTheWayBack()
{
    QFETCH(QString, answer);

    const Configuration previous = layout(4, 0);
    const Configuration sent = layout(4, 3);
    SwitchEmulator emulator(4, previous);
    QVERIFY(emulator.startOnPty());
    SwitchEmulator::Faults loseRecord1;
    loseRecord1.lostRecords = 1u << 1;
    emulator.setFaults(loseRecord1);
    auto window = makeWindow(emulator.devicePath(), sent);

    DialogAnswerer answerer({"ok", "Ok", answer});
    window->findChild<QAction *>("actionTransmit")->trigger();
    auto *status = window->findChild<QLabel *>("exchangeOutcome");
    const bool goingBack = answer == "Go back";
    QVERIFY(runUntil(
            [&] {
                return answerer.done() && (!goingBack || status->text().startsWith("Went back"))
                       && !window->deviceSequence().connectionInProgress()
                       && !window->deviceSequence().serialPort().isOpen();
            },
            30000));

    QCOMPARE(answerer.seen, (QStringList{"port:Set device configuration:115200",
                                         "message:An error occured during transmission! Action "
                                         "has failed.",
                                         "go back?"}));
    QVERIFY(!window->findChild<KeepDialog *>());
    const QList<JournalEntry> entries = Journal().entries();
    QCOMPARE(entries.size(), goingBack ? 2 : 1);
    const JournalEntry &write = entries.first();
    QCOMPARE(write.action, QStringLiteral("write"));
    QCOMPARE(write.outcome, QStringLiteral("failed"));
    QCOMPARE(write.sha256, Journal::sha256Of(sent));
    QVERIFY(QFileInfo::exists(write.restorePoint));
    if (!goingBack) {
        // Mixed: the new settings and first record, the old records after it.
        const Configuration mixed = emulator.configuration();
        QCOMPARE(mixed.mouseSpeed, sent.mouseSpeed);
        QCOMPARE(mixed.channels[0], sent.channels[0]);
        QCOMPARE(mixed.channels[1], previous.channels[1]);
        return;
    }
    QCOMPARE(held(emulator.configuration()), held(previous));
    const JournalEntry &back = entries.last();
    QCOMPARE(back.action, QStringLiteral("go-back"));
    QCOMPARE(back.outcome, QStringLiteral("ok"));
    QCOMPARE(back.file, write.restorePoint);
    QCOMPARE(back.sha256, Journal::sha256Of(previous));
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

// Undo and Redo of a readout are no exchanges: one readout, one entry, and a readout
// involves no file, whatever the window showed before it.
void tst_WayBack::readoutUndoneAndRedoneIsOneEntry()
{
    SwitchEmulator emulator(4, layout(4, 1));
    QVERIFY(emulator.startOnPty());
    auto window = makeWindow(emulator.devicePath(), layout(4, 0));
    const QString rack = QDir::current().filePath(QStringLiteral("rack.ovs"));
    QVERIFY(writeOvsFile(rack, layout(4, 0)));
    window->document().openFileName = rack;
    window->loadConfigFile();

    DialogAnswerer answerer({"ok"});
    window->findChild<QAction *>("actionReadout")->trigger();
    QVERIFY(runUntil(
            [&] { return answerer.done() && !window->deviceSequence().serialPort().isOpen(); },
            30000));
    for (const char *name : {"actionUndo", "actionRedo", "actionUndo"})
        window->findChild<QAction *>(name)->trigger();

    const QList<JournalEntry> entries = Journal().entries();
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries.first().action, QStringLiteral("read"));
    QCOMPARE(entries.first().file, QString());
    QCOMPARE(entries.first().sha256, Journal::sha256Of(layout(4, 1)));
}

// Quit while a slow switch stores the records: the window stays and says why, the
// transmission and its question end as ever, and then the window closes.
void tst_WayBack::quitWaitsForTheExchangeAndItsQuestion()
{
    const Configuration sent = layout(4, 3);
    SwitchEmulator emulator(4, layout(4, 0));
    QVERIFY(emulator.startOnPty());
    SwitchEmulator::Faults slowRecords;
    slowRecords.recordDelayMs = 300;
    emulator.setFaults(slowRecords);
    auto window = makeWindow(emulator.devicePath(), sent);
    window->show();

    DialogAnswerer answerer({"ok", "Keep", "Ok"});
    bool waited = false;
    connect(&window->deviceSequence().report(), &ExchangeReport::progressChanged, this,
            [&](const QString &progress) {
                if (waited || !progress.startsWith("Sending to") || !progress.contains("record"))
                    return;
                waited = true;
                window->findChild<QAction *>("actionQuit")->trigger();
                const auto *note = window->findChild<QLabel *>("closePending");
                QVERIFY(window->isVisible());
                QVERIFY(note && note->isVisible());
            });
    window->findChild<QAction *>("actionTransmit")->trigger();
    QVERIFY(runUntil([&] { return answerer.done() && !window->isVisible(); }, 30000));

    QVERIFY(waited);
    QCOMPARE(answerer.seen.mid(1), (QStringList{"keep", "message:Transmission complete!"}));
    QCOMPARE(held(emulator.configuration()), held(sent));
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
