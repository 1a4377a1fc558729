#include "editortestsupport.h"

#include "editor/configwidget.h"
#include "editor/layoutmarks.h"

#include <QAccessible>
#include <QAction>
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
    // Each channel's mark: E an error (red frame), N a notice (quiet frame), B both (red
    // frame), . none.
    QTest::addColumn<QString>("frames");
    QTest::addColumn<QString>("summary"); // the error count; empty: none shown
    QTest::addColumn<QString>("notices"); // the notice count; empty: none shown

    const Configuration pair = screens(4, {{1, 0, 0, 2, 2}, {2, 2, 0, 4, 2}});
    QTest::newRow("side by side") << pair << false << QStringList{"", "", "", ""} << "...."
                                  << ""
                                  << "";

    const Configuration alone = screens(4, {{1, 0, 0, 2, 2}, {2, 2, 0, 4, 2}, {3, 6, 0, 8, 2}});
    QTest::newRow("a screen alone")
            << alone << false << QStringList{"", "", "Channel 3 touches no other screen", ""}
            << "..E."
            << "1 layout problem"
            << "";
    QTest::newRow("overlap, both tiles")
            << screens(4, {{1, 0, 0, 2, 2}, {2, 1, 1, 3, 3}}) << false
            << QStringList{"Channels 1 and 2 overlap", "Channels 1 and 2 overlap", "", ""} << "EE.."
            << "1 layout problem"
            << "";
    // The ordinary state of a fresh tile: a quiet mark, no error.
    QTest::newRow("no resolution") << screens(2, {{1, 0, 0, 2, 2}, {2, 2, 0, 4, 2, 0}}) << false
                                   << QStringList{"", "Channel 2 has no resolution"} << ".N"
                                   << ""
                                   << "1 notice";
    QTest::newRow("too small") << screens(2, {{1, 0, 0, 1, 2}, {2, 1, 0, 3, 2}}) << false
                               << QStringList{"Channel 1 is smaller than 2 × 2 cells", ""} << "E."
                               << "1 layout problem"
                               << "";
    const QString cutOff
            = "Channels 3, 4 form a group that the pointer cannot reach from channel 1";
    QTest::newRow("a group cut off")
            << screens(8, {{1, 0, 0, 2, 2}, {2, 0, 2, 2, 4}, {3, 5, 0, 7, 2}, {4, 7, 0, 9, 2}})
            << false << QStringList{"", "", cutOff, cutOff, "", "", "", ""} << "..EE...."
            << "1 layout problem"
            << "";
    // An error outweighs a notice on the same tile.
    QTest::newRow("errors and notices")
            << screens(4, {{1, 0, 0, 2, 2, 0}, {2, 2, 0, 4, 2}, {3, 9, 9, 11, 11, 0}}) << false
            << QStringList{"Channel 1 has no resolution", "",
                           "Channel 3 has no resolution\nChannel 3 touches no other screen", ""}
            << "N.B."
            << "1 layout problem"
            << "2 notices";
    // Problems that no tile shows are counted all the same.
    Configuration slow = pair;
    slow.mouseSpeed = 0;
    QTest::newRow("the whole record") << slow << false << QStringList{"", "", "", ""} << "...."
                                      << "1 layout problem"
                                      << "";
    Configuration noArea = pair;
    noArea.channels[2] = ChannelEntry{1, 6, 0, 6, 2, 1920, 1080};
    QTest::newRow("a screen without area")
            << noArea << false << QStringList{"", "", "", ""} << "...."
            << "1 layout problem"
            << "";
    QTest::newRow("a screen alone, German")
            << alone << true << QStringList{"", "", "Kanal 3 berührt keinen anderen Bildschirm", ""}
            << "..E."
            << "1 Layout-Problem"
            << "";
    QTest::newRow("no resolution, German")
            << screens(2, {{1, 0, 0, 2, 2}, {2, 2, 0, 4, 2, 0}}) << true
            << QStringList{"", "Kanal 2 hat keine Auflösung"} << ".N"
            << ""
            << "1 Hinweis";
}

