#include "document/journal.h"
#include "document/ovsfile.h"
#include "sampleconfiguration.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

JournalEntry entry(const QString &port, int seq)
{
    JournalEntry e;
    e.time = QDateTime::currentDateTime();
    e.source = "ovsctl";
    e.action = "write";
    e.port = port;
    e.model = Journal::modelName(8);
    e.outcome = "ok";
    e.reason = QString::number(seq);
    e.file = "/tmp/a.ovs";
    e.restorePoint = "/tmp/rp.ovs";
    e.sha256 = Journal::sha256Of(sample(quint32(seq), 8));
    return e;
}

QByteArray line(const JournalEntry &e)
{
    return QJsonDocument(Journal::toJson(e)).toJson(QJsonDocument::Compact) + '\n';
}

bool appendBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Append) && f.write(bytes) == bytes.size();
}

} // namespace

class tst_Journal : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
    void damagedLines_data();
    void damagedLines();
    void concurrentAppends();
    void boundedSize();
    void largeJournal_data();
    void largeJournal();
    void specialFiles_data();
    void specialFiles();

private:
    QTemporaryDir m_dir;
};

// Every field comes back as written, whatever characters it holds, and the JSON holds
// exactly the ten fields with the time's offset from UTC.
void tst_Journal::roundTrip()
{
    const QString path = m_dir.filePath("rt/journal.jsonl");
    QFile::remove(path);
    Journal journal(path);
    JournalEntry odd = entry("/dev/pts/3\n\t\"COM3\" ä", 1);
    odd.time = QDateTime(QDate(2026, 12, 8), QTime(21, 17, 19, 123), Qt::OffsetFromUTC, 3600);
    odd.reason = "An error occured during transmission!\nAction has failed.";
    JournalEntry unset = entry("COM3", 2);
    unset.time = QDateTime();
    QString error;
    QVERIFY2(journal.append(odd, &error), qPrintable(error));
    QVERIFY2(journal.append(unset, &error), qPrintable(error));

    int damaged = -1;
    const QList<JournalEntry> read = journal.entries(&damaged);
    QCOMPARE(damaged, 0);
    QCOMPARE(read.size(), 2);
    QVERIFY(read.at(0) == odd);
    QCOMPARE(read.at(1).port, unset.port);
    // An entry without a time gets the time it was added.
    QVERIFY(qAbs(read.at(1).time.secsTo(QDateTime::currentDateTime())) < 60);

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QCOMPARE(lines.size(), 3); // two lines and the empty rest after the last newline
    const QJsonObject json = QJsonDocument::fromJson(lines.at(0)).object();
    QCOMPARE(json.keys(), (QStringList{"action", "file", "model", "outcome", "port", "reason",
                                       "restorePoint", "sha256", "source", "time"}));
    QCOMPARE(json.value("time").toString(), QString("2026-12-08T21:17:19.123+01:00"));
    QVERIFY(QRegularExpression(
                    "^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}[+-]\\d\\d:\\d\\d$")
                    .match(QJsonDocument::fromJson(lines.at(1)).object().value("time").toString())
                    .hasMatch());
    QCOMPARE(Journal::sha256Of(sample(1, 8)).size(), 64);
    QVERIFY(Journal::sha256Of(sample(1, 8)) != Journal::sha256Of(sample(2, 8)));

    // A journal that cannot be written is a result, not a crash.
    QVERIFY(appendBytes(m_dir.filePath("plain"), "x"));
    Journal blocked(m_dir.filePath("plain/journal.jsonl"));
    QVERIFY(!blocked.append(odd, &error));
    QVERIFY(!error.isEmpty());
}

void tst_Journal::damagedLines_data()
{
    QTest::addColumn<QByteArray>("bad");
    QTest::addColumn<int>("damaged");
    QTest::addColumn<QByteArray>("end"); // what the file ends with before the append
    QByteArray good = line(entry("COM1", 7));
    good.chop(1);
    QTest::newRow("torn line") << good.left(good.size() / 2) + '\n' << 1 << QByteArray();
    QTest::newRow("two entries run together") << good + good + '\n' << 1 << QByteArray();
    QTest::newRow("an array") << QByteArray("[1,2]\n") << 1 << QByteArray();
    QTest::newRow("a field missing") << QByteArray(good).replace("\"sha256\"", "\"sha512\"") + '\n'
                                     << 1 << QByteArray();
    QTest::newRow("a field not text")
            << QByteArray(good).replace("\"outcome\":\"ok\"", "\"outcome\":1") + '\n'
            << 1 << QByteArray();
    QTest::newRow("a time that is none")
            << QByteArray(good).replace("\"time\":\"", "\"time\":\"x") + '\n'
            << 1 << QByteArray();
    QTest::newRow("binary bytes and a lone CR")
            << QByteArray("\x00\xff\xfe{\n\r\n", 7) + "{\"time\":\n"
            << 2 << QByteArray();
    QTest::newRow("blank lines are no damage") << QByteArray("\n   \n\n") << 0 << QByteArray();
    // Power lost in the middle of a write: the next entry starts on a line of its own.
    QTest::newRow("torn last line") << QByteArray() << 1 << good.left(good.size() / 2);
}

