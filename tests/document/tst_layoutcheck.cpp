#include "document/layoutcheck.h"

#include <QTest>

#include <initializer_list>

namespace {

struct Tile
{
    int channel; // 1 to 8
    int left, top, right, bottom;
};

// Switching on, mouse speed 5, every listed tile placed with a resolution.
Configuration layout(int count, std::initializer_list<Tile> tiles)
{
    Configuration c;
    c.channelCount = quint8(count);
    for (const Tile &t : tiles) {
        c.channels[t.channel - 1] = ChannelEntry{
                1, quint8(t.left), quint8(t.top), quint8(t.right), quint8(t.bottom), 1920, 1080};
    }
    return c;
}

} // namespace

class tst_LayoutCheck : public QObject
{
    Q_OBJECT

private slots:
    void problems_data();
    void problems();
};

void tst_LayoutCheck::problems_data()
{
    QTest::addColumn<Configuration>("config");
    QTest::addColumn<QStringList>("expected");

    // Side by side, one below; unplaced entries with leftovers take part in nothing.
    Configuration clean = layout(4, {{1, 0, 0, 2, 2}, {2, 2, 0, 4, 2}, {3, 0, 2, 2, 4}});
    clean.channels[3] = ChannelEntry{0, 9, 9, 1, 1, 0, 0};
    clean.mouseSpeed = 10;
    QTest::newRow("clean") << clean << QStringList();
    // The same with the lower channel right of and below the higher ones.
    QTest::newRow("clean, mirrored")
            << layout(4, {{1, 2, 2, 4, 4}, {2, 0, 2, 2, 4}, {3, 2, 0, 4, 2}}) << QStringList();

    Configuration count = layout(3, {});
    QTest::newRow("channel count 3")
            << count << QStringList{"The channel count is 3, but a Vorrix has 2, 4 or 8 channels"};

    Configuration speed = layout(2, {});
    speed.mouseSpeed = 0;
    QTest::newRow("mouse speed 0")
            << speed << QStringList{"The mouse speed is 0, but it can only be set from 1 to 10"};

    Configuration switching = layout(2, {});
    switching.switchingEnabled = 2;
    QTest::newRow("switching value 2")
            << switching
            << QStringList{"Orvanel Switching holds 2, but it can only be on (1) or off (0)"};

    Configuration placedValue = layout(2, {{1, 0, 0, 2, 2}});
    placedValue.channels[1] = ChannelEntry{2, 2, 0, 4, 2, 1920, 1080};
    QTest::newRow("placement value 2")
            << placedValue
            << QStringList{"Channel 2 has the invalid placement value 2 (only 0 and 1 are valid)"};

    // Beyond the count only placed = 1 is reported, whatever else the entry holds.
    Configuration beyond = layout(2, {{1, 0, 0, 2, 2}, {2, 2, 0, 4, 2}, {5, 0, 0, 2, 2}});
    beyond.channels[3] = ChannelEntry{2, 0, 0, 0, 0, 0, 0};
    QTest::newRow("placed beyond the count")
            << beyond
            << QStringList{"Channel 5 is placed, but the configuration has only 2 channels"};

    QTest::newRow("no area")
            << layout(2, {{1, 4, 0, 2, 2}, {2, 2, 0, 4, 2}})
            << QStringList{"Channel 1 is placed but has no area, so it cannot be shown"};

    QTest::newRow("too small") << layout(2, {{1, 0, 0, 1, 2}, {2, 1, 0, 3, 2}})
                               << QStringList{"Channel 1 is smaller than 2 × 2 cells"};

    Configuration noResolution = layout(2, {{1, 0, 0, 2, 2}, {2, 2, 0, 4, 2}});
    noResolution.channels[1].resolutionX = 0;
    QTest::newRow("no resolution") << noResolution << QStringList{"Channel 2 has no resolution"};

    // Overlapping screens count as connected, so nothing else is said about them.
    QTest::newRow("overlap") << layout(2, {{1, 0, 0, 2, 2}, {2, 1, 1, 3, 3}})
                             << QStringList{"Channels 1 and 2 overlap"};

    QTest::newRow("isolated") << layout(4, {{1, 0, 0, 2, 2}, {2, 2, 0, 4, 2}, {3, 6, 0, 8, 2}})
                              << QStringList{"Channel 3 touches no other screen"};

    QTest::newRow("corner only") << layout(2, {{1, 0, 0, 2, 2}, {2, 2, 2, 4, 4}})
                                 << QStringList{"Channel 1 touches no other screen",
                                                "Channel 2 touches no other screen"};

    Configuration cornerOff = layout(2, {{1, 0, 0, 2, 2}, {2, 2, 2, 4, 4}});
    cornerOff.switchingEnabled = 0;
    QTest::newRow("corner only, switching off") << cornerOff << QStringList();

    QTest::newRow("single screen") << layout(2, {{2, 5, 5, 7, 7}}) << QStringList();

    QTest::newRow("two groups")
            << layout(8, {{1, 0, 0, 2, 2}, {4, 0, 2, 2, 4}, {2, 5, 0, 7, 2}, {3, 7, 0, 9, 2}})
            << QStringList{"Channels 2, 3 form a group that the pointer cannot reach from "
                           "channel 1"};

    // Staggered tiles: each shares one cell of edge with the next.
    QTest::newRow("8-channel chain") << layout(8, {{1, 0, 0, 2, 2},
                                                   {2, 2, 1, 4, 3},
                                                   {3, 4, 0, 6, 2},
                                                   {4, 6, 1, 8, 3},
                                                   {5, 8, 0, 10, 2},
                                                   {6, 10, 1, 13, 3},
                                                   {7, 13, 0, 15, 2},
                                                   {8, 15, 1, 17, 4}})
                                     << QStringList();

    // Whole-record problems first, then channel by channel, groups last.
    Configuration many = layout(8, {{1, 0, 0, 2, 2},
                                    {2, 1, 1, 3, 3},
                                    {3, 9, 9, 11, 11},
                                    {4, 20, 0, 22, 2},
                                    {5, 22, 0, 24, 2}});
    many.mouseSpeed = 11;
    many.channels[0].resolutionY = 0;
    many.channels[6].placed = 3;
    QTest::newRow("order")
            << many
            << QStringList{"The mouse speed is 11, but it can only be set from 1 to 10",
                           "Channel 1 has no resolution",
                           "Channels 1 and 2 overlap",
                           "Channel 3 touches no other screen",
                           "Channel 7 has the invalid placement value 3 (only 0 and 1 are valid)",
                           "Channels 4, 5 form a group that the pointer cannot reach from "
                           "channel 1"};
}

void tst_LayoutCheck::problems()
{
    QFETCH(Configuration, config);
    QFETCH(QStringList, expected);
    QCOMPARE(layoutProblemTexts(checkLayout(config)), expected);
}

QTEST_APPLESS_MAIN(tst_LayoutCheck)
#include "tst_layoutcheck.moc"
