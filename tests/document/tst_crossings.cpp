#include "document/crossings.h"

#include <QTest>

#include <initializer_list>

Q_DECLARE_METATYPE(Crossing)

namespace {

struct Tile
{
    int channel; // 1 to 8
    int left, top, right, bottom;
};

// Four channels, switching on, every listed tile placed.
Configuration layout(std::initializer_list<Tile> tiles)
{
    Configuration c;
    c.channelCount = 4;
    for (const Tile &t : tiles) {
        c.channels[t.channel - 1] = ChannelEntry{
                1, quint8(t.left), quint8(t.top), quint8(t.right), quint8(t.bottom), 1920, 1080};
    }
    return c;
}

constexpr auto V = Crossing::Seam::Vertical;
constexpr auto H = Crossing::Seam::Horizontal;

} // namespace

namespace QTest {
template<>
char *toString(const Crossing &c)
{
    return qstrdup(QStringLiteral("%1|%2 %3 line %4 [%5,%6)")
                           .arg(c.before)
                           .arg(c.after)
                           .arg(c.seam == V ? "V" : "H")
                           .arg(c.line)
                           .arg(c.from)
                           .arg(c.to)
                           .toLatin1()
                           .constData());
}
} // namespace QTest

// The geometry behind both the marks on the canvas and the layout check's reachability.
class tst_Crossings : public QObject
{
    Q_OBJECT

private slots:
    void crossings_data();
    void crossings();
};

void tst_Crossings::crossings_data()
{
    QTest::addColumn<Configuration>("config");
    QTest::addColumn<QList<Crossing>>("expected");

    const Configuration pair = layout({{1, 0, 0, 2, 2}, {2, 2, 0, 4, 2}});
    QTest::newRow("side by side, whole edge") << pair << QList<Crossing>{{0, 1, V, 2, 0, 2}};
    QTest::newRow("lower channel on the right")
            << layout({{1, 2, 0, 4, 2}, {2, 0, 0, 2, 2}}) << QList<Crossing>{{1, 0, V, 2, 0, 2}};
    QTest::newRow("rows overlap in part")
            << layout({{1, 0, 0, 2, 3}, {2, 2, 1, 4, 5}}) << QList<Crossing>{{0, 1, V, 2, 1, 3}};
    QTest::newRow("below, columns overlap in part")
            << layout({{1, 0, 0, 4, 2}, {2, 2, 2, 6, 4}}) << QList<Crossing>{{0, 1, H, 2, 2, 4}};
    QTest::newRow("one cell of edge")
            << layout({{1, 0, 0, 2, 2}, {2, 1, 2, 3, 4}}) << QList<Crossing>{{0, 1, H, 2, 1, 2}};
    QTest::newRow("corner only") << layout({{1, 0, 0, 2, 2}, {2, 2, 2, 4, 4}}) << QList<Crossing>{};
    QTest::newRow("one column apart")
            << layout({{1, 0, 0, 2, 2}, {2, 3, 0, 5, 2}}) << QList<Crossing>{};
    QTest::newRow("sharing cells")
            << layout({{1, 0, 0, 3, 2}, {2, 2, 0, 4, 2}}) << QList<Crossing>{};
    QTest::newRow("three, ordered by channel")
            << layout({{3, 0, 2, 4, 4}, {1, 0, 0, 2, 2}, {2, 2, 0, 4, 2}})
            << QList<Crossing>{{0, 1, V, 2, 0, 2}, {0, 2, H, 2, 0, 2}, {1, 2, H, 2, 2, 4}};

    Configuration off = pair;
    off.switchingEnabled = 0;
    QTest::newRow("switching off") << off << QList<Crossing>{};
    Configuration invalid = pair;
    invalid.switchingEnabled = 2;
    QTest::newRow("switching value 2") << invalid << QList<Crossing>{};

    // Entries that are no screen on the canvas have no crossings.
    Configuration beyond = layout({{1, 0, 0, 2, 2}, {3, 2, 0, 4, 2}});
    beyond.channelCount = 2;
    QTest::newRow("beyond the count") << beyond << QList<Crossing>{};
    Configuration placedValue = pair;
    placedValue.channels[1].placed = 2;
    QTest::newRow("placement value 2") << placedValue << QList<Crossing>{};
    QTest::newRow("no area") << layout({{1, 0, 0, 2, 2}, {2, 2, 0, 2, 2}}) << QList<Crossing>{};
}

void tst_Crossings::crossings()
{
    QFETCH(Configuration, config);
    QFETCH(QList<Crossing>, expected);
    QCOMPARE(crossingsOf(config), expected);
}

QTEST_GUILESS_MAIN(tst_Crossings)
#include "tst_crossings.moc"
