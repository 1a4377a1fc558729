#include "document/journal.h"
#include "document/ovsfile.h"
#include "document/restorepoints.h"
#include "link/linkframe.h"
#include "link/serialportsetup.h"
#include "link/switchemulator.h"
#include "sampleconfiguration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <memory>

#include <sys/stat.h>

namespace {

// ovsctl runs as a child; the emulator lives in this process and answers from the
// event loop that QTRY_* keeps turning while the child runs.
struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

Run ovsctl(const QStringList &args, const QString &workingFolder = QString())
{
    QProcess p;
    p.setWorkingDirectory(workingFolder);
    p.start(QStringLiteral(OVSCTL_PATH), args);
    Run r;
    if (!p.waitForStarted())
        return r;
    // Not waitForFinished(): that would block the emulator's event loop.
    if (!QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 30000)) {
        p.kill();
        p.waitForFinished();
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool putFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

int writeRecordsSeen(const SwitchEmulator &emu)
{
    int n = 0;
    for (const LinkFrame &f : emu.receivedFrames())
        n += f.command == kCmdWriteRecord;
    return n;
}

const QString kTransmissionError = "An error occured during transmission! Action has failed.";

// Three screens side by side and below, switching on; channel 4 unplaced.
Configuration cleanLayout()
{
    Configuration c;
    c.channelCount = 4;
    c.mouseSpeed = 7;
    c.channels[0] = ChannelEntry{1, 0, 0, 2, 2, 1920, 1080};
    c.channels[1] = ChannelEntry{1, 2, 0, 4, 2, 1920, 1080};
    c.channels[2] = ChannelEntry{1, 0, 2, 2, 4, 1280, 1024};
    return c;
}

} // namespace

class tst_Ovsctl : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readout_data();
    void readout();
    void transmit_data();
    void transmit();
    void failedReadoutKeepsOldFile_data();
    void failedReadoutKeepsOldFile();
    void noisyLineNeverWritesWrongFile();
    void jsonRoundTrip();
    void emulateServesAndSaves();
    void fileAndUsageErrors_data();
    void fileAndUsageErrors();
    void checkVerifyAndDiff_data();
    void checkVerifyAndDiff();
    void fleet_data();
    void fleet();
    void journalAndRestorePoints_data();
    void journalAndRestorePoints();
    void unusableJournal_data();
    void unusableJournal();

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
};

void tst_Ovsctl::init()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(QFile::exists(QStringLiteral(OVSCTL_PATH)));
    // Restore points and the journal go to the test's folder, never the user's.
    qputenv("XDG_DATA_HOME", QFile::encodeName(path("data")));
}

void tst_Ovsctl::readout_data()
{
    QTest::addColumn<int>("channels");
    QTest::newRow("2 channels") << 2;
    QTest::newRow("4 channels") << 4;
    QTest::newRow("8 channels") << 8;
}

void tst_Ovsctl::readout()
{
    QFETCH(int, channels);
    const Configuration device = sample(quint8(channels), channels);
    SwitchEmulator emu(channels, device);
    QVERIFY(emu.startOnPty());
    const QString out = path(QString("read%1.ovs").arg(channels));
    const QString trace = path("trace.txt");

    const Run r = ovsctl({"read", "--port", emu.devicePath(), "--output", out, "--trace", trace});
    QCOMPARE(r.err, QString());
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(fileBytes(out).toHex(' '), encodeOvs(device).toHex(' '));

    const QByteArray log = fileBytes(trace);
    QVERIFY(log.contains(" TX 7F\n"));
    QVERIFY(log.contains(" TX 7E\n"));
    // Received bytes share a line only while they come close together, which a busy
    // machine can break up.
    QByteArray received;
    for (const QByteArray &line : log.split('\n'))
        if (const int at = line.indexOf(" RX "); at >= 0)
            received += line.mid(at + 3);
    QVERIFY(received.contains(" CE 80 02 00 7E 0" + QByteArray::number(channels)));
    QVERIFY(log.contains(" TX CE 06 00 00 49 F8 A7 E1\n"));
}

void tst_Ovsctl::transmit_data()
{
    QTest::addColumn<int>("fileChannels");
    QTest::addColumn<int>("switchChannels");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("recordsWritten");
    QTest::newRow("2 channels") << 2 << 2 << false << 0 << 2;
    QTest::newRow("8 channels") << 8 << 8 << false << 0 << 8;
    QTest::newRow("mismatch stops") << 4 << 8 << false << 1 << 0;
    QTest::newRow("mismatch with --yes") << 4 << 8 << true << 0 << 4;
}

