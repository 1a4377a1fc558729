#include "document/datafolder.h"
#include "document/ovsfile.h"
#include "link/switchemulator.h"
#include "link/switchroom.h"
#include "rununtil.h"
#include "sampleconfiguration.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

namespace {

Configuration held(const SwitchEmulator &emulator)
{
    Configuration c = emulator.configuration();
    c.deviceChannels = c.channelCount;
    return c;
}

// The state column of every row, port by port.
QStringList states(const SwitchRoom &room)
{
    QStringList out;
    for (int i = 0; i < room.size(); ++i)
        out << room.stateText(i);
    return out;
}

} // namespace

// The room of switches against switches of 2, 4 and 8 channels and a port where nothing
// answers, each on a pseudo-terminal, with a data folder of the test's own.
class tst_SwitchRoom : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void checkTellsWhatChangedBehindTheOperatorsBack();
    void sendThenGoBack_data();
    void sendThenGoBack();

private:
    bool waitFor(SwitchRoom &room, SwitchRoom::Action action);

    QTemporaryDir m_dir;
    std::vector<std::unique_ptr<SwitchEmulator>> m_switches;
    std::unique_ptr<SwitchRoom> m_room;
};

void tst_SwitchRoom::initTestCase()
{
    QVERIFY(m_dir.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("data"))));
}

void tst_SwitchRoom::init()
{
    QDir(ovsDataFolder()).removeRecursively();
    m_room.reset();
    m_switches.clear();
    QStringList ports;
    for (int channels : {2, 4, 8, 4}) {
        m_switches.push_back(
                std::make_unique<SwitchEmulator>(channels, sample(quint32(channels), channels)));
        QVERIFY(m_switches.back()->startOnPty());
        ports << m_switches.back()->devicePath();
    }
    SwitchEmulator::Faults silent;
    silent.silent = true;
    m_switches.back()->setFaults(silent);
    m_room = std::make_unique<SwitchRoom>();
    m_room->setExtraPorts(ports);
    m_room->start();
    // The given ports come first, then whatever the system lists.
    QVERIFY(runUntil(
            [this] {
                for (int i = 0; i < 4; ++i) {
                    if (m_room->row(i).probing || !m_room->row(i).probe)
                        return false;
                }
                return true;
            },
            15000));
    m_room->stop();
}

bool tst_SwitchRoom::waitFor(SwitchRoom &room, SwitchRoom::Action action)
{
    bool done = false;
    const auto connection = connect(&room, &SwitchRoom::finished, this,
                                    [&](SwitchRoom::Action a) { done = a == action; });
    const bool ended = runUntil([&] { return done; }, 30000);
    disconnect(connection);
    return ended;
}

// Another PC changes one switch between two checks: only that row says so, and ovsctl
// status, reading the same switches, agrees with the window.
void tst_SwitchRoom::checkTellsWhatChangedBehindTheOperatorsBack()
{
    SwitchRoom &room = *m_room;
    QCOMPARE(room.switchText(0), QStringLiteral("Vorrix 2 at 115200 bit/s"));
    QCOMPARE(room.switchText(1), QStringLiteral("Vorrix 4 at 115200 bit/s"));
    QCOMPARE(room.switchText(2), QStringLiteral("Vorrix 8 at 115200 bit/s"));
    QCOMPARE(room.switchText(3), QStringLiteral("No answer"));

    const QList<int> rows{0, 1, 2, 3};
    QVERIFY(room.check(rows));
    QVERIFY(waitFor(room, SwitchRoom::Action::Check));
    QCOMPARE(states(room).mid(0, 4),
             (QStringList{"First read now", "First read now", "First read now", ""}));
    QVERIFY(room.lastExchangeText(1).endsWith(": read, ok"));

    Configuration changed = m_switches.at(1)->configuration();
    changed.mouseSpeed = quint8(changed.mouseSpeed % 10 + 1);
    changed.channels[1].left = quint8(changed.channels[1].left + 1);
    m_switches.at(1)->setConfiguration(changed);

    QVERIFY(room.check(rows));
    QVERIFY(waitFor(room, SwitchRoom::Action::Check));
    const QStringList second = states(room);
    QVERIFY2(second.at(0).startsWith("Same as at "), qPrintable(second.at(0)));
    QVERIFY2(second.at(1).startsWith("Changed since ")
                     && second.at(1).endsWith(": channel 2, mouse speed"),
             qPrintable(second.at(1)));
    QVERIFY2(second.at(2).startsWith("Same as at "), qPrintable(second.at(2)));

    // The window's check kept what it read: status finds the same, and says so.
    QStringList args{"status", "--json"};
    for (int i = 0; i < 4; ++i)
        args << "--port" << m_switches.at(size_t(i))->devicePath();
    QProcess status;
    status.start(QStringLiteral(OVSCTL_PATH), args);
    QVERIFY(status.waitForStarted());
    QVERIFY(runUntil([&] { return status.state() == QProcess::NotRunning; }, 30000, 10));
    QCOMPARE(status.exitCode(), 0);
    const QJsonArray ports = QJsonDocument::fromJson(status.readAllStandardOutput()).array();
    QStringList words;
    for (const QJsonValue &port : ports)
        words << port.toObject().value("state").toString();
    QCOMPARE(words, (QStringList{"same", "same", "same", "no answer"}));
}

