#include "app/corvanecfg.h"
#include "dialoganswerer.h"
#include "link/devicesequence.h"
#include "link/exchangereport.h"
#include "link/switchemulator.h"
#include "rununtil.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QSerialPort>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Every channel placed in one row, with a resolution.
Configuration inARow(int channels)
{
    Configuration c;
    resetConfiguration(c);
    c.channelCount = quint8(channels);
    c.deviceChannels = quint8(channels);
    c.mouseSpeed = 4;
    for (int i = 0; i < channels; ++i)
        c.channels[i] = ChannelEntry{1, quint8(2 * i), 0, quint8(2 * i + 2), 2, 1920, 1080};
    return c;
}

} // namespace

// What the status bar says while an exchange with the switch runs and after it ended,
// for every outcome, in both languages.
class tst_ExchangeReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void statusBar_data();
    void statusBar();
    void secondFailureHasItsOwnReason();

private:
    QTemporaryDir m_dir;
};

void tst_ExchangeReport::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
    // The window reads and writes its language file in the working directory.
    QVERIFY(QDir::setCurrent(m_dir.path()));
}

void tst_ExchangeReport::cleanup()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *w : windows)
        QVERIFY2(!w->isVisible(), w->metaObject()->className());
}

void tst_ExchangeReport::statusBar_data()
{
    QTest::addColumn<QString>("action");   // the action's object name
    QTest::addColumn<QString>("language"); // the language's action during the exchange
    QTest::addColumn<int>("shownChannels");
    QTest::addColumn<int>("changedChannels"); // shown channels that differ from the switch
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("outcome");      // PORT stands for the port
    QTest::addColumn<QStringList>("progress"); // the passing messages; empty: not checked
    QTest::addColumn<QString>("english");      // the outcome once English is chosen again

    const QString read = "actionReadout";
    const QString send = "actionTransmit";
    const QString verify = "actionVerify";
    const QStringList ok{"ok"};
    const QStringList okOk{"ok", "Ok"};
    // A transmission that completes asks to keep the configuration above its message.
    const QStringList okKeepOk{"ok", "Keep", "Ok"};

    QStringList reading{"Reading from PORT…"};
    for (int r = 1; r <= 8; ++r)
        reading << QStringLiteral("Reading from PORT: record %1 of 8").arg(r);
    QTest::newRow("read") << read << "English" << 4 << 0 << "" << ok
                          << "Read Vorrix 8 from PORT at 14:02:11" << (reading << "") << "";
    QTest::newRow("read what is shown")
            << read << "English" << 8 << 0 << "" << ok
            << "The switch holds the configuration shown here (read from PORT at 14:02:11)"
            << QStringList() << "";
    QTest::newRow("sent")
            << send << "English" << 8 << 1 << "" << okKeepOk << "Sent Vorrix 8 to PORT at 14:02:11"
            << QStringList{"Sending to PORT…",
                           // the restore point's readout
                           "Reading from PORT…", "Reading from PORT: record 1 of 8",
                           "Reading from PORT: record 2 of 8", "Reading from PORT: record 3 of 8",
                           "Reading from PORT: record 4 of 8", "Reading from PORT: record 5 of 8",
                           "Reading from PORT: record 6 of 8", "Reading from PORT: record 7 of 8",
                           "Reading from PORT: record 8 of 8", "Sending to PORT…",
                           "Sending to PORT: record 1 of 8", "Sending to PORT: record 2 of 8",
                           "Sending to PORT: record 3 of 8", "Sending to PORT: record 4 of 8",
                           "Sending to PORT: record 5 of 8", "Sending to PORT: record 6 of 8",
                           "Sending to PORT: record 7 of 8", "Sending to PORT: record 8 of 8", ""}
            << "";
    QTest::newRow("verified, the same")
            << verify << "English" << 8 << 0 << "" << okOk
            << "Verified at 14:02:11: the switch holds this configuration" << QStringList() << "";
    QTest::newRow("verified, two channels differ")
            << verify << "English" << 8 << 2 << "" << okOk
            << "Verified at 14:02:11: the switch differs in 2 channels" << QStringList() << "";
    QTest::newRow("no such port") << read << "English" << 8 << 0 << "missing" << okOk
                                  << "Reading from PORT failed at 14:02:11: no such port"
                                  << QStringList() << "";
    QTest::newRow("port in use") << read << "English" << 8 << 0 << "in use" << okOk
                                 << "Reading from PORT failed at 14:02:11: the port is in use "
                                    "by another program"
                                 << QStringList() << "";
    QTest::newRow("permission denied")
            << read << "English" << 8 << 0 << "no access" << okOk
            << "Reading from PORT failed at 14:02:11: permission denied (the port belongs to the "
               "group GROUP: add your user to it and log in again)"
            << QStringList() << "";
    // The port dialog comes back after the message; it is cancelled.
    QTest::newRow("no hello answer")
            << read << "English" << 8 << 0 << "silent" << QStringList{"ok", "Ok", "cancel"}
            << "Reading from PORT failed at 14:02:11: no answer to the hello" << QStringList()
            << "";
    // The switch answers the restore point's readout and the first three records, then
    // nothing.
    QTest::newRow("record 4 not acknowledged")
            << send << "English" << 8 << 1 << "quiet after 25" << okOk
            << "Sending to PORT failed at 14:02:11: record 4 of 8 not acknowledged" << QStringList()
            << "";
    // Requests and acknowledgements of the first three records, then nothing.
    QTest::newRow("record 4 not received")
            << read << "English" << 8 << 0 << "quiet after 10" << okOk
            << "Reading from PORT failed at 14:02:11: record 4 of 8 not received" << QStringList()
            << "";
    QTest::newRow("device removed")
            << read << "English" << 8 << 0 << "vanishes" << okOk
            << "Reading from PORT failed at 14:02:11: the device was removed" << QStringList()
            << "";
    // Record 2 is resent; the read-back finds what the acknowledgements hid.
    QTest::newRow("switch keeps its old record 1")
            << send << "English" << 8 << 1 << "keeps record 1" << okOk
            << "Sending to PORT failed at 14:02:11: Channel 1 differs after read-back."
            << QStringList() << "";

    QTest::newRow("read, German") << read << "Deutsch" << 4 << 0 << "" << ok
                                  << "Vorrix 8 von PORT gelesen um 14:02:11"
                                  << QStringList{"Lesen von PORT…",
                                                 "Lesen von PORT: Datensatz 1 von 8",
                                                 "Lesen von PORT: Datensatz 2 von 8",
                                                 "Lesen von PORT: Datensatz 3 von 8",
                                                 "Lesen von PORT: Datensatz 4 von 8",
                                                 "Lesen von PORT: Datensatz 5 von 8",
                                                 "Lesen von PORT: Datensatz 6 von 8",
                                                 "Lesen von PORT: Datensatz 7 von 8",
                                                 "Lesen von PORT: Datensatz 8 von 8",
                                                 ""}
                                  << "Read Vorrix 8 from PORT at 14:02:11";
    QTest::newRow("verified, one channel differs, German")
            << verify << "Deutsch" << 8 << 1 << "" << okOk
            << "Geprüft um 14:02:11: Der Switch weicht in 1 Kanal ab" << QStringList()
            << "Verified at 14:02:11: the switch differs in 1 channel";
    QTest::newRow("record 4 not acknowledged, German")
            << send << "Deutsch" << 8 << 1 << "quiet after 25" << okOk
            << "Senden an PORT fehlgeschlagen um 14:02:11: Datensatz 4 von 8 nicht bestätigt"
            << QStringList()
            << "Sending to PORT failed at 14:02:11: record 4 of 8 not acknowledged";
}