void tst_Ovsctl::transmit()
{
    QFETCH(int, fileChannels);
    QFETCH(int, switchChannels);
    QFETCH(bool, yes);
    QFETCH(int, exitCode);
    QFETCH(int, recordsWritten);
    const Configuration before = sample(99, switchChannels);
    SwitchEmulator emu(switchChannels, before);
    QVERIFY(emu.startOnPty());
    const Configuration sent = sample(5, fileChannels);
    const QString file = path("send.ovs");
    QVERIFY(putFile(file, encodeOvs(sent)));

    // The sample layouts have problems; sending them anyway is what --force is for.
    QStringList args{"write", "--force", "--port", emu.devicePath(), file};
    if (yes)
        args << "--yes";
    const Run r = ovsctl(args);
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(writeRecordsSeen(emu), recordsWritten);
    QCOMPARE(emu.receivedFrames().last().command, quint8(kCmdClosing));
    const Configuration &stored = emu.configuration();
    if (exitCode == 0) {
        QCOMPARE(r.out.trimmed(), QString("Transmission complete!"));
        QCOMPARE(stored.mouseSpeed, sent.mouseSpeed);
        for (int i = 0; i < kMaxChannels; ++i)
            QCOMPARE(stored.channels[i], i < fileChannels ? sent.channels[i] : before.channels[i]);
    } else {
        // No question that nobody can answer: what would send anyway instead.
        QCOMPARE(r.err.trimmed(),
                 QString("Note that the connected Vorrix has %1 channels, but there were %2 "
                         "channels configured. Nothing was sent; --yes sends anyway.")
                         .arg(switchChannels)
                         .arg(fileChannels));
        QVERIFY(stored == before);
    }
}

enum class Failure { SilentSwitch, MissingPort, SwitchVanishes, NakStorm, InUseUnderOtherName };

void tst_Ovsctl::failedReadoutKeepsOldFile_data()
{
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("message");
    QTest::newRow("silent switch")
            << int(Failure::SilentSwitch)
            << "Cannot connect to target! Please check port, bitrate and startup mode.";
    // The first line says "in use" whatever the cause; the second says which.
    QTest::newRow("missing port") << int(Failure::MissingPort)
                                  << "Error connecting to serial port! Port in use.\n"
                                     "No such port.";
    QTest::newRow("switch vanishes") << int(Failure::SwitchVanishes) << kTransmissionError;
    QTest::newRow("refusals") << int(Failure::NakStorm) << kTransmissionError;
    // Two programs on one switch would take each other's answers.
    QTest::newRow("port in use under another name")
            << int(Failure::InUseUnderOtherName)
            << "Error connecting to serial port! Port in use.\n"
               "The port is in use by another program.";
}

// Every failure is one message, exit code 1, and the old output file byte for byte.
void tst_Ovsctl::failedReadoutKeepsOldFile()
{
    QFETCH(int, failure);
    QFETCH(QString, message);
    SwitchEmulator emu(8, sample(1, 8));
    QVERIFY(emu.startOnPty());
    QString port = emu.devicePath();
    QSerialPort otherProgram;
    SwitchEmulator::Faults faults;
    switch (Failure(failure)) {
    case Failure::SilentSwitch:
        faults.silent = true;
        break;
    case Failure::MissingPort:
        port = path("no-such-port");
        break;
    case Failure::SwitchVanishes:
        connect(&emu, &SwitchEmulator::frameReceived, &emu, [&emu] {
            if (emu.receivedFrames().size() == 5)
                emu.stop();
        });
        break;
    case Failure::NakStorm:
        faults.nakNext = 4;
        break;
    case Failure::InUseUnderOtherName:
        QVERIFY(openSerialPort(otherProgram, emu.devicePath(), 115200));
        port = path("by-id-link");
        QVERIFY(QFile::link(emu.devicePath(), port));
        break;
    }
    emu.setFaults(faults);
    const QString out = path("kept.ovs");
    const QByteArray old = encodeOvs(sample(42, 2));
    QVERIFY(putFile(out, old));

    const Run r = ovsctl({"read", "--port", port, "--output", out});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.err, message + "\n");
    QCOMPARE(fileBytes(out), old);
}

// Over a line that damages frames, headers included, a readout may fail, but a file it
// writes is right. Nine in ten such readouts get through; none at all means the
// recovery from damaged frames is broken.
void tst_Ovsctl::noisyLineNeverWritesWrongFile()
{
    int written = 0;
    for (quint32 seed : {3u, 4u, 5u}) {
        const Configuration device = sample(quint8(seed), 8);
        SwitchEmulator emu(8, device);
        SwitchEmulator::Faults noise;
        noise.corruptShare = 0.3;
        noise.seed = seed;
        noise.corruptHeaders = true;
        emu.setFaults(noise);
        QVERIFY(emu.startOnPty());
        const QString out = path(QString("noisy%1.ovs").arg(seed));
        const Run r = ovsctl({"read", "--port", emu.devicePath(), "--output", out});
        QVERIFY(emu.corruptedCount() > 0);
        if (r.exitCode == 0) {
            ++written;
            QCOMPARE(fileBytes(out), encodeOvs(device));
        } else {
            QCOMPARE(r.exitCode, 1);
            // A hello acknowledgement damaged beyond repair leaves no connection.
            QVERIFY2(r.err == kTransmissionError + "\n" || r.err.startsWith("Cannot connect"),
                     qPrintable(r.err));
            QVERIFY(!QFile::exists(out));
        }
    }
    qInfo("noisy readouts that completed: %d of 3", written);
    QVERIFY(written >= 1);
}

