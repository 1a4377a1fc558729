#include "document/ovsfile.h"
#include "link/linkframe.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

Q_DECLARE_METATYPE(OvsLoadResult)

namespace {

QByteArray readData(const QString &name)
{
    QFile f(QStringLiteral(OVS_TEST_DATA_DIR "/") + name);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// The configurations the two golden files hold.
Configuration example27()
{
    Configuration c;
    c.channelCount = 2;
    c.channels[0] = ChannelEntry{1, 0, 0, 2, 2, 1920, 1080};
    return c;
}

Configuration fourChannels()
{
    Configuration c;
    c.channelCount = 4;
    c.switchingEnabled = 0;
    c.mouseSpeed = 9;
    c.channels[0] = ChannelEntry{1, 0, 0, 2, 2, 1920, 1080};
    c.channels[1] = ChannelEntry{1, 2, 0, 4, 1, 1280, 1024};
    c.channels[2] = ChannelEntry{0, 0, 0, 0, 0, 800, 600};
    c.channels[3] = ChannelEntry{1, 0, 2, 3, 5, 3840, 2160};
    return c;
}

Configuration filledEightChannels()
{
    Configuration c;
    c.deviceChannels = 4;
    for (int i = 0; i < kMaxChannels; ++i)
        c.channels[i] = ChannelEntry{1,
                                     quint8(i),
                                     quint8(i),
                                     quint8(i + 1),
                                     quint8(i + 2),
                                     quint16(100 + i),
                                     quint16(200 + i)};
    return c;
}

} // namespace

class tst_OvsFile : public QObject
{
    Q_OBJECT

private slots:
    void goldenFiles_data();
    void goldenFiles();
    void damagedFiles_data();
    void damagedFiles();
    void loadKeepsWhatTheFileDoesNotHold();
    void randomRoundTrip();
    void readMissingFile();
    void writeReplacesWholeFile();
    void writeFailureCreatesNothing();
    void fullDiskKeepsOldFile();
};

void tst_OvsFile::goldenFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<Configuration>("config");
    QTest::newRow("2 channels, 27 bytes") << "example27.ovs" << example27();
    QTest::newRow("4 channels, 45 bytes") << "fourchannels45.ovs" << fourChannels();
}

// Both directions against files produced outside this code base.
void tst_OvsFile::goldenFiles()
{
    QFETCH(QString, file);
    QFETCH(Configuration, config);
    const QByteArray golden = readData(file);
    QCOMPARE(golden.size(), 9 + 9 * config.channelCount);

    QCOMPARE(encodeOvs(config).toHex(' '), golden.toHex(' '));

    Configuration staging;
    QCOMPARE(decodeOvs(golden, staging), OvsLoadResult::Loaded);
    QCOMPARE(staging, config);
}

void tst_OvsFile::damagedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<OvsLoadResult>("expected");

    const QByteArray good = readData("fourchannels45.ovs");
    QTest::newRow("empty") << QByteArray() << OvsLoadResult::Corrupt;
    QTest::newRow("one byte") << good.left(1) << OvsLoadResult::Corrupt;
    for (int offset : {0, 1}) {
        QByteArray b = good;
        b[offset] = char(b.at(offset) ^ 0x01);
        QTest::addRow("magic byte %d changed", offset) << b << OvsLoadResult::Corrupt;
    }
    // Changing byte 2 to another valid count moves the checksum position: still refused.
    for (int offset = 2; offset < good.size(); ++offset) {
        QByteArray b = good;
        b[offset] = char(b.at(offset) ^ 0x10);
        QTest::addRow("byte %d changed", offset) << b << OvsLoadResult::ChecksumError;
    }
    for (int size : {2, 4, 5, 13, 41, 44}) {
        QTest::addRow("cut to %d bytes", size) << good.left(size) << OvsLoadResult::ChecksumError;
    }
    QTest::newRow("trailing bytes ignored") << good + QByteArray("tail") << OvsLoadResult::Loaded;

    // Nine stored channels with a checksum over what is stored: the count is cut to 8
    // before it enters the checksum, so the file cannot pass.
    QByteArray nine("\x56\x65\x09\x01\x05", 5);
    nine.append(QByteArray(9 * 9, '\0'));
    const quint32 crc = computeCrc(nine);
    for (int k = 0; k < 4; ++k)
        nine.append(char(crc >> (8 * k)));
    QTest::newRow("nine channels") << nine << OvsLoadResult::ChecksumError;

    // Checksum made over the count cut to 8: still not a file of ours.
    QByteArray cut = encodeOvs(filledEightChannels());
    cut[2] = char(0x94);
    QTest::newRow("count 0x94, checksum over 8") << cut << OvsLoadResult::ChecksumError;

    Configuration none;
    none.channelCount = 0;
    QTest::newRow("no channels") << encodeOvs(none) << OvsLoadResult::Loaded;
}