void tst_ExchangeReport::statusBar()
{
    QFETCH(QString, action);
    QFETCH(QString, language);
    QFETCH(int, shownChannels);
    QFETCH(int, changedChannels);
    QFETCH(QString, fault);
    QFETCH(QStringList, answers);
    QFETCH(QString, outcome);
    QFETCH(QStringList, progress);
    QFETCH(QString, english);

    SwitchEmulator emulator(8, inARow(8));
    QVERIFY(emulator.startOnPty());
    QString port = emulator.devicePath();
    QSerialPort holder;
    SwitchEmulator::Faults faults;
    if (fault == "missing") {
        port = m_dir.filePath(QStringLiteral("no-such-tty"));
    } else if (fault == "in use") {
        holder.setPortName(port);
        QVERIFY(holder.open(QIODevice::ReadWrite));
    } else if (fault == "no access") {
#ifdef Q_OS_UNIX
        if (::geteuid() == 0)
            QSKIP("root may open any device");
        QCOMPARE(::chmod(QFile::encodeName(port).constData(), 0), 0);
#else
        QSKIP("Unix permissions");
#endif
    } else if (fault == "silent") {
        faults.silent = true;
    } else if (fault.startsWith("quiet after ")) {
        faults.quietAfter = fault.mid(12).toInt();
    } else if (fault == "keeps record 1") {
        faults.lostRecords = 1u << 1;
        faults.keptRecord = 0;
        faults.strayShare = 1.0;
    } else if (fault == "vanishes") {
        connect(&emulator, &SwitchEmulator::frameReceived, this, [&emulator](quint8 command) {
            if (command == kCmdMouseSpeed)
                QTimer::singleShot(0, &emulator, [&emulator] { emulator.stop(); });
        });
    }
    emulator.setFaults(faults);

    std::unique_ptr<CorvaneCfg> window;
    {
        DialogAnswerer startup; // the new-configuration dialog
        window = std::make_unique<CorvaneCfg>();
    }
    window->setExtraPorts({port});
    window->deviceSequence().report().setClock([] { return QTime(14, 2, 11); });
    Configuration shown = inARow(shownChannels);
    for (int i = 0; i < changedChannels; ++i)
        shown.channels[i].resolutionX = 800;
    window->document().currentConfig = shown;
    window->document().modified = false;
    window->findChild<QAction *>("action_" + language)->trigger();

    auto *statusBar = window->findChild<QStatusBar *>("statusBar");
    QSignalSpy messages(statusBar, &QStatusBar::messageChanged);
    QVERIFY(messages.isValid());
    DialogAnswerer answerer(answers);
    window->findChild<QAction *>(action)->trigger();
    QVERIFY(runUntil(
            [&] {
                return answerer.done() && !window->deviceSequence().connectionInProgress()
                       && !window->deviceSequence().serialPort().isOpen();
            },
            30000));

    const auto *label = window->findChild<QLabel *>("exchangeOutcome");
    QVERIFY(label);
    // The group the device belongs to, as the system names it (dialout for serial ports).
    QCOMPARE(label->text(),
             QString(outcome).replace("PORT", port).replace("GROUP", QFileInfo(port).group()));
    QCOMPARE(statusBar->currentMessage(), QString());
    if (!progress.isEmpty()) {
        QStringList seen;
        for (const QList<QVariant> &m : std::as_const(messages)) {
            if (seen.isEmpty() || seen.last() != m.first().toString())
                seen << m.first().toString();
        }
        progress.replaceInStrings("PORT", port);
        QCOMPARE(seen, progress);
    }
    // The outcome follows a change of language; the next window starts in English.
    if (!english.isEmpty()) {
        window->findChild<QAction *>("action_English")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        QCOMPARE(label->text(), QString(english).replace("PORT", port));
    }
}

