#include "document/ovsfile.h"
#include "document/restorepoints.h"
#include "link/lastknown.h"
#include "link/ptypair.h"
#include "sampleconfiguration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

// What stands in the folder before.
enum class Planted { Nothing, Stale, OtherModel, Damaged, Fifo, Folder, Link, LinkedFolder };
// The names of the port that remember and recall are given.
enum class Names { Device, LinkThenDevice, DeviceThenLink };
enum class Outcome { Known, Unknown, Refused };

bool putFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// What stands at `path`, looked at without opening it, and the bytes of `content` (a file
// the planted thing leads to), so that a test sees anything replaced or written through.
QByteArray stateOf(const QString &path, const QString &content)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return "nothing";
    QByteArray state = S_ISLNK(st.st_mode)    ? "link"
                       : S_ISDIR(st.st_mode)  ? "folder"
                       : S_ISFIFO(st.st_mode) ? "FIFO"
                                              : "file";
    QFile f(content);
    if (!content.isEmpty() && f.open(QIODevice::ReadOnly))
        state += ':' + f.readAll().toHex();
    return state;
}

} // namespace

Q_DECLARE_METATYPE(Planted)
Q_DECLARE_METATYPE(Names)
Q_DECLARE_METATYPE(Outcome)

class tst_LastKnown : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void rememberAndRecall_data();
    void rememberAndRecall();

private:
    PtyPair m_pty;
};

void tst_LastKnown::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY2(m_pty.open(), qPrintable(m_pty.errorString()));
}

void tst_LastKnown::rememberAndRecall_data()
{
    QTest::addColumn<Planted>("planted");
    QTest::addColumn<Names>("names");
    QTest::addColumn<bool>("write"); // rememberWrite() rather than remember()
    QTest::addColumn<int>("sentChannels");
    QTest::addColumn<int>("switchChannels");
    QTest::addColumn<bool>("previousKnown");
    QTest::addColumn<Outcome>("outcome");

    using P = Planted;
    using N = Names;
    using O = Outcome;
    QTest::newRow("round trip") << P::Nothing << N::Device << false << 8 << 8 << false << O::Known;
    QTest::newRow("two names of one port share a file")
            << P::Nothing << N::LinkThenDevice << false << 4 << 4 << false << O::Known;
    QTest::newRow("another model is another file")
            << P::OtherModel << N::DeviceThenLink << false << 8 << 8 << false << O::Known;
    QTest::newRow("a damaged file is unknown and replaced")
            << P::Damaged << N::Device << false << 4 << 4 << false << O::Known;
    QTest::newRow("a FIFO in place of the file")
            << P::Fifo << N::Device << false << 8 << 8 << false << O::Refused;
    QTest::newRow("a folder in place of the file")
            << P::Folder << N::Device << false << 8 << 8 << false << O::Refused;
    QTest::newRow("a link in place of the file")
            << P::Link << N::Device << false << 8 << 8 << false << O::Refused;
    QTest::newRow("a link in place of the folder")
            << P::LinkedFolder << N::Device << false << 8 << 8 << false << O::Refused;
    QTest::newRow("a write of every record replaces what was known")
            << P::Stale << N::LinkThenDevice << true << 4 << 4 << false << O::Known;
    QTest::newRow("a write of fewer records over what the switch held")
            << P::Nothing << N::Device << true << 2 << 4 << true << O::Known;
    QTest::newRow("a write of fewer records, what the switch held unknown")
            << P::Stale << N::Device << true << 2 << 4 << false << O::Unknown;
    QTest::newRow("a write of more records than the switch has")
            << P::Nothing << N::Device << true << 8 << 4 << false << O::Known;
}

