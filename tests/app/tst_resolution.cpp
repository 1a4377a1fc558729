#include "app/resolution.h"
#include "modalanswer.h"
#include "resources/stylesheet.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class tst_Resolution : public QObject
{
    Q_OBJECT

private slots:
    void form();
    void typedValues_data();
    void typedValues();
    void widthIsSelectedForOverwrite();
    void buttonsEndTheDialog_data();
    void buttonsEndTheDialog();
    void commonResolutions_data();
    void commonResolutions();
};

void tst_Resolution::form()
{
    Resolution dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Set Resolution"));
    QCOMPARE(dialog.styleSheet(), QString::fromLatin1(kStyleSheet));
    QCOMPARE(dialog.minimumSize(), QSize(282, 150));
    QCOMPARE(dialog.maximumSize(), QSize(282, 150));
    // A fresh dialog reads as "not set".
    QCOMPARE(dialog.xValue(), 0);
    QCOMPARE(dialog.yValue(), 0);
    // Channel indices count from 0, the operator's channel numbers from 1.
    dialog.setChannel(2);
    QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("labelChannel"))->text(),
             QStringLiteral("Channel 3"));
}

// What the operator leaves in the fields, as keys typed over a cleared field.
void tst_Resolution::typedValues_data()
{
    QTest::addColumn<QString>("typedX");
    QTest::addColumn<QString>("typedY");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");

    QTest::newRow("full HD") << "1920"
                             << "1080" << 1920 << 1080;
    QTest::newRow("both empty") << ""
                                << "" << 0 << 0;
    QTest::newRow("largest") << "9999"
                             << "9999" << 9999 << 9999;
    QTest::newRow("fifth digit dropped") << "12800"
                                         << "10240" << 1280 << 1024;
    QTest::newRow("letters refused") << "12a8"
                                     << "x" << 128 << 0;
    QTest::newRow("leading zero") << "0800"
                                  << "600" << 800 << 600;
}

void tst_Resolution::typedValues()
{
    QFETCH(QString, typedX);
    QFETCH(QString, typedY);
    QFETCH(int, x);
    QFETCH(int, y);

    Resolution dialog;
    auto *editX = dialog.findChild<QLineEdit *>(QStringLiteral("lineEditX"));
    auto *editY = dialog.findChild<QLineEdit *>(QStringLiteral("lineEditY"));
    QVERIFY(editX && editY);
    editX->clear();
    editY->clear();
    editX->home(false);
    editY->home(false);
    QTest::keyClicks(editX, typedX);
    QTest::keyClicks(editY, typedY);
    QCOMPARE(dialog.xValue(), x);
    QCOMPARE(dialog.yValue(), y);
}

// Opened from a tile with 1920 x 1080: typing straight away replaces the width.
void tst_Resolution::widthIsSelectedForOverwrite()
{
    Resolution dialog;
    dialog.setXValue(1920);
    dialog.setYValue(1080);

    bool focused = false;
    QString selected;
    ModalAnswer answer([&](QWidget *modal) {
        auto *editX = modal->findChild<QLineEdit *>(QStringLiteral("lineEditX"));
        focused = modal->focusWidget() == editX;
        selected = editX->selectedText();
        QTest::keyClicks(editX, QStringLiteral("1280"));
        QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("pushSet")),
                          Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));

    QVERIFY(answer.answered());
    QVERIFY(focused);
    QCOMPARE(selected, QStringLiteral("1920"));
    QCOMPARE(dialog.xValue(), 1280);
    QCOMPARE(dialog.yValue(), 1080);
}

void tst_Resolution::buttonsEndTheDialog_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");

    QTest::newRow("Set") << QStringLiteral("pushSet") << int(QDialog::Accepted);
    QTest::newRow("Cancel") << QStringLiteral("pushCancel") << int(QDialog::Rejected);
}

void tst_Resolution::buttonsEndTheDialog()
{
    QFETCH(QString, button);
    QFETCH(int, result);

    Resolution dialog;
    dialog.setXValue(1280);
    dialog.setYValue(720);
    ModalAnswer answer([button](QWidget *modal) {
        QTest::mouseClick(modal->findChild<QPushButton *>(button), Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), result);
    QVERIFY(answer.answered());
    // Set does not validate or alter anything.
    QCOMPARE(dialog.xValue(), 1280);
    QCOMPARE(dialog.yValue(), 720);
}

// The list of common resolutions and the two fields show the same pair.
void tst_Resolution::commonResolutions_data()
{
    QTest::addColumn<int>("startX");
    QTest::addColumn<int>("startY");
    QTest::addColumn<QString>("picked"); // empty: nothing picked from the list
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QString>("shown");

    QTest::newRow("an entry fills both fields")
            << 0 << 0 << QStringLiteral("1920 × 1080") << 1920 << 1080 << "1920 × 1080";
    QTest::newRow("an entry replaces both values")
            << 1280 << 1024 << QStringLiteral("3840 × 2160") << 3840 << 2160 << "3840 × 2160";
    QTest::newRow("a common pair shows its entry")
            << 1280 << 1024 << QString() << 1280 << 1024 << "1280 × 1024";
    QTest::newRow("an unusual pair shows none") << 1234 << 567 << QString() << 1234 << 567 << "";
    QTest::newRow("not set shows none") << 0 << 0 << QString() << 0 << 0 << "";
}

void tst_Resolution::commonResolutions()
{
    QFETCH(int, startX);
    QFETCH(int, startY);
    QFETCH(QString, picked);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(QString, shown);

    Resolution dialog;
    dialog.setXValue(startX);
    dialog.setYValue(startY);
    auto *list = dialog.findChild<QComboBox *>(QStringLiteral("comboBoxCommon"));
    QVERIFY(list);
    if (!picked.isEmpty()) {
        const int index = list->findText(picked);
        QVERIFY(index >= 0);
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    QCOMPARE(dialog.xValue(), x);
    QCOMPARE(dialog.yValue(), y);
    QCOMPARE(list->currentText(), shown);
}

QTEST_MAIN(tst_Resolution)
#include "tst_resolution.moc"