void tst_Ovsctl::jsonRoundTrip()
{
    const QString golden = QStringLiteral(OVS_SOURCE_DIR "/tests/document/data/fourchannels45.ovs");
    const Run shown = ovsctl({"show", golden, "--json"});
    QCOMPARE(shown.exitCode, 0);
    QVERIFY(shown.out.contains("\"resolutionX\": 3840"));
    const QString json = path("four.json");
    QVERIFY(putFile(json, shown.out.toUtf8()));

    const QString back = path("back.ovs");
    const Run imported = ovsctl({"import", json, "--output", back});
    QCOMPARE(imported.err, QString());
    QCOMPARE(imported.exitCode, 0);
    QCOMPARE(fileBytes(back), fileBytes(golden));

    const Run table = ovsctl({"show", golden});
    QCOMPARE(table.exitCode, 0);
    QVERIFY(table.out.contains("3840 X 2160"));
}

// The emulator as its own process: a link to its device, a transmission into it, and
// on SIGTERM the link removed and the received configuration saved.
void tst_Ovsctl::emulateServesAndSaves()
{
    const QString link = path("switch");
    const QString saved = path("saved.ovs");
    const QString sent = path("sent.ovs");
    QVERIFY(putFile(sent, encodeOvs(sample(8, 4))));
    QProcess emulate;
    emulate.start(QStringLiteral(OVSCTL_PATH),
                  {"emulate", "--channels", "4", "--link", link, "--save", saved});
    QVERIFY(emulate.waitForReadyRead(5000));
    const QString device = QString::fromLocal8Bit(emulate.readLine()).trimmed();
    QCOMPARE(QFileInfo(link).symLinkTarget(), device);

    const Run r = ovsctl({"write", "--force", "--port", link, sent});
    QCOMPARE(r.exitCode, 0);
    emulate.terminate();
    QVERIFY(emulate.waitForFinished(5000));
    QCOMPARE(emulate.exitCode(), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
    QCOMPARE(fileBytes(saved), fileBytes(sent));
}

void tst_Ovsctl::fileAndUsageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input"); // written to in.json / in.ovs first
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");

    const QByteArray good = encodeOvs(sample(2, 2));
    QByteArray badCrc = good;
    badCrc[5] = char(badCrc.at(5) ^ 1);
    QByteArray badMagic = good;
    badMagic[0] = 'X';
    const QByteArray json = R"({"channelCount": 1, "switchingEnabled": 1, "mouseSpeed": 5,
        "channels": [{"channel": 1, "placed": 1, "left": 0, "top": 0, "right": 2, "bottom": 2,
                      "resolutionX": 1920, "resolutionY": 1080}]})";
    QByteArray tooWide = json;
    tooWide.replace("\"right\": 2", "\"right\": 256");

    QTest::newRow("show missing file")
            << QStringList{"show", "@/missing.ovs"} << QByteArray() << 3 << "Could not open file!";
    QTest::newRow("show checksum error") << QStringList{"show", "@/in.ovs"} << badCrc << 3
                                         << "Checksum error while reading file!";
    QTest::newRow("show corrupt") << QStringList{"show", "@/in.ovs"} << badMagic << 3
                                  << "File corrupt! Could not read the file!";
    QTest::newRow("write corrupt file")
            << QStringList{"write", "--port", "@/no-port", "@/in.ovs"} << badMagic << 3
            << "File corrupt! Could not read the file!";
    QTest::newRow("import right 256") << QStringList{"import", "@/in.json", "--output", "@/out.ovs"}
                                      << tooWide << 3 << "\"right\" is 256, allowed are 0 to 255";
    QTest::newRow("import channel count 9")
            << QStringList{"import", "@/in.json", "--output", "@/out.ovs"}
            << QByteArray(json).replace("\"channelCount\": 1", "\"channelCount\": 9") << 3
            << "\"channelCount\" is 9";
    QTest::newRow("import not json") << QStringList{"import", "@/in.json", "--output", "@/out.ovs"}
                                     << QByteArray("{") << 3 << "not a JSON object";
    QTest::newRow("import an array") << QStringList{"import", "@/in.json", "--output", "@/out.ovs"}
                                     << QByteArray("[]") << 3 << "in.json: not a JSON object.\n";
    QTest::newRow("import over 1 MiB")
            << QStringList{"import", "@/in.json", "--output", "@/out.ovs"}
            << json + QByteArray(1 << 20, ' ') << 3 << "too large";
    // Special files: nothing may block, be read or be replaced.
    QTest::newRow("show a FIFO") << QStringList{"show", "@/fifo"} << QByteArray() << 3
                                 << "Could not open file!";
    QTest::newRow("write a link to /dev/zero")
            << QStringList{"write", "--port", "@/no-port", "@/zero"} << QByteArray() << 3
            << "Could not open file!";
    QTest::newRow("import a FIFO") << QStringList{"import", "@/fifo", "--output", "@/out.ovs"}
                                   << QByteArray() << 3 << "Could not open file!";
    QTest::newRow("import over a FIFO") << QStringList{"import", "@/in.json", "--output", "@/fifo"}
                                        << json << 3 << "Could not save file!";
    QTest::newRow("read over a FIFO")
            << QStringList{"read", "--port", "@/no-port", "--output", "@/fifo"} << QByteArray() << 3
            << "Could not save file!";
    QTest::newRow("emulate corrupting NaN")
            << QStringList{"emulate", "--channels", "2", "--corrupt", "nan"} << QByteArray() << 2
            << "--corrupt must be a number from 0 to 1";
    QTest::newRow("unknown command")
            << QStringList{"frobnicate"} << QByteArray() << 2 << "Unknown command";
    QTest::newRow("read without output")
            << QStringList{"read", "--port", "@/p"} << QByteArray() << 2 << "--output";
    QTest::newRow("bad bitrate") << QStringList{"read", "--port",   "@/p",      "--bitrate",
                                                "4800", "--output", "@/out.ovs"}
                                 << QByteArray() << 2 << "9600 or 115200";
    QTest::newRow("unknown option")
            << QStringList{"show", "--colour"} << QByteArray() << 2 << "colour";
    QTest::newRow("check missing file")
            << QStringList{"check", "@/missing.ovs"} << QByteArray() << 3 << "Could not open file!";
    QTest::newRow("diff one side")
            << QStringList{"diff", "@/in.ovs"} << good << 2 << "exactly two sides";
    // The backup would replace the file to send with the switch's old configuration.
    QTest::newRow("write --backup onto its input")
            << QStringList{"write", "--port", "@/no-port", "--backup", "@/in.ovs", "@/in.ovs"}
            << good << 2 << "--backup must name another file";
    QTest::newRow("write --backup onto a link to its input")
            << QStringList{"write", "--port", "@/no-port", "--backup", "@/in-link", "@/in.ovs"}
            << good << 2 << "--backup must name another file";
    // An empty name would open the folder /dev/.
    const QList<QStringList> emptyPort{
            {"read", "--port", "", "--output", "@/out.ovs"},
            {"write", "--port", "", "@/in.ovs"},
            {"probe", "--port", ""},
            {"backup", "--dir", "@/d", "--port", ""},
            {"restore", "--dir", "@/d", "--port", ""},
            {"history", "--port", ""},
    };
    for (const QStringList &args : emptyPort)
        QTest::addRow("%s --port \"\"", qPrintable(args.first())) << args << good << 2 << "--port";
    QTest::newRow("diff --port \"\"")
            << QStringList{"diff", "--port", "", "@/in.ovs"} << good << 2 << "--port needs";
}

