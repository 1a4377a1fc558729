#include "editor/dragpayload.h"

#include <QMimeData>
#include <QTest>

// The one parser every drop target uses: the texts the editor sends, and texts from
// other programs that only look like them.
class tst_DragPayload : public QObject
{
    Q_OBJECT

private slots:
    void build_data();
    void build();
    void parse_data();
    void parse();
    void markerNeedsText();
};

using Kind = DragPayload::Kind;
Q_DECLARE_METATYPE(DragPayload::Kind)

void tst_DragPayload::build_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QList<int>>("channels");
    QTest::addColumn<QString>("text");

    QTest::newRow("channels 3 and 5 from the list") << Kind::New << QList<int>{3, 5} << "OVSnew235";
    QTest::newRow("tiles 4 then 1") << Kind::Old << QList<int>{4, 1} << "OVSold241";
    QTest::newRow("nothing selected") << Kind::New << QList<int>{} << "OVSnew0";
}

void tst_DragPayload::build()
{
    QFETCH(Kind, kind);
    QFETCH(QList<int>, channels);
    QFETCH(QString, text);
    QCOMPARE(buildDragPayload(kind, channels), text);
    // What is built is read back unchanged.
    const auto parsed = parseDragPayload(text, 8);
    QVERIFY(parsed);
    QCOMPARE(parsed->kind, kind);
    QCOMPARE(parsed->channels, channels);
}

void tst_DragPayload::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("channelCount");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QList<int>>("channels");

    QTest::newRow("new 2 channels") << "OVSnew224" << 4 << true << QList<int>{2, 4};
    QTest::newRow("old, trailing text ignored") << "OVSold13xyz" << 4 << true << QList<int>{3};
    QTest::newRow("all eight") << "OVSold812345678" << 8 << true
                               << QList<int>{1, 2, 3, 4, 5, 6, 7, 8};
    QTest::newRow("empty count") << "OVSnew0" << 2 << true << QList<int>{};

    QTest::newRow("no marker") << "XYZnew11" << 8 << false << QList<int>{};
    QTest::newRow("marker only") << "OVS" << 8 << false << QList<int>{};
    QTest::newRow("unknown kind") << "OVSmid11" << 8 << false << QList<int>{};
    QTest::newRow("upper-case kind") << "OVSNEW11" << 8 << false << QList<int>{};
    QTest::newRow("count not a digit") << "OVSnewx1" << 8 << false << QList<int>{};
    QTest::newRow("count above 8") << "OVSold9123456789" << 8 << false << QList<int>{};
    QTest::newRow("fewer digits than the count") << "OVSnew312" << 8 << false << QList<int>{};
    QTest::newRow("channel 0") << "OVSnew10" << 8 << false << QList<int>{};
    QTest::newRow("channel beyond the count") << "OVSold13" << 2 << false << QList<int>{};
    QTest::newRow("channel 9") << "OVSnew19" << 8 << false << QList<int>{};
    QTest::newRow("channel not a digit") << "OVSnew1a" << 8 << false << QList<int>{};
    QTest::newRow("non-ASCII digit")
            << QString::fromUtf8("OVSnew1\u0663") << 8 << false << QList<int>{};
}

void tst_DragPayload::parse()
{
    QFETCH(QString, text);
    QFETCH(int, channelCount);
    QFETCH(bool, valid);
    const auto parsed = parseDragPayload(text, channelCount);
    QCOMPARE(bool(parsed), valid);
    QFETCH(QList<int>, channels);
    if (parsed)
        QCOMPARE(parsed->channels, channels);
}

void tst_DragPayload::markerNeedsText()
{
    QMimeData none;
    QVERIFY(!parseDragPayload(&none, 8));
    QMimeData html;
    html.setHtml(QStringLiteral("OVSnew11"));
    QVERIFY(!parseDragPayload(&html, 8));
    QMimeData text;
    text.setText(QStringLiteral("OVSnew11"));
    QVERIFY(parseDragPayload(&text, 8));
}

QTEST_MAIN(tst_DragPayload)
#include "tst_dragpayload.moc"
