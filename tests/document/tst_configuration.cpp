#include "document/configuration.h"

#include <QTest>

class tst_Configuration : public QObject
{
    Q_OBJECT

private slots:
    void resetValues();
    void extents_data();
    void extents();
};

void tst_Configuration::resetValues()
{
    Configuration c;
    c.channelCount = 2;
    c.deviceChannels = 4;
    c.switchingEnabled = 0;
    c.mouseSpeed = 9;
    for (ChannelEntry &e : c.channels)
        e = ChannelEntry{1, 2, 3, 4, 5, 1920, 1080};

    resetConfiguration(c);

    QCOMPARE(c.channelCount, quint8(8));
    QCOMPARE(c.deviceChannels, quint8(8));
    QCOMPARE(c.switchingEnabled, quint8(1));
    QCOMPARE(c.mouseSpeed, quint8(5));
    for (const ChannelEntry &e : c.channels)
        QCOMPARE(e, ChannelEntry());
}

void tst_Configuration::extents_data()
{
    QTest::addColumn<Configuration>("config");
    QTest::addColumn<QList<int>>("expected"); // minLeft, minTop, maxRight, maxBottom

    Configuration empty;
    QTest::newRow("nothing placed") << empty << QList<int>{-1, -1, -1, -1};

    Configuration twoChannels;
    twoChannels.channelCount = 4;
    twoChannels.channels[0] = ChannelEntry{1, 2, 1, 4, 3, 0, 0};
    twoChannels.channels[2] = ChannelEntry{1, 6, 0, 9, 2, 0, 0};
    QTest::newRow("channels 1 and 3") << twoChannels << QList<int>{2, 0, 9, 3};

    // Entries at channelCount and above take part in nothing.
    Configuration beyondCount;
    beyondCount.channelCount = 2;
    beyondCount.channels[2] = ChannelEntry{1, 0, 0, 2, 2, 0, 0};
    beyondCount.channels[7] = ChannelEntry{1, 4, 4, 6, 6, 0, 0};
    QTest::newRow("placed only beyond the count") << beyondCount << QList<int>{-1, -1, -1, -1};

    Configuration noChannels = twoChannels;
    noChannels.channelCount = 0;
    QTest::newRow("channel count 0") << noChannels << QList<int>{-1, -1, -1, -1};

    // Only placed == 1 counts; a loaded file may hold other values.
    Configuration oddPlaced;
    oddPlaced.channelCount = 2;
    oddPlaced.channels[0] = ChannelEntry{2, 0, 0, 2, 2, 0, 0};
    oddPlaced.channels[1] = ChannelEntry{1, 3, 5, 5, 7, 0, 0};
    QTest::newRow("placed other than 1 ignored") << oddPlaced << QList<int>{3, 5, 5, 7};
}

void tst_Configuration::extents()
{
    QFETCH(Configuration, config);
    QFETCH(QList<int>, expected);
    QCOMPARE((QList<int>{minLeft(config), minTop(config), maxRight(config), maxBottom(config)}),
             expected);
}

QTEST_APPLESS_MAIN(tst_Configuration)
#include "tst_configuration.moc"