void tst_Ovsctl::fileAndUsageErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QVERIFY(putFile(path("in.json"), input));
    QVERIFY(putFile(path("in.ovs"), input));
    QFile::remove(path("out.ovs"));
    const QByteArray fifo = QFile::encodeName(path("fifo"));
    QFile::remove(path("fifo"));
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    if (!QFileInfo(path("zero")).isSymLink())
        QVERIFY(QFile::link("/dev/zero", path("zero")));
    if (!QFileInfo(path("in-link")).isSymLink())
        QVERIFY(QFile::link(path("in.ovs"), path("in-link")));
    for (QString &a : args)
        a.replace("@/", m_dir.path() + "/");

    const Run r = ovsctl(args);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(!QFile::exists(path("out.ovs")));
    struct stat st;
    QVERIFY(::lstat(fifo.constData(), &st) == 0 && S_ISFIFO(st.st_mode));
}

void tst_Ovsctl::checkVerifyAndDiff_data()
{
    QTest::addColumn<QStringList>("args"); // @/ = the test folder, @port = the switch
    QTest::addColumn<int>("keptRecord");   // index the switch acknowledges but keeps
    QTest::addColumn<int>("connections");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    // The switch starts with channel 2 unplaced, so it differs from clean.ovs there.
    const QString channel2 = "Channel 2: placed yes → no, left 2 → 0, right 4 → 0, bottom 2 → 0\n";
    const QString badProblems = "The mouse speed is 0, but it can only be set from 1 to 10\n"
                                "Channel 3 touches no other screen\n";
    const QString sent = "Transmission complete!\n";
    const QString verified = "Verified: the switch holds what was sent.\n";

    QTest::newRow("check clean") << QStringList{"check", "@/clean.ovs"} << -1 << 0 << 0 << QString()
                                 << QString();
    QTest::newRow("check problems")
            << QStringList{"check", "@/bad.ovs"} << -1 << 0 << 4 << badProblems << QString();
    // Refused before the port is even opened.
    QTest::newRow("write refuses problems")
            << QStringList{"write", "--port", "@port", "@/bad.ovs"} << -1 << 0 << 4 << QString()
            << "write: @/bad.ovs has layout problems; nothing was sent (--force sends it "
               "anyway):\n"
                       + badProblems;
    // A screen without a resolution is a notice, not an error: it is sent.
    QTest::newRow("write sends a screen without resolution")
            << QStringList{"write", "--port", "@port", "@/unset.ovs"} << -1 << 1 << 0 << sent
            << QString();
    QTest::newRow("write --force --verify")
            << QStringList{"write", "--force", "--verify", "--port", "@port", "@/bad.ovs"} << -1
            << 2 << 0 << sent + verified << QString();
    QTest::newRow("verify finds a kept record")
            << QStringList{"write", "--verify", "--port", "@port", "@/clean.ovs"} << 1 << 2 << 1
            << sent
            << "Verification failed: the switch does not hold what was sent (sent → stored):\n"
                       + channel2;
    QTest::newRow("diff file and switch") << QStringList{"diff", "@/clean.ovs", "--port", "@port"}
                                          << -1 << 1 << 4 << channel2 << QString();
    QTest::newRow("diff switch and file")
            << QStringList{"diff", "--port", "@port", "@/clean.ovs"} << -1 << 1 << 4
            << "Channel 2: placed no → yes, left 0 → 2, right 0 → 4, bottom 0 → 2\n"
            << QString();
    QTest::newRow("diff equal files") << QStringList{"diff", "@/clean.ovs", "@/clean.ovs"} << -1
                                      << 0 << 0 << QString() << QString();
    // Channels are compared below the smaller count only.
    QTest::newRow("diff files")
            << QStringList{"diff", "@/clean.ovs", "@/other.ovs"} << -1 << 0 << 4
            << "Channel count: 4 → 2\nOrvanel Switching: on → off\nMouse speed: 7 → 9\n"
               "Channel 1: resolution 1920 X 1080 → 1280 X 1024\n"
            << QString();
}