// Every name of a port finds what it was last known to hold, and nothing but a regular
// file of the folder's own is read, replaced or removed.
void tst_LastKnown::rememberAndRecall()
{
    QFETCH(Planted, planted);
    QFETCH(Names, names);
    QFETCH(bool, write);
    QFETCH(int, sentChannels);
    QFETCH(int, switchChannels);
    QFETCH(bool, previousKnown);
    QFETCH(Outcome, outcome);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath("last-known");
    const QString device = m_pty.slavePath();
    const QString link = dir.filePath("sw");
    QVERIFY(QFile::link(device, link));
    const QString rememberAs = names == Names::LinkThenDevice ? link : device;
    const QString recallAs = names == Names::DeviceThenLink ? link : device;
    const int model = write ? switchChannels : sentChannels;
    const QString name = RestorePoints::portPart(device) + QString("_Vorrix-%1.ovs").arg(model);
    QCOMPARE(LastKnown::fileName(link, model), name);

    const Configuration sent = sample(1, sentChannels);
    const Configuration previous = sample(2, switchChannels);
    const Configuration stale = sample(3, model);
    QString plantedPath = folder + '/' + name;
    QString content = dir.filePath("elsewhere.ovs");
    QVERIFY(putFile(content, encodeOvs(stale)));
    QVERIFY(QDir().mkpath(planted == Planted::LinkedFolder ? dir.filePath("elsewhere") : folder));
    switch (planted) {
    case Planted::Nothing:
        break;
    case Planted::Stale:
        QVERIFY(putFile(plantedPath, encodeOvs(stale)));
        break;
    case Planted::OtherModel:
        content = plantedPath = folder + '/' + LastKnown::fileName(device, 4);
        QVERIFY(putFile(content, encodeOvs(sample(4, 4))));
        break;
    case Planted::Damaged: {
        QByteArray bytes = encodeOvs(stale);
        bytes[bytes.size() - 1] = char(bytes.back() ^ 1);
        QVERIFY(putFile(plantedPath, bytes));
        break;
    }
    case Planted::Fifo:
        QCOMPARE(::mkfifo(QFile::encodeName(plantedPath).constData(), 0600), 0);
        content.clear();
        break;
    case Planted::Folder:
        QVERIFY(QDir().mkpath(plantedPath));
        content.clear();
        break;
    case Planted::Link:
        QVERIFY(QFile::link(content, plantedPath));
        break;
    case Planted::LinkedFolder:
        content = dir.filePath("elsewhere/" + name);
        QVERIFY(putFile(content, encodeOvs(stale)));
        QVERIFY(QFile::link(dir.filePath("elsewhere"), folder));
        plantedPath = folder;
        break;
    }
    const QByteArray before = stateOf(plantedPath, content);

    LastKnown lastKnown(folder);
    const std::optional<KnownConfiguration> earlier = lastKnown.recall(recallAs, model);
    QCOMPARE(earlier.has_value(), planted == Planted::Stale);
    if (earlier)
        QCOMPARE(encodeOvs(earlier->config), encodeOvs(stale));

    const QDateTime start = QDateTime::currentDateTime().addSecs(-1);
    QString error;
    const bool done = write ? lastKnown.rememberWrite(rememberAs, sent, switchChannels,
                                                      previousKnown ? &previous : nullptr, &error)
                            : lastKnown.remember(rememberAs, sent, &error);
    QCOMPARE(done, outcome != Outcome::Refused);
    QCOMPARE(error.isEmpty(), done);
    if (!done || planted == Planted::OtherModel)
        QCOMPARE(stateOf(plantedPath, content), before);

    // A later run, another object: only the folder carries what is known and its time.
    const std::optional<KnownConfiguration> later = LastKnown(folder).recall(recallAs, model);
    QCOMPARE(later.has_value(), outcome == Outcome::Known);
    if (!later)
        return;
    // Named after the device, whichever name was given.
    QVERIFY(QFileInfo(folder + '/' + name).isFile());
    QVERIFY(later->time >= start && later->time <= QDateTime::currentDateTime().addSecs(1));
    const Configuration &held = later->config;
    QCOMPARE(int(held.channelCount), model);
    QCOMPARE(held.switchingEnabled, sent.switchingEnabled);
    QCOMPARE(held.mouseSpeed, sent.mouseSpeed);
    // The switch keeps its records above the ones sent.
    for (int i = 0; i < model; ++i)
        QCOMPARE(held.channels[i], i < sentChannels ? sent.channels[i] : previous.channels[i]);
}

QTEST_GUILESS_MAIN(tst_LastKnown)
#include "tst_lastknown.moc"