void tst_SwitchRoom::sendThenGoBack_data()
{
    QTest::addColumn<bool>("changedMeanwhile");
    QTest::newRow("every switch goes back") << false;
    // Another program wrote one switch after the send: going back leaves it alone.
    QTest::newRow("a switch changed meanwhile is left alone") << true;
}

// One file to the 4-channel switch and the other port of its count; the 2- and 8-channel
// switches are not written. Going back puts each written switch back after a check.
void tst_SwitchRoom::sendThenGoBack()
{
    QFETCH(bool, changedMeanwhile);

    SwitchRoom &room = *m_room;
    std::vector<Configuration> before;
    for (const auto &emulator : m_switches)
        before.push_back(held(*emulator));
    const Configuration file = sample(99, 4);
    const QString path = m_dir.filePath(QStringLiteral("send.ovs"));
    QVERIFY(writeOvsFile(path, file));

    QVERIFY(room.send({0, 1, 2}, file, path));
    QVERIFY(waitFor(room, SwitchRoom::Action::Send));
    QCOMPARE(room.written(), QList<int>{1});
    QVERIFY(room.partlyWritten().isEmpty());
    QCOMPARE(encodeOvs(held(*m_switches.at(1))), encodeOvs(file));
    QCOMPARE(encodeOvs(held(*m_switches.at(0))), encodeOvs(before.at(0)));
    QVERIFY2(room.stateText(0).startsWith("Not sent: the switch has 2 channels, the file 4"),
             qPrintable(room.stateText(0)));
    QVERIFY2(room.stateText(1).startsWith("Sent Vorrix 4"), qPrintable(room.stateText(1)));

    Configuration other = sample(7, 4);
    if (changedMeanwhile)
        m_switches.at(1)->setConfiguration(other);
    QVERIFY(room.goBack(room.written()));
    QVERIFY(waitFor(room, SwitchRoom::Action::GoBack));
    if (changedMeanwhile) {
        QCOMPARE(encodeOvs(held(*m_switches.at(1))), encodeOvs(other));
        QVERIFY2(room.stateText(1).contains("no longer holds the configuration sent at"),
                 qPrintable(room.stateText(1)));
    } else {
        QCOMPARE(encodeOvs(held(*m_switches.at(1))), encodeOvs(before.at(1)));
    }
    const QList<JournalEntry> entries = Journal().read().entries;
    QCOMPARE(entries.last().action, QStringLiteral("go-back"));
    QCOMPARE(entries.last().source, QStringLiteral("window"));
    QCOMPARE(entries.last().outcome,
             changedMeanwhile ? QStringLiteral("failed") : QStringLiteral("ok"));
}

QTEST_GUILESS_MAIN(tst_SwitchRoom)
#include "tst_switchroom.moc"
