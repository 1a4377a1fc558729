#include "document/ovsfile.h"
#include "link/linkframe.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool putFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The type of what is at `path` itself, a link not followed; 0 when nothing is there.
mode_t nodeType(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
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
    void specialPaths_data();
    void specialPaths();
    void writeReplacesWholeFile();
    void writeFailureCreatesNothing();
    void writableFileInReadOnlyFolder();
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

void tst_OvsFile::specialPaths_data()
{
    QTest::addColumn<mode_t>("targetType"); // what is made at the target, 0 for nothing
    QTest::addColumn<bool>("viaLink");      // the path is a link to the target
    QTest::addColumn<OvsLoadResult>("read");
    QTest::addColumn<bool>("saved");

    const auto refused = OvsLoadResult::CouldNotOpen;
    QTest::newRow("FIFO") << mode_t(S_IFIFO) << false << refused << false;
    QTest::newRow("link to a FIFO") << mode_t(S_IFIFO) << true << refused << false;
    QTest::newRow("device node") << mode_t(S_IFCHR) << false << refused << false;
    QTest::newRow("link to a device node") << mode_t(S_IFCHR) << true << refused << false;
    QTest::newRow("folder") << mode_t(S_IFDIR) << false << refused << false;
    QTest::newRow("dangling link") << mode_t(0) << true << refused << false;
    QTest::newRow("link to a regular file")
            << mode_t(S_IFREG) << true << OvsLoadResult::Loaded << true;
}

// Any path a user names can be one of these. Opening a FIFO must not block, a device must
// not be read, nothing but a regular file may be replaced, and a save through a link goes
// into the file it names and keeps the link.
void tst_OvsFile::specialPaths()
{
    QFETCH(mode_t, targetType);
    QFETCH(bool, viaLink);
    QFETCH(OvsLoadResult, read);
    QFETCH(bool, saved);

    QTemporaryDir dir;
    const QString target = dir.filePath("target");
    const QByteArray targetName = QFile::encodeName(target);
    switch (targetType) {
    case S_IFIFO:
        QCOMPARE(::mkfifo(targetName.constData(), 0600), 0);
        break;
    case S_IFCHR:
        // A private twin of /dev/zero: a faulty save can only replace the test's own node.
        if (::mknod(targetName.constData(), S_IFCHR | 0600, makedev(1, 5)) != 0)
            QSKIP("Making a device node needs root.");
        break;
    case S_IFDIR:
        QVERIFY(QDir(dir.path()).mkdir("target"));
        break;
    case S_IFREG:
        QVERIFY(putFile(target, encodeOvs(fourChannels())));
        break;
    }
    QString path = target;
    if (viaLink) {
        path = dir.filePath("plan.ovs");
        QVERIFY(QFile::link("target", path));
    }
    const QStringList entries = QDir(dir.path()).entryList(QDir::AllEntries | QDir::System);

    // A read that blocks or never ends kills the test here instead of hanging it.
    ::alarm(10);
    Configuration staging;
    const OvsLoadResult readResult = readOvsFile(path, staging);
    const bool savedResult = writeOvsFile(path, example27());
    ::alarm(0);

    QCOMPARE(readResult, read);
    QCOMPARE(savedResult, saved);
    QCOMPARE(nodeType(target), targetType);
    if (viaLink)
        QCOMPARE(QFileInfo(path).symLinkTarget(), target);
    if (saved)
        QCOMPARE(fileBytes(target), encodeOvs(example27()));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System), entries);
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

// No temporary file can be made in a folder the user may not write to, so a file there
// that the user may write to is written in place. Root writes anywhere, so the save then
// runs as the unprivileged user "nobody".
void tst_OvsFile::writableFileInReadOnlyFolder()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("plan.ovs");
    QVERIFY(putFile(path, encodeOvs(fourChannels())));
    const auto readAll = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto searchAll = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    const auto writeAll = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    QVERIFY(QFile::setPermissions(path, readAll | writeAll));
    QVERIFY(QFile::setPermissions(dir.path(), readAll | searchAll));

    const pid_t child = fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        if (::geteuid() == 0
            && (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0))
            _exit(2);
        const QByteArray folder = QFile::encodeName(dir.path());
        if (::access(folder.constData(), W_OK) == 0
            || ::access(QFile::encodeName(path).constData(), W_OK) != 0)
            _exit(3);
        _exit(writeOvsFile(path, example27()) ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(QFile::setPermissions(dir.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QVERIFY(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2)
        QSKIP("Cannot become the user nobody.");
    if (WEXITSTATUS(status) == 3)
        QSKIP("The temporary folder does not give a read-only folder with a writable file.");
    QCOMPARE(WEXITSTATUS(status), 0);
    QCOMPARE(fileBytes(path), encodeOvs(example27()));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"plan.ovs"});
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