// A port that vanished under one exchange says nothing about the next one.
void tst_ExchangeReport::secondFailureHasItsOwnReason()
{
    SwitchEmulator first(8, inARow(8));
    SwitchEmulator second(8, inARow(8));
    QVERIFY(first.startOnPty() && second.startOnPty());
    SwitchEmulator::Faults quietAfter5;
    quietAfter5.quietAfter = 5;
    second.setFaults(quietAfter5);
    connect(&first, &SwitchEmulator::frameReceived, this, [&first](quint8 command) {
        if (command == kCmdMouseSpeed)
            QTimer::singleShot(0, &first, [&first] { first.stop(); });
    });
    std::unique_ptr<CorvaneCfg> window;
    {
        DialogAnswerer startup;
        window = std::make_unique<CorvaneCfg>();
    }
    DeviceSequence &sequence = window->deviceSequence();
    sequence.report().setClock([] { return QTime(14, 2, 11); });
    window->document().currentConfig = inARow(8);
    const auto *label = window->findChild<QLabel *>("exchangeOutcome");
    QVERIFY(label);
    const QString expected[2] = {"Reading from %1 failed at 14:02:11: the device was removed",
                                 "Reading from %1 failed at 14:02:11: record 2 of 8 not received"};
    const QString paths[2] = {first.devicePath(), second.devicePath()};
    for (int k = 0; k < 2; ++k) {
        window->setExtraPorts({paths[k]});
        DialogAnswerer answerer({"ok", "Ok"});
        window->findChild<QAction *>("actionReadout")->trigger();
        QVERIFY(runUntil(
                [&] {
                    return answerer.done() && !sequence.connectionInProgress()
                           && !sequence.serialPort().isOpen();
                },
                30000));
        QCOMPARE(label->text(), expected[k].arg(paths[k]));
    }
}

QTEST_MAIN(tst_ExchangeReport)
#include "tst_exchangereport.moc"