void tst_Ovsctl::checkVerifyAndDiff()
{
    QFETCH(QStringList, args);
    QFETCH(int, keptRecord);
    QFETCH(int, connections);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    const Configuration clean = cleanLayout();
    Configuration bad = clean;
    bad.mouseSpeed = 0;
    bad.channels[2] = ChannelEntry{1, 5, 5, 7, 7, 1280, 1024};
    Configuration other = clean;
    other.channelCount = 2;
    other.switchingEnabled = 0;
    other.mouseSpeed = 9;
    other.channels[0].resolutionX = 1280;
    other.channels[0].resolutionY = 1024;
    QVERIFY(putFile(path("clean.ovs"), encodeOvs(clean)));
    QVERIFY(putFile(path("bad.ovs"), encodeOvs(bad)));
    QVERIFY(putFile(path("other.ovs"), encodeOvs(other)));
    Configuration unset = clean;
    unset.channels[0].resolutionX = unset.channels[0].resolutionY = 0;
    QVERIFY(putFile(path("unset.ovs"), encodeOvs(unset)));

    Configuration before = clean;
    before.channels[1] = ChannelEntry{0, 0, 0, 0, 0, 1920, 1080};
    SwitchEmulator emu(4, before);
    SwitchEmulator::Faults keeps;
    keeps.keptRecord = keptRecord;
    emu.setFaults(keeps);
    QVERIFY(emu.startOnPty());
    for (QString &a : args)
        a.replace("@/", m_dir.path() + "/").replace("@port", emu.devicePath());
    err.replace("@/", m_dir.path() + "/");

    const Run r = ovsctl(args);
    QCOMPARE(r.err, err);
    QCOMPARE(r.out, out);
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(emu.helloCount(), connections);
}

void tst_Ovsctl::fleet_data()
{
    // @pts2, @pts4, @pts8: the switches' devices; @/sw2, @/sw4, @/sw8, @/silent: links
    // to them and to a switch that never answers; @/ the test folder. The files of
    // @/rs/ hold other configurations than the switches.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QStringList>("files");  // "FILE=N": holds switch N's first configuration
    QTest::addColumn<QList<int>>("changed"); // switches that now hold their @/rs/ file

    const QString fourBackedUp = "@/sw4\tVorrix 4 at 115200 bit/s, saved to @/bk/sw4.ovs\n";
    QTest::newRow("probe names each model, a silent and a missing port")
            << QStringList{"probe", "--port", "@pts8",    "--port", "@pts2",    "--port",
                           "@pts4", "--port", "@/silent", "--port", "@/missing"}
            << 0
            << "@pts8\tVorrix 8 at 115200 bit/s\n@pts2\tVorrix 2 at 115200 bit/s\n"
               "@pts4\tVorrix 4 at 115200 bit/s\n@/silent\tno answer\n@/missing\tNo such port.\n"
            << QStringList() << QList<int>();
    QTest::newRow("probe keeps a port name with a line break on its line")
            << QStringList{"probe", "--port", "@/no\nsuch\tport"} << 1
            << "@/no\\nsuch\\tport\tNo such port.\n"
            << QStringList() << QList<int>();
    QTest::newRow("probe without an answer")
            << QStringList{"probe", "--port", "@/silent", "--bitrate", "9600"} << 1
            << "@/silent\tno answer\n"
            << QStringList() << QList<int>();
    // Named after the port as given, not after the device it leads to.
    QTest::newRow("backup of three switches")
            << QStringList{"backup", "--dir", "@/bk",   "--port", "@/sw4",
                           "--port", "@/sw8", "--port", "@/sw2"}
            << 0
            << fourBackedUp
                       + "@/sw8\tVorrix 8 at 115200 bit/s, saved to @/bk/sw8.ovs\n"
                         "@/sw2\tVorrix 2 at 115200 bit/s, saved to @/bk/sw2.ovs\n"
            << QStringList{"bk/sw4.ovs=4", "bk/sw8.ovs=8", "bk/sw2.ovs=2"} << QList<int>();
    QTest::newRow("backup with a silent port")
            << QStringList{"backup", "--dir", "@/bk",      "--port", "@/silent",
                           "--port", "@/sw4", "--bitrate", "115200"}
            << 1
            << "@/silent\tCannot connect to target! Please check port, bitrate and startup "
               "mode.\n"
                       + fourBackedUp
            << QStringList{"bk/sw4.ovs=4", "bk/silent.ovs=-"} << QList<int>();
    QTest::newRow("restore and verify")
            << QStringList{"restore", "--dir", "@/rs",    "--port",  "@/sw2",
                           "--port",  "@/sw8", "--force", "--verify"}
            << 0
            << "@/sw2\tTransmission complete! Verified: the switch holds what was sent.\n"
               "@/sw8\tTransmission complete! Verified: the switch holds what was sent.\n"
            << QStringList() << QList<int>{2, 8};
    // A 4-channel switch may talk at the low rate only: the restore finds it there.
    QTest::newRow("restore of Vorrix 4 onto a switch at 9600")
            << QStringList{"restore", "--dir", "@/rs", "--port", "@/sw4", "--force"} << 0
            << "@/sw4\tTransmission complete!\n"
            << QStringList() << QList<int>{4};
    QTest::newRow("restore without a file for one port")
            << QStringList{"restore", "--dir",  "@/rs",     "--port",
                           "@/sw4",   "--port", "@/silent", "--force"}
            << 1
            << "@/sw4\tTransmission complete!\n@/silent\t@/rs/silent.ovs: Could not open file!\n"
            << QStringList() << QList<int>{4};
    QTest::newRow("write --backup keeps the old configuration")
            << QStringList{"write",  "--force", "--backup",    "@/old.ovs",
                           "--port", "@/sw4",   "@/rs/sw4.ovs"}
            << 0 << "Saved the switch's configuration to @/old.ovs.\nTransmission complete!\n"
            << QStringList{"old.ovs=4"} << QList<int>{4};
    QTest::newRow("write --backup that cannot be saved sends nothing")
            << QStringList{"write",  "--force", "--backup",    "@/no-folder/old.ovs",
                           "--port", "@/sw4",   "@/rs/sw4.ovs"}
            << 1 << QString() << QStringList{"no-folder/old.ovs=-"} << QList<int>();
}