// Lines that are no entry are skipped and counted; the entries around them stay.
void tst_Journal::damagedLines()
{
    QFETCH(QByteArray, bad);
    QFETCH(int, damaged);
    QFETCH(QByteArray, end);
    const QString path = m_dir.filePath("damaged.jsonl");
    QFile::remove(path);
    QVERIFY(appendBytes(path, line(entry("COM1", 1)) + bad + line(entry("COM2", 2)) + end));
    Journal journal(path);
    QVERIFY(journal.append(entry("COM3", 3)));

    int counted = -1;
    const QList<JournalEntry> read = journal.entries(&counted);
    QCOMPARE(counted, damaged);
    QStringList ports;
    for (const JournalEntry &e : read)
        ports << e.port;
    QCOMPARE(ports, (QStringList{"COM1", "COM2", "COM3"}));
}

// Several processes append at once, each entry larger than a write buffer: every entry
// arrives whole and exactly once.
void tst_Journal::concurrentAppends()
{
    constexpr int kProcesses = 8;
    constexpr int kEach = 100;
    const QString path = m_dir.filePath("concurrent/journal.jsonl");
    const QString padding(5000, QLatin1Char('x'));
    // The children start together when the pipe closes, so that their appends overlap.
    int start[2];
    QCOMPARE(::pipe(start), 0);
    QList<pid_t> children;
    for (int c = 0; c < kProcesses; ++c) {
        const pid_t pid = ::fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            ::close(start[1]);
            char byte;
            [[maybe_unused]] const ssize_t n = ::read(start[0], &byte, 1);
            Journal journal(path);
            journal.setMaxBytes(qint64(64) << 20);
            bool ok = true;
            for (int i = 0; i < kEach; ++i) {
                JournalEntry e = entry(QString("child%1").arg(c), i);
                e.file = padding;
                ok = journal.append(e) && ok;
            }
            ::_exit(ok ? 0 : 1);
        }
        children << pid;
    }
    ::close(start[0]);
    ::close(start[1]);
    for (const pid_t pid : children) {
        int status = 0;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    int damaged = -1;
    const QList<JournalEntry> read = Journal(path).entries(&damaged);
    QCOMPARE(damaged, 0);
    QCOMPARE(read.size(), kProcesses * kEach);
    QSet<QString> seen;
    for (const JournalEntry &e : read) {
        QCOMPARE(e.file, padding);
        seen.insert(e.port + '/' + e.reason);
    }
    QCOMPARE(seen.size(), kProcesses * kEach);
}

// Past the bound the journal moves to PATH.1; the newest entries stay, oldest first.
void tst_Journal::boundedSize()
{
    const QString path = m_dir.filePath("bounded/journal.jsonl");
    Journal journal(path);
    journal.setMaxBytes(4000);
    constexpr int kWritten = 100;
    for (int i = 0; i < kWritten; ++i)
        QVERIFY(journal.append(entry("COM1", i)));
    QVERIFY(QFileInfo(path).size() <= 4000);
    QVERIFY(QFileInfo(path + ".1").size() <= 4000);

    const QList<JournalEntry> read = journal.entries();
    QVERIFY(read.size() > 4000 / line(entry("COM1", 0)).size());
    QVERIFY(read.size() < kWritten);
    for (qsizetype k = 0; k < read.size(); ++k)
        QCOMPARE(read.at(k).reason.toInt(), kWritten - read.size() + k);
}

void tst_Journal::largeJournal_data()
{
    QTest::addColumn<QByteArray>("before"); // the bytes ahead of the newest kLargestReadBytes
    QTest::addColumn<QByteArray>("first");  // where those begin
    QTest::addColumn<QStringList>("ports");

    const QByteArray old = line(entry("OLD", 1));
    const QByteArray first = line(entry("FIRST", 2));
    QTest::newRow("cut inside a line")
            << old + first.left(10) << first.mid(10) << QStringList{"LAST"};
    QTest::newRow("cut where a line starts") << old << first << QStringList{"FIRST", "LAST"};
    QTest::newRow("exactly the bound")
            << QByteArray() << old + first << QStringList{"OLD", "FIRST", "LAST"};
}

