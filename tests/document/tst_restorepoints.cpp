#include "document/ovsfile.h"
#include "document/restorepoints.h"
#include "sampleconfiguration.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

// A restore point as another run, another program or another PC left it: named and
// stamped `days` from now. Its path, or nothing when it could not be made.
QString plant(const QString &folder, int days, const QString &port, quint32 seed)
{
    const QDateTime time = QDateTime::currentDateTimeUtc().addDays(days).addSecs(seed);
    QFile file(QDir(folder).filePath(RestorePoints::fileName(time, port, 8)));
    const QByteArray bytes = encodeOvs(sample(seed, 8));
    const bool made = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
                      && file.flush() && file.setFileTime(time, QFileDevice::FileModificationTime);
    return made ? file.fileName() : QString();
}

} // namespace

class tst_RestorePoints : public QObject
{
    Q_OBJECT

private slots:
    void fileName_data();
    void fileName();
    void saveAndPrune();
    void pruning_data();
    void pruning();
    void saveFails();

private:
    QTemporaryDir m_dir;
};

void tst_RestorePoints::fileName_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("part");
    QTest::newRow("device path") << "/dev/pts/3"
                                 << "dev-pts-3";
    QTest::newRow("Windows port") << "COM3"
                                  << "COM3";
    QTest::newRow("Windows device path") << "\\\\.\\COM12"
                                         << "COM12";
    QTest::newRow("newline and tab") << "a\nb\tc"
                                     << "a-b-c";
    QTest::newRow("climbing out") << "../../etc/passwd"
                                  << "etc-passwd";
    QTest::newRow("reserved characters") << "x<>:\"|?*y"
                                         << "x-y";
    QTest::newRow("not ASCII") << "Schnittstelle ä"
                               << "Schnittstelle";
    QTest::newRow("empty") << ""
                           << "port";
    QTest::newRow("nothing usable") << "///"
                                    << "port";
    QTest::newRow("very long") << QString(300, 'p') << QString(60, 'p');
}

// Named by time in UTC, port and model; any port name gives one plain file name.
void tst_RestorePoints::fileName()
{
    QFETCH(QString, port);
    QFETCH(QString, part);
    const QDateTime time(QDate(2026, 12, 8), QTime(22, 17, 19, 5), Qt::OffsetFromUTC, 3600);
    QCOMPARE(RestorePoints::fileName(time, port, 4),
             QString("20261208T211719.005Z_%1_Vorrix-4.ovs").arg(part));
}

// Only the newest are kept, newest first, each holding what was saved, even when the
// saves of several runs follow each other within one millisecond.
void tst_RestorePoints::saveAndPrune()
{
    const QString folder = m_dir.filePath("points");
    QVERIFY(QDir().mkpath(folder));
    QFile other(folder + "/notes.ovs"); // not a restore point: never pruned
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.close();
    RestorePoints points(folder);
    for (quint32 seed = 1; seed <= 5; ++seed) {
        RestorePoints run(folder);
        run.setKept(3);
        QString error;
        const QString path = run.save(sample(seed, 8), "/dev/ttyUSB0", &error);
        QVERIFY2(!path.isEmpty(), qPrintable(error));
        QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(folder).absoluteFilePath());
    }
    const QStringList kept = points.list();
    QCOMPARE(kept.size(), 3);
    for (int k = 0; k < 3; ++k) {
        Configuration read;
        QCOMPARE(readOvsFile(kept.at(k), read), OvsLoadResult::Loaded);
        QVERIFY(read == sample(quint32(5 - k), 8));
    }
    QVERIFY(QFile::exists(folder + "/notes.ovs"));
}

void tst_RestorePoints::pruning_data()
{
    QTest::addColumn<int>("saves");       // by one object, as in one run
    QTest::addColumn<int>("aheadOfPort"); // restore points of the port dated a day ahead
    QTest::addColumn<int>("aheadOfOther");
    QTest::addColumn<QString>("oddOne"); // named like the oldest restore point of the port
    QTest::addColumn<bool>("olderKept"); // the port's restore point of yesterday

    // Kept: 3 per port. A clock that was ahead, or files from another PC.
    QTest::newRow("dated ahead, same port") << 1 << 3 << 0 << "" << false;
    QTest::newRow("dated ahead, other port") << 1 << 0 << 5 << "" << true;
    QTest::newRow("one run saves more than are kept") << 5 << 0 << 0 << "" << false;
    QTest::newRow("not an .ovs file") << 1 << 3 << 0 << "garbage" << false;
    QTest::newRow("a link to one") << 1 << 3 << 0 << "link" << false;
}

// What a save wrote stays, and is the newest, whatever the folder held; restore points of
// other ports and files that are no restore points are never pruned.
void tst_RestorePoints::pruning()
{
    QFETCH(int, saves);
    QFETCH(int, aheadOfPort);
    QFETCH(int, aheadOfOther);
    QFETCH(QString, oddOne);
    QFETCH(bool, olderKept);

    const QString folder = m_dir.filePath(QString("pruning-%1").arg(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(folder));
    const QString port = "COM3";
    const QString older = plant(folder, -1, port, 0);
    QVERIFY(!older.isEmpty());
    for (int k = 0; k < aheadOfPort; ++k)
        QVERIFY(!plant(folder, 1, port, quint32(k + 1)).isEmpty());
    for (int k = 0; k < aheadOfOther; ++k)
        QVERIFY(!plant(folder, 1, "COM9", quint32(k + 1)).isEmpty());
    const QString odd = QDir(folder).filePath(
            RestorePoints::fileName(QDateTime::currentDateTimeUtc().addDays(-2), port, 8));
    const QString outside = m_dir.filePath("outside.ovs");
    QFile target(outside);
    QVERIFY(target.open(QIODevice::WriteOnly) && target.write(encodeOvs(sample(9, 8))) > 0);
    target.close();
    if (oddOne == "garbage") {
        QFile file(odd);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("notes") == 5);
    } else if (oddOne == "link") {
        QVERIFY(QFile::link(outside, odd));
    }

    RestorePoints points(folder);
    points.setKept(3);
    QStringList saved;
    for (int k = 0; k < saves; ++k) {
        QString error;
        saved << points.save(sample(quint32(100 + k), 8), port, &error);
        QVERIFY2(!saved.last().isEmpty(), qPrintable(error));
    }
    for (const QString &path : saved)
        QVERIFY2(QFile::exists(path), qPrintable(path));
    QCOMPARE(points.list().filter("_COM3_").value(0), saved.last());
    QCOMPARE(QFile::exists(older), olderKept);
    QCOMPARE(QDir(folder).entryList({"*_COM9_*"}, QDir::Files).size(), aheadOfOther);
    if (!oddOne.isEmpty()) {
        struct stat st;
        QVERIFY(::lstat(QFile::encodeName(odd).constData(), &st) == 0);
        QVERIFY(!points.list().contains(odd));
    }
    QVERIFY(QFile::exists(outside));
}

void tst_RestorePoints::saveFails()
{
    QFile blocker(m_dir.filePath("file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    RestorePoints points(m_dir.filePath("file/points"));
    QString error;
    QCOMPARE(points.save(sample(1, 2), "COM1", &error), QString());
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(tst_RestorePoints)
#include "tst_restorepoints.moc"
