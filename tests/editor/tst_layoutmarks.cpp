#include "editortestsupport.h"

#include "editor/configwidget.h"
#include "editor/layoutmarks.h"

#include <QAccessible>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <QTranslator>

#include <algorithm>

namespace {

// Placed channels with a resolution; switching on. Channels are numbered 1 to 8.
struct Screen
{
    int channel;
    int left, top, right, bottom;
    quint16 width = 1920;
};

Configuration screens(int count, std::initializer_list<Screen> list)
{
    Configuration c;
    c.channelCount = quint8(count);
    for (const Screen &s : list) {
        c.channels[s.channel - 1] = ChannelEntry{
                1, quint8(s.left), quint8(s.top), quint8(s.right), quint8(s.bottom), s.width, 1080};
    }
    return c;
}

} // namespace

// The marks the layout check leaves on the tiles and in the status bar while the
// operator edits.
class tst_LayoutMarks : public QObject
{
    Q_OBJECT

private slots:
    void marks_data();
    void marks();
};

void tst_LayoutMarks::marks_data()
{
    QTest::addColumn<Configuration>("config");
    QTest::addColumn<bool>("german");      // the language changes after the check
    QTest::addColumn<QStringList>("tips"); // each channel's tool tip; empty: no mark
    QTest::addColumn<QString>("summary");  // empty: none shown

    const Configuration pair = screens(4, {{1, 0, 0, 2, 2}, {2, 2, 0, 4, 2}});
    QTest::newRow("side by side") << pair << false << QStringList{"", "", "", ""} << "";

    const Configuration alone = screens(4, {{1, 0, 0, 2, 2}, {2, 2, 0, 4, 2}, {3, 6, 0, 8, 2}});
    QTest::newRow("a screen alone")
            << alone << false << QStringList{"", "", "Channel 3 touches no other screen", ""}
            << "1 layout problem";
    QTest::newRow("overlap, both tiles")
            << screens(4, {{1, 0, 0, 2, 2}, {2, 1, 1, 3, 3}}) << false
            << QStringList{"Channels 1 and 2 overlap", "Channels 1 and 2 overlap", "", ""}
            << "1 layout problem";
    QTest::newRow("no resolution")
            << screens(2, {{1, 0, 0, 2, 2}, {2, 2, 0, 4, 2, 0}}) << false
            << QStringList{"", "Channel 2 has no resolution"} << "1 layout problem";
    QTest::newRow("too small") << screens(2, {{1, 0, 0, 1, 2}, {2, 1, 0, 3, 2}}) << false
                               << QStringList{"Channel 1 is smaller than 2 × 2 cells", ""}
                               << "1 layout problem";
    const QString cutOff
            = "Channels 3, 4 form a group that the pointer cannot reach from channel 1";
    QTest::newRow("a group cut off")
            << screens(8, {{1, 0, 0, 2, 2}, {2, 0, 2, 2, 4}, {3, 5, 0, 7, 2}, {4, 7, 0, 9, 2}})
            << false << QStringList{"", "", cutOff, cutOff, "", "", "", ""} << "1 layout problem";
    QTest::newRow("two problems on one tile")
            << screens(4, {{1, 0, 0, 2, 2, 0}, {2, 2, 0, 4, 2}, {3, 9, 9, 11, 11, 0}}) << false
            << QStringList{"Channel 1 has no resolution", "",
                           "Channel 3 has no resolution\nChannel 3 touches no other screen", ""}
            << "3 layout problems";
    // Problems that no tile shows are counted all the same.
    Configuration slow = pair;
    slow.mouseSpeed = 0;
    QTest::newRow("the whole record")
            << slow << false << QStringList{"", "", "", ""} << "1 layout problem";
    Configuration noArea = pair;
    noArea.channels[2] = ChannelEntry{1, 6, 0, 6, 2, 1920, 1080};
    QTest::newRow("a screen without area")
            << noArea << false << QStringList{"", "", "", ""} << "1 layout problem";
    QTest::newRow("a screen alone, German")
            << alone << true << QStringList{"", "", "Kanal 3 berührt keinen anderen Bildschirm", ""}
            << "1 Layout-Problem";
}

void tst_LayoutMarks::marks()
{
    QFETCH(Configuration, config);
    QFETCH(bool, german);
    QFETCH(QStringList, tips);
    QFETCH(QString, summary);

    EditorFixture f(config.channelCount);
    f.canvas.show();
    QStatusBar statusBar;
    LayoutMarks marks(f.changes, f.canvas, &statusBar);
    QLabel *label = marks.summary();

    // From an empty layout, as one step; the marks come with the announcement.
    Configuration empty = config;
    std::fill(std::begin(empty.channels), std::end(empty.channels), ChannelEntry{});
    empty.mouseSpeed = 5;
    f.changes.replaceAll(empty);
    QVERIFY(label->isHidden());
    f.changes.apply(config, QStringLiteral("edit"));
    f.paint();

    QTranslator translator;
    if (german) {
        QVERIFY(translator.load(QStringLiteral(":/translations/OVSextra_de.qm")));
        QVERIFY(QCoreApplication::installTranslator(&translator));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    }

    QList<int> marked;
    for (int i = 0; i < tips.size(); ++i) {
        configwidget *tile = f.canvas.tile(i);
        QCOMPARE(tile->toolTip(), tips.at(i));
        if (!tips.at(i).isEmpty())
            marked << i;
        if (!tile->isVisibleTo(&f.canvas))
            continue;
        // Inside the border, clear of the handles and the focus frame.
        const QColor frame = tile->grab().toImage().pixelColor(tile->width() / 4, 2);
        QCOMPARE(frame == QColor(Qt::red), !tips.at(i).isEmpty());
    }
    QCOMPARE(label->isHidden(), summary.isEmpty());
    if (!summary.isEmpty()) {
        QCOMPARE(label->text(), summary);
        // A screen reader reads the count and the problems behind it.
        QAccessibleInterface *readout = QAccessible::queryAccessibleInterface(label);
        QCOMPARE(readout->text(QAccessible::Name), summary);
        QCOMPARE(readout->text(QAccessible::Description), label->toolTip());
    }

    // A click on the count selects the tiles concerned, and only those.
    if (!summary.isEmpty()) {
        f.canvas.tile(0)->setSelected(true);
        QTest::mouseClick(label, Qt::LeftButton);
        QList<int> selected = f.state.selectedChannels.items();
        std::sort(selected.begin(), selected.end());
        QCOMPARE(selected, marked);
    }

    QCoreApplication::removeTranslator(&translator);
    // Undo takes the marks back with the step.
    f.changes.undoStack().undo();
    for (int i = 0; i < kMaxChannels; ++i)
        QVERIFY(!f.canvas.tile(i)->isMarked());
    QVERIFY(label->isHidden());
}

QTEST_MAIN(tst_LayoutMarks)
#include "tst_layoutmarks.moc"
