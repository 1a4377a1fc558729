#include "app/windowplacement.h"

#include <QTest>

class tst_WindowPlacement : public QObject
{
    Q_OBJECT

private slots:
    void placement_data();
    void placement();
};

void tst_WindowPlacement::placement_data()
{
    QTest::addColumn<int>("screenCount");
    QTest::addColumn<QRect>("primary");
    QTest::addColumn<QRect>("desktop");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QPoint>("expected");

    const QRect fullHd(0, 0, 1920, 1080);
    const QSize window(1016, 768);

    QTest::newRow("one screen") << 1 << fullHd << fullHd << window << QPoint(452, 156);
    // Centred on the left half of the desktop, i.e. on the left screen.
    QTest::newRow("two screens side by side")
            << 2 << fullHd << QRect(0, 0, 3840, 1080) << window << QPoint(452, 156);
    // Only sizes count: a primary screen that is not at the origin changes nothing.
    QTest::newRow("primary screen off the origin")
            << 1 << QRect(1920, 0, 1920, 1080) << QRect(0, 0, 3840, 1080) << window
            << QPoint(452, 156);
    // Odd extents: (1365 / 2) - (1015 / 2) = 682 - 507; (767 / 2) - (767 / 2) = 0.
    QTest::newRow("window as tall as the screen")
            << 1 << QRect(0, 0, 1366, 768) << QRect(0, 0, 1366, 768) << window << QPoint(175, 0);
    QTest::newRow("screen smaller than the window")
            << 1 << QRect(0, 0, 1024, 600) << QRect(0, 0, 1024, 600) << window << QPoint(4, 0);
    QTest::newRow("three screens in a row")
            << 3 << fullHd << QRect(0, 0, 5760, 1080) << window << QPoint(932, 156);
}

void tst_WindowPlacement::placement()
{
    QFETCH(int, screenCount);
    QFETCH(QRect, primary);
    QFETCH(QRect, desktop);
    QFETCH(QSize, window);
    QFETCH(QPoint, expected);

    QCOMPARE(windowPlacement(screenCount, primary, desktop, window), expected);
}

QTEST_APPLESS_MAIN(tst_WindowPlacement)
#include "tst_windowplacement.moc"