// Several switches on their own pseudo-terminals: lines in the order of the ports, the
// files that must and must not exist, and which switches were written.
void tst_Ovsctl::fleet()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QStringList, files);
    QFETCH(QList<int>, changed);

    std::map<int, std::unique_ptr<SwitchEmulator>> switches;
    for (int n : {2, 4, 8}) {
        switches[n] = std::make_unique<SwitchEmulator>(n, sample(quint32(n), n));
        QVERIFY(switches[n]->startOnPty());
    }
    if (QByteArray(QTest::currentDataTag()).endsWith("at 9600")) {
        SwitchEmulator::Faults slowLine;
        slowLine.onlyBitrate = 9600;
        switches[4]->setFaults(slowLine);
    }
    SwitchEmulator silent(4);
    SwitchEmulator::Faults answersNothing;
    answersNothing.silent = true;
    silent.setFaults(answersNothing);
    QVERIFY(silent.startOnPty());
    QDir(path("rs")).removeRecursively();
    QDir(path("bk")).removeRecursively();
    QFile::remove(path("old.ovs"));
    QVERIFY(QDir().mkpath(path("rs")));
    QStringList replacements;
    for (const auto &[n, emu] : switches) {
        const QString link = path(QString("sw%1").arg(n));
        QFile::remove(link);
        QVERIFY(QFile::link(emu->devicePath(), link));
        QVERIFY(putFile(path(QString("rs/sw%1.ovs").arg(n)), encodeOvs(sample(50 + n, n))));
        replacements << QString("@pts%1").arg(n) << emu->devicePath();
    }
    QFile::remove(path("silent"));
    QVERIFY(QFile::link(silent.devicePath(), path("silent")));
    replacements << "@/" << m_dir.path() + "/";
    auto expand = [&replacements](QString text) {
        for (qsizetype k = 0; k < replacements.size(); k += 2)
            text.replace(replacements.at(k), replacements.at(k + 1));
        return text;
    };
    for (QString &a : args)
        a = expand(a);

    const Run r = ovsctl(args);
    QCOMPARE(r.out, expand(out));
    QCOMPARE(r.exitCode, exitCode);
    for (const QString &file : files) {
        const QStringList f = file.split('=');
        if (f.at(1) == "-")
            QVERIFY2(!QFileInfo::exists(path(f.at(0))), qPrintable(f.at(0)));
        else
            QCOMPARE(fileBytes(path(f.at(0))),
                     encodeOvs(sample(f.at(1).toUInt(), f.at(1).toInt())));
    }
    for (const auto &[n, emu] : switches) {
        // A transmission writes the switching state, the mouse speed and n records.
        const Configuration expected = changed.contains(n) ? sample(50 + n, n) : sample(n, n);
        const Configuration &held = emu->configuration();
        QCOMPARE(held.mouseSpeed, expected.mouseSpeed);
        QCOMPARE(held.switchingEnabled, expected.switchingEnabled);
        for (int i = 0; i < n; ++i)
            QCOMPARE(held.channels[i], expected.channels[i]);
        // Every connection ends with the closing frame.
        if (!emu->receivedFrames().isEmpty())
            QCOMPARE(emu->receivedFrames().last().command, quint8(kCmdClosing));
    }
}

