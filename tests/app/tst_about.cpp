#include "app/about.h"
#include "modalanswer.h"
#include "resources/stylesheet.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

class tst_About : public QObject
{
    Q_OBJECT

private slots:
    void form();
    void okCloses();
};

void tst_About::form()
{
    About dialog;
    dialog.setVersion(QStringLiteral("1.0.001 (00170)"));

    auto *version = dialog.findChild<QLabel *>(QStringLiteral("label_version"));
    QVERIFY(version);
    QCOMPARE(version->text(), QStringLiteral("Version 1.0.001 (00170)"));
    QVERIFY(version->font().bold());

    auto *banner = dialog.findChild<QLabel *>(QStringLiteral("label_3"));
    QVERIFY(banner);
    QCOMPARE(banner->pixmap().size(), QSize(131, 61));

    QVERIFY(dialog.windowTitle().startsWith(QStringLiteral("Z&Q")));
    QCOMPARE(dialog.styleSheet(), QString::fromLatin1(kStyleSheet));
    QCOMPARE(dialog.minimumSize(), QSize(501, 242));
    QCOMPARE(dialog.maximumSize(), QSize(501, 242));
}

void tst_About::okCloses()
{
    About dialog;
    ModalAnswer answer([](QWidget *modal) {
        QTest::mouseClick(modal->findChild<QPushButton *>(QStringLiteral("pushButtonOk")),
                          Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QVERIFY(answer.answered());
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(tst_About)
#include "tst_about.moc"