// Of a journal grown past what is read, the newest entries are read, the line cut off at
// their start is dropped, and the reading says that older ones were skipped.
void tst_Journal::largeJournal()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, first);
    QFETCH(QStringList, ports);

    const QByteArray last = line(entry("LAST", 3));
    // Blanks are no damage: the newest bytes are `first`, blanks and `last`.
    QByteArray bytes = before + first;
    bytes.append(QByteArray(Journal::kLargestReadBytes - first.size() - last.size() - 1, ' '));
    bytes.append('\n');
    bytes.append(last);
    QCOMPARE(bytes.size() - before.size(), Journal::kLargestReadBytes);
    const QString path = m_dir.filePath("large.jsonl");
    QFile::remove(path);
    QVERIFY(appendBytes(path, bytes));
    bytes.clear();

    const JournalReading reading = Journal(path).read();
    QStringList read;
    for (const JournalEntry &e : reading.entries)
        read << e.port;
    QCOMPARE(read, ports);
    QCOMPARE(reading.damaged, 0);
    QCOMPARE(reading.olderSkipped, !before.isEmpty());
    QVERIFY(reading.error.isEmpty());
    QFile::remove(path);
}

void tst_Journal::specialFiles_data()
{
    QTest::addColumn<QString>("name"); // in the journal's folder, or the folder itself
    QTest::addColumn<bool>("fifo");    // else a folder (or, for the folder, a file)
    QTest::addColumn<QString>("why");
    QTest::addColumn<int>("readable"); // entries still read
    QTest::addColumn<bool>("readError");

    QTest::newRow("lock is a FIFO") << "journal.jsonl.lock" << true
                                    << "journal.jsonl.lock is a FIFO, not a file" << 1 << false;
    QTest::newRow("lock is a folder") << "journal.jsonl.lock" << false
                                      << "journal.jsonl.lock is a folder, not a file" << 1 << false;
    QTest::newRow("journal is a folder")
            << "journal.jsonl" << false << "journal.jsonl is a folder, not a file" << 0 << true;
    QTest::newRow("rotated journal is a FIFO")
            << "journal.jsonl.1" << true << "journal.jsonl.1 is a FIFO, not a file" << 1 << true;
    QTest::newRow("folder is a file") << "" << false << "is a file, not a folder" << 0 << true;
}

// Whatever stands in place of a file of the journal: appending is refused at once and
// says what is wrong, reading reads what it can, and neither blocks or waits.
void tst_Journal::specialFiles()
{
    QFETCH(QString, name);
    QFETCH(bool, fifo);
    QFETCH(QString, why);
    QFETCH(int, readable);
    QFETCH(bool, readError);

    const QString folder = m_dir.filePath(QString("special-%1").arg(QTest::currentDataTag()));
    const QString path = folder + "/journal.jsonl";
    const QString special = name.isEmpty() ? folder : folder + '/' + name;
    if (!name.isEmpty()) {
        QVERIFY(QDir().mkpath(folder));
        if (name != "journal.jsonl")
            QVERIFY(appendBytes(path, line(entry("COM1", 1))));
    }
    if (fifo)
        QCOMPARE(::mkfifo(QFile::encodeName(special).constData(), 0600), 0);
    else if (name.isEmpty())
        QVERIFY(appendBytes(special, "x"));
    else
        QVERIFY(QDir().mkpath(special));

    Journal journal(path);
    journal.setMaxBytes(1); // any append rotates
    QElapsedTimer took;
    took.start();
    // A blocking open kills the test here instead of hanging it.
    ::alarm(20);
    QString error;
    const bool appended = journal.append(entry("COM2", 2), &error);
    const JournalReading reading = journal.read();
    ::alarm(0);
    QVERIFY(took.elapsed() < 2000);
    QVERIFY(!appended);
    QVERIFY2(error.contains(why), qPrintable(error));
    QCOMPARE(reading.entries.size(), readable);
    QCOMPARE(!reading.error.isEmpty(), readError);
    QVERIFY2(reading.error.isEmpty() || reading.error.contains(why), qPrintable(reading.error));
    QCOMPARE(reading.unlocked.contains(why), name.endsWith(".lock"));
    struct stat st;
    QCOMPARE(::lstat(QFile::encodeName(special).constData(), &st), 0);
    QCOMPARE(S_ISFIFO(st.st_mode), fifo);
}

QTEST_GUILESS_MAIN(tst_Journal)
#include "tst_journal.moc"
