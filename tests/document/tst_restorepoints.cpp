#include "document/ovsfile.h"
#include "document/restorepoints.h"
#include "sampleconfiguration.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class tst_RestorePoints : public QObject
{
    Q_OBJECT

private slots:
    void fileName_data();
    void fileName();
    void saveAndPrune();
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

// Only the newest are kept, newest first, each holding what was saved, even when saves
// follow each other within one millisecond.
void tst_RestorePoints::saveAndPrune()
{
    const QString folder = m_dir.filePath("points");
    RestorePoints points(folder);
    points.setKept(3);
    QVERIFY(QDir().mkpath(folder));
    QFile other(folder + "/notes.ovs"); // not a restore point: never pruned
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.close();
    for (quint32 seed = 1; seed <= 5; ++seed) {
        QString error;
        const QString path = points.save(sample(seed, 8), "/dev/ttyUSB0", &error);
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
