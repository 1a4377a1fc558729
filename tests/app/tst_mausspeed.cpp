#include "app/mausspeed.h"
#include "modalanswer.h"
#include "resources/stylesheet.h"

#include <QPushButton>
#include <QSlider>
#include <QTest>

class tst_MausSpeed : public QObject
{
    Q_OBJECT

private slots:
    void form();
    void speedIsClamped_data();
    void speedIsClamped();
    void pageStepMovesByTwo();
    void buttonsEndTheDialog_data();
    void buttonsEndTheDialog();
};

void tst_MausSpeed::form()
{
    MausSpeed dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Mouse speed"));
    QCOMPARE(dialog.styleSheet(), QString::fromLatin1(kStyleSheet));
    QCOMPARE(dialog.minimumSize(), QSize(330, 93));
    QCOMPARE(dialog.maximumSize(), QSize(330, 93));
    QVERIFY(!dialog.windowIcon().isNull());
}

void tst_MausSpeed::speedIsClamped_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("shown");

    QTest::newRow("zero from an old file") << 0 << 1;
    QTest::newRow("slowest") << 1 << 1;
    QTest::newRow("default") << 5 << 5;
    QTest::newRow("fastest") << 10 << 10;
    QTest::newRow("one too fast") << 11 << 10;
    QTest::newRow("largest byte") << 255 << 10;
}

void tst_MausSpeed::speedIsClamped()
{
    QFETCH(int, stored);
    QFETCH(int, shown);

    MausSpeed dialog;
    dialog.setSpeed(stored);
    QCOMPARE(dialog.speed(), shown);
}

void tst_MausSpeed::pageStepMovesByTwo()
{
    MausSpeed dialog;
    dialog.setSpeed(5);
    auto *slider = dialog.findChild<QSlider *>(QStringLiteral("horizontalSlider"));
    QVERIFY(slider);
    slider->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(dialog.speed(), 7);
    slider->triggerAction(QAbstractSlider::SliderPageStepSub);
    slider->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCOMPARE(dialog.speed(), 3);
}

void tst_MausSpeed::buttonsEndTheDialog_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");

    QTest::newRow("Set") << QStringLiteral("pushSet") << int(QDialog::Accepted);
    QTest::newRow("Cancel") << QStringLiteral("pushCancel") << int(QDialog::Rejected);
}

void tst_MausSpeed::buttonsEndTheDialog()
{
    QFETCH(QString, button);
    QFETCH(int, result);

    MausSpeed dialog;
    ModalAnswer answer([button](QWidget *modal) {
        QTest::mouseClick(modal->findChild<QPushButton *>(button), Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), result);
    QVERIFY(answer.answered());
}

QTEST_MAIN(tst_MausSpeed)
#include "tst_mausspeed.moc"
