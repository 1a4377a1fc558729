#include "document/newconfig.h"

#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class tst_NewConfig : public QObject
{
    Q_OBJECT

private slots:
    void preselection_data();
    void preselection();
    void startupMode_data();
    void startupMode();
};

void tst_NewConfig::preselection_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("checked");
    QTest::addColumn<QString>("choose");
    QTest::addColumn<int>("result");

    QTest::newRow("2 kept") << 2 << "radioVX2" << QString() << 2;
    QTest::newRow("4 kept") << 4 << "radioVX4" << QString() << 4;
    QTest::newRow("8 kept") << 8 << "radioVX8" << QString() << 8;
    QTest::newRow("4 changed to 8") << 4 << "radioVX4"
                                    << "radioVX8" << 8;
    // Counts from a foreign file: nothing is preselected and OK alone keeps the count.
    QTest::newRow("0 from a file") << 0 << QString() << QString() << 0;
    QTest::newRow("3 from a file") << 3 << QString() << QString() << 3;
    QTest::newRow("3 changed to 2") << 3 << QString() << "radioVX2" << 2;
}

void tst_NewConfig::preselection()
{
    QFETCH(int, count);
    QFETCH(QString, checked);
    QFETCH(QString, choose);
    QFETCH(int, result);

    NewConfig dialog;
    // A previous choice must not survive a count that selects nothing.
    dialog.findChild<QRadioButton *>(QStringLiteral("radioVX2"))->setChecked(true);
    dialog.setChannelCount(quint8(count));
    QCOMPARE(dialog.channelCount(), quint8(count));
    for (auto *radio : dialog.findChildren<QRadioButton *>())
        QCOMPARE(radio->isChecked(), radio->objectName() == checked);

    if (!choose.isEmpty())
        dialog.findChild<QRadioButton *>(choose)->click();
    dialog.findChild<QPushButton *>(QStringLiteral("pushOk"))->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(int(dialog.channelCount()), result);
    int checkedCount = 0;
    for (auto *radio : dialog.findChildren<QRadioButton *>())
        checkedCount += radio->isChecked() ? 1 : 0;
    QVERIFY(checkedCount <= 1);
}

void tst_NewConfig::startupMode_data()
{
    QTest::addColumn<bool>("startup");
    QTest::newRow("at start-up") << true;
    QTest::newRow("from the menu") << false;
}

void tst_NewConfig::startupMode()
{
    QFETCH(bool, startup);

    NewConfig dialog;
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("pushOk"));
    auto *cancel = dialog.findChild<QPushButton *>(QStringLiteral("pushCancel"));
    const QPoint okPos = ok->pos();
    const QPoint cancelPos = cancel->pos();
    dialog.setStartupMode(startup);
    dialog.show();

    QCOMPARE(cancel->isVisible(), !startup);
    QCOMPARE(ok->pos(), startup ? cancelPos : okPos);
    if (!startup) {
        cancel->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(!dialog.isVisible());
    }
}

QTEST_MAIN(tst_NewConfig)
#include "tst_newconfig.moc"