void tst_Ovsctl::journalAndRestorePoints_data()
{
    // @sw: a link to the switch, which holds `before`; @/ the test folder, where send.ovs
    // and rs/sw.ovs hold the configuration to send, send2.ovs one of fewer channels.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("blockRestorePoints"); // a file where their folder belongs
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("journal");   // "action:outcome" of the new entries
    QTest::addColumn<bool>("restorePoint"); // one holding `before` was taken
    QTest::addColumn<bool>("written");      // the switch now holds what was sent
    QTest::addColumn<QString>("file");      // of every new entry
    // last-known/ of the switch: "held" what it holds now, "stale" as it was before,
    // "none" no file, "" not looked at (the fleet commands keep it themselves)
    QTest::addColumn<QString>("known");

    QTest::newRow("write") << QStringList{"write", "--force", "--port", "@sw", "@/send.ovs"}
                           << false << false << 0 << "write:ok" << true << true << "@/send.ovs"
                           << "held";
    // Run in the test folder: the journal is read from anywhere.
    QTest::newRow("write, a relative name")
            << QStringList{"write", "--force", "--port", "@sw", "send.ovs"} << false << false << 0
            << "write:ok" << true << true << "@/send.ovs"
            << "held";
    QTest::newRow("write --verify")
            << QStringList{"write", "--force", "--verify", "--port", "@sw", "@/send.ovs"} << false
            << false << 0 << "write:ok verify:ok" << true << true << "@/send.ovs"
            << "held";
    QTest::newRow("write --no-restore-point")
            << QStringList{"write", "--force", "--no-restore-point", "--port", "@sw", "@/send.ovs"}
            << false << false << 0 << "write:ok" << false << true << "@/send.ovs"
            << "held";
    QTest::newRow("restore point cannot be kept")
            << QStringList{"write", "--force", "--port", "@sw", "@/send.ovs"} << false << true << 1
            << "write:failed" << false << false << "@/send.ovs"
            << "stale";
    QTest::newRow("write to a silent switch")
            << QStringList{"write", "--force", "--port", "@sw", "@/send.ovs"} << true << false << 1
            << "write:failed" << false << false << "@/send.ovs"
            << "stale";
    QTest::newRow("read") << QStringList{"read", "--port", "@sw", "--output", "@/out.ovs"} << false
                          << false << 0 << "read:ok" << false << false << "@/out.ovs"
                          << "held";
    // The switch keeps its records above the ones sent, known only from the restore point.
    QTest::newRow("write --yes of fewer channels")
            << QStringList{"write", "--force", "--yes", "--port", "@sw", "@/send2.ovs"} << false
            << false << 0 << "write:ok" << true << false << "@/send2.ovs"
            << "held";
    QTest::newRow("write --yes --no-restore-point of fewer channels")
            << QStringList{"write",  "--force", "--yes",      "--no-restore-point",
                           "--port", "@sw",     "@/send2.ovs"}
            << false << false << 0 << "write:ok" << false << false << "@/send2.ovs"
            << "none";
    QTest::newRow("restore --verify")
            << QStringList{"restore", "--force", "--verify", "--dir", "@/rs", "--port", "@sw"}
            << false << false << 0 << "restore:ok verify:ok" << true << true << "@/rs/sw.ovs"
            << "";
}