void tst_OvsFile::damagedFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(OvsLoadResult, expected);
    Configuration staging;
    QCOMPARE(decodeOvs(bytes, staging), expected);
}

// A 2-channel file over an 8-channel configuration: entries 2..7 and the reported
// device channel count stay as they were.
void tst_OvsFile::loadKeepsWhatTheFileDoesNotHold()
{
    const Configuration before = filledEightChannels();
    Configuration staging = before;
    QCOMPARE(decodeOvs(readData("example27.ovs"), staging), OvsLoadResult::Loaded);

    QCOMPARE(staging.channelCount, quint8(2));
    QCOMPARE(staging.deviceChannels, before.deviceChannels);
    QCOMPARE(staging.channels[0], example27().channels[0]);
    QCOMPARE(staging.channels[1], ChannelEntry());
    for (int i = 2; i < kMaxChannels; ++i)
        QCOMPARE(staging.channels[i], before.channels[i]);
}

void tst_OvsFile::randomRoundTrip()
{
    QRandomGenerator rng(4711);
    for (int round = 0; round < 200; ++round) {
        Configuration c;
        c.channelCount = quint8(rng.bounded(kMaxChannels + 1));
        c.switchingEnabled = quint8(rng.bounded(256));
        c.mouseSpeed = quint8(rng.bounded(256));
        for (ChannelEntry &e : c.channels) {
            e = ChannelEntry{quint8(rng.bounded(256)),   quint8(rng.bounded(256)),
                             quint8(rng.bounded(256)),   quint8(rng.bounded(256)),
                             quint8(rng.bounded(256)),   quint16(rng.bounded(65536)),
                             quint16(rng.bounded(65536))};
        }
        const QByteArray bytes = encodeOvs(c);
        QCOMPARE(bytes.size(), 9 + 9 * c.channelCount);
        Configuration back = c;
        for (int i = 0; i < c.channelCount; ++i)
            back.channels[i] = ChannelEntry();
        QCOMPARE(decodeOvs(bytes, back), OvsLoadResult::Loaded);
        QCOMPARE(back, c);
        QCOMPARE(encodeOvs(back), bytes);
    }
}

void tst_OvsFile::readMissingFile()
{
    QTemporaryDir dir;
    const Configuration before = filledEightChannels();
    Configuration staging = before;
    QCOMPARE(readOvsFile(dir.filePath("missing.ovs"), staging), OvsLoadResult::CouldNotOpen);
    QCOMPARE(staging, before);
}

void tst_OvsFile::writeReplacesWholeFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("plan.ovs");
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(200, 'x'));
    }
    QVERIFY(writeOvsFile(path, example27()));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), readData("example27.ovs"));

    Configuration staging;
    QCOMPARE(readOvsFile(path, staging), OvsLoadResult::Loaded);
    QCOMPARE(staging, example27());
}

// A folder that cannot exist (its parent is a regular file) also stops root.
void tst_OvsFile::writeFailureCreatesNothing()
{
    QTemporaryDir dir;
    const QString blocker = dir.filePath("file");
    {
        QFile f(blocker);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(!writeOvsFile(blocker + "/plan.ovs", example27()));
    QVERIFY(!QFile::exists(blocker + "/plan.ovs"));
    QCOMPARE(QFile(blocker).size(), 0);
}

// A full disk must not leave a truncated file behind a reported success, nor touch the
// old file. The file size limit is set in a child so the test process keeps its own.
void tst_OvsFile::fullDiskKeepsOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("plan.ovs");
    const QByteArray old = readData("example27.ovs");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{20, 20};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(writeOvsFile(path, fourChannels()) ? 1 : 0);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0); // the write reported failure
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"plan.ovs"});
}

QTEST_GUILESS_MAIN(tst_OvsFile)
#include "tst_ovsfile.moc"
