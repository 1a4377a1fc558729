#include "document/journal.h"
#include "document/ovsfile.h"
#include "sampleconfiguration.h"

#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

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
    QByteArray good = line(entry("COM1", 7));
    good.chop(1);
    QTest::newRow("torn line") << good.left(good.size() / 2) + '\n' << 1;
    QTest::newRow("two entries run together") << good + good + '\n' << 1;
    QTest::newRow("an array") << QByteArray("[1,2]\n") << 1;
    QTest::newRow("a field missing") << QByteArray(good).replace("\"sha256\"", "\"sha512\"") + '\n'
                                     << 1;
    QTest::newRow("a field not text")
            << QByteArray(good).replace("\"outcome\":\"ok\"", "\"outcome\":1") + '\n'
            << 1;
    QTest::newRow("a time that is none")
            << QByteArray(good).replace("\"time\":\"", "\"time\":\"x") + '\n'
            << 1;
    QTest::newRow("binary bytes and a lone CR")
            << QByteArray("\x00\xff\xfe{\n\r\n", 7) + "{\"time\":\n"
            << 2;
    QTest::newRow("blank lines are no damage") << QByteArray("\n   \n\n") << 0;
}

// Lines that are no entry are skipped and counted; the entries around them stay.
void tst_Journal::damagedLines()
{
    QFETCH(QByteArray, bad);
    QFETCH(int, damaged);
    const QString path = m_dir.filePath("damaged.jsonl");
    QFile::remove(path);
    QVERIFY(appendBytes(path, line(entry("COM1", 1)) + bad + line(entry("COM2", 2))));
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

QTEST_GUILESS_MAIN(tst_Journal)
#include "tst_journal.moc"