// Each exchange leaves its entries in the journal, which history lists past a damaged
// line; a write keeps the switch's previous configuration first, or writes nothing.
void tst_Ovsctl::journalAndRestorePoints()
{
    QFETCH(QStringList, args);
    QFETCH(bool, silent);
    QFETCH(bool, blockRestorePoints);
    QFETCH(int, exitCode);
    QFETCH(QString, journal);
    QFETCH(bool, restorePoint);
    QFETCH(bool, written);
    QFETCH(QString, file);
    QFETCH(QString, known);
    file.replace("@/", m_dir.path() + "/");

    const QString data = path("data/Orvanel Switching Config Tool");
    QDir(path("data")).removeRecursively();
    QVERIFY(QDir().mkpath(data));
    QVERIFY(putFile(data + "/journal.jsonl", "{\"time\": \"torn\n"));
    if (blockRestorePoints)
        QVERIFY(putFile(data + "/restore-points", "x"));
    const Configuration before = cleanLayout();
    const Configuration sent = sample(7, 4);
    QVERIFY(putFile(path("send.ovs"), encodeOvs(sent)));
    QVERIFY(QDir().mkpath(path("rs")));
    QVERIFY(putFile(path("rs/sw.ovs"), encodeOvs(sent)));
    QVERIFY(putFile(path("send2.ovs"), encodeOvs(sample(8, 2))));
    SwitchEmulator emu(4, before);
    SwitchEmulator::Faults faults;
    faults.silent = silent;
    emu.setFaults(faults);
    QVERIFY(emu.startOnPty());
    const QString port = path("sw");
    QFile::remove(port);
    QVERIFY(QFile::link(emu.devicePath(), port));
    for (QString &a : args)
        a.replace("@sw", port).replace("@/", m_dir.path() + "/");
    // Known from an earlier exchange; named after the device, not the link.
    const QString lastKnown
            = data + "/last-known/" + RestorePoints::portPart(emu.devicePath()) + "_Vorrix-4.ovs";
    const QByteArray stale = encodeOvs(sample(9, 4));
    QVERIFY(QDir().mkpath(data + "/last-known"));
    QVERIFY(putFile(lastKnown, stale));

    const Run r = ovsctl(args, m_dir.path());
    QCOMPARE(r.exitCode, exitCode);
    if (blockRestorePoints)
        QVERIFY2(r.err.contains("restore point"), qPrintable(r.err));
    QCOMPARE(encodeOvs(emu.configuration()) == encodeOvs(sent), written);
    const QStringList points = QDir(data + "/restore-points").entryList(QDir::Files);
    QCOMPARE(points.size(), restorePoint ? 1 : 0);
    if (restorePoint)
        QCOMPARE(fileBytes(data + "/restore-points/" + points.first()), encodeOvs(before));
    if (known == "held")
        QCOMPARE(fileBytes(lastKnown), encodeOvs(emu.configuration()));
    else if (!known.isEmpty())
        QCOMPARE(fileBytes(lastKnown), known == "stale" ? stale : QByteArray("<missing>"));

    const Run history = ovsctl({"history", "--json", "--port", port});
    QCOMPARE(history.exitCode, 0);
    QVERIFY2(history.err.contains("1 damaged line"), qPrintable(history.err));
    const QJsonArray entries = QJsonDocument::fromJson(history.out.toUtf8()).array();
    QStringList seen;
    for (const QJsonValue &v : entries) {
        const QJsonObject e = v.toObject();
        seen << e.value("action").toString() + ':' + e.value("outcome").toString();
        QCOMPARE(e.value("source").toString(), QString("ovsctl"));
        QCOMPARE(e.value("port").toString(), port);
        QCOMPARE(e.value("reason").toString().isEmpty(), e.value("outcome") == "ok");
        QCOMPARE(e.value("file").toString(), file);
        const QString action = e.value("action").toString();
        if (action == "write" || action == "restore") {
            Configuration fromFile;
            QCOMPARE(readOvsFile(file, fromFile), OvsLoadResult::Loaded);
            QCOMPARE(e.value("sha256").toString(), Journal::sha256Of(fromFile));
            QCOMPARE(e.value("restorePoint").toString(),
                     restorePoint ? data + "/restore-points/" + points.first() : QString());
        }
    }
    QCOMPARE(seen.join(' '), journal);
}

void tst_Ovsctl::unusableJournal_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("planted"); // in the data folder: "FIFO:NAME", "folder:NAME"
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message"); // on standard error, "" for nothing at all
    QTest::addColumn<int>("entries");     // history: the entries printed

    const QStringList history{"history", "--json"};
    const QStringList read{"read", "--port", "@/no-port", "--output", "@/out.ovs"};
    QTest::newRow("nothing journalled yet") << history << "" << 0 << "" << 0;
    QTest::newRow("history, journal is a folder") << history << "folder:journal.jsonl" << 3
                                                  << "journal.jsonl is a folder, not a file" << 0;
    QTest::newRow("history, lock is a FIFO")
            << history << "FIFO:journal.jsonl.lock" << 0
            << "read without its lock: " + path("data/Orvanel Switching Config Tool")
                       + "/journal.jsonl.lock is a FIFO, not a file"
            << 1;
    QTest::newRow("read, lock is a FIFO") << read << "FIFO:journal.jsonl.lock" << 1
                                          << "journal.jsonl.lock is a FIFO, not a file" << -1;
    QTest::newRow("history, journal over 64 MiB")
            << history << "large:journal.jsonl" << 0
            << "older entries were skipped because the journal is larger than 64 MiB" << 1;
}

// What stands in place of the journal's files: no command hangs, history says what kept
// entries from it, and nothing journalled yet is an empty history.
void tst_Ovsctl::unusableJournal()
{
    QFETCH(QStringList, args);
    QFETCH(QString, planted);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QFETCH(int, entries);

    const QString data = path("data/Orvanel Switching Config Tool");
    QDir(path("data")).removeRecursively();
    QVERIFY(QDir().mkpath(data));
    JournalEntry entry;
    entry.time = QDateTime::currentDateTime();
    entry.source = "ovsctl";
    entry.action = "read";
    entry.outcome = "ok";
    const QByteArray line
            = QJsonDocument(Journal::toJson(entry)).toJson(QJsonDocument::Compact) + '\n';
    const QString kind = planted.section(':', 0, 0);
    const QString name = data + '/' + planted.section(':', 1);
    if (kind == "FIFO") {
        QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
        QVERIFY(putFile(data + "/journal.jsonl", line));
    } else if (kind == "folder") {
        QVERIFY(QDir().mkpath(name));
    } else if (kind == "large") {
        QVERIFY(putFile(name, QByteArray(Journal::kLargestReadBytes, ' ') + '\n' + line));
    }
    for (QString &a : args)
        a.replace("@/", m_dir.path() + "/");

    const Run r = ovsctl(args);
    QCOMPARE(r.exitCode, exitCode);
    if (message.isEmpty())
        QCOMPARE(r.err, QString());
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    if (entries >= 0)
        QCOMPARE(QJsonDocument::fromJson(r.out.toUtf8()).array().size(), entries);
    QDir(path("data")).removeRecursively();
}

QTEST_GUILESS_MAIN(tst_Ovsctl)
#include "tst_ovsctl.moc"