void tst_LayoutMarks::marks()
{
    QFETCH(Configuration, config);
    QFETCH(bool, german);
    QFETCH(QStringList, tips);
    QFETCH(QString, frames);
    QFETCH(QString, summary);
    QFETCH(QString, notices);

    EditorFixture f(config.channelCount);
    f.canvas.show();
    QStatusBar statusBar;
    LayoutMarks marks(f.changes, f.canvas, &statusBar);
    QAction *selectAll = marks.selectAction();

    // From an empty layout, as one step; the marks come with the announcement.
    Configuration empty = config;
    std::fill(std::begin(empty.channels), std::end(empty.channels), ChannelEntry{});
    empty.mouseSpeed = 5;
    f.changes.replaceAll(empty);
    QVERIFY(marks.summary()->isHidden());
    QVERIFY(!selectAll->isEnabled());
    f.changes.apply(config, QStringLiteral("edit"));
    f.paint();

    QTranslator translator;
    if (german) {
        QVERIFY(translator.load(QStringLiteral(":/translations/OVSextra_de.qm")));
        QVERIFY(QCoreApplication::installTranslator(&translator));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    }

    QList<int> marked, withError, withNotice;
    for (int i = 0; i < tips.size(); ++i) {
        configwidget *tile = f.canvas.tile(i);
        QCOMPARE(tile->toolTip(), tips.at(i));
        if (!tips.at(i).isEmpty())
            marked << i;
        const QChar kind = frames.at(i);
        const bool error = kind == QLatin1Char('E') || kind == QLatin1Char('B');
        if (error)
            withError << i;
        if (kind == QLatin1Char('N') || kind == QLatin1Char('B'))
            withNotice << i;
        if (!tile->isVisibleTo(&f.canvas))
            continue;
        QCOMPARE(tile->mark(), error                      ? configwidget::Mark::Error
                               : kind == QLatin1Char('N') ? configwidget::Mark::Notice
                                                          : configwidget::Mark::None);
        // Inside the border, clear of the handles and the focus frame: red only for errors.
        const QColor frame = tile->grab().toImage().pixelColor(tile->width() / 4, 2);
        QCOMPARE(frame == QColor(Qt::red), error);
    }
    QCOMPARE(selectAll->isEnabled(), !marked.isEmpty());

    // Each count reads out what it counts, and a click on it selects its tiles only.
    const struct
    {
        QLabel *label;
        QString text;
        QList<int> tiles;
    } counts[] = {{marks.summary(), summary, withError}, {marks.notices(), notices, withNotice}};
    for (const auto &count : counts) {
        QCOMPARE(count.label->isHidden(), count.text.isEmpty());
        if (count.text.isEmpty())
            continue;
        QCOMPARE(count.label->text(), count.text);
        QAccessibleInterface *readout = QAccessible::queryAccessibleInterface(count.label);
        QCOMPARE(readout->text(QAccessible::Name), count.text);
        QCOMPARE(readout->text(QAccessible::Description), count.label->toolTip());
        f.canvas.tile(0)->setSelected(true);
        QTest::mouseClick(count.label, Qt::LeftButton);
        QList<int> selected = f.state.selectedChannels.items();
        std::sort(selected.begin(), selected.end());
        QCOMPARE(selected, count.tiles);
    }
    // Edit → "Select screens with problems": every marked tile, from the keyboard.
    f.canvas.childLostFocus();
    selectAll->trigger();
    QList<int> selected = f.state.selectedChannels.items();
    std::sort(selected.begin(), selected.end());
    QCOMPARE(selected, marked);

    QCoreApplication::removeTranslator(&translator);
    // Undo takes the marks back with the step.
    f.changes.undoStack().undo();
    for (int i = 0; i < kMaxChannels; ++i)
        QVERIFY(!f.canvas.tile(i)->isMarked());
    QVERIFY(marks.summary()->isHidden());
    QVERIFY(marks.notices()->isHidden());
}

QTEST_MAIN(tst_LayoutMarks)
#include "tst_layoutmarks.moc"
