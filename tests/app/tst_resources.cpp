#include "resources/stylesheet.h"

#include <QImage>
#include <QImageReader>
#include <QTest>
#include <QWidget>

// The compiled-in images: every path the forms and dialogs use must resolve, decode and
// have the size the layouts were drawn for, and have a NAME@2x variant of twice that size
// that Qt takes on screens scaled to 150 % and more.
class tst_Resources : public QObject
{
    Q_OBJECT

private slots:
    void images_data();
    void images();
    void styleSheetParses();
};

void tst_Resources::images_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QSize>("size");

    const QSize action(22, 22);
    const QSize arrow(16, 16);
    const struct
    {
        const char *path;
        const char *format;
        QSize size;
    } rows[] = {
            {":/images/ZQ_Logo_technik_Quadrat.jpg", "jpeg", QSize(243, 243)},
            {":/images/Z&Q_Redaz_logo_RGB_klein.jpg", "jpeg", QSize(131, 61)},
            {":/images/format-indent-less.png", "png", action},
            {":/images/format-indent-more.png", "png", action},
            {":/images/document-new.png", "png", action},
            {":/images/document-open.png", "png", action},
            {":/images/document-save.png", "png", action},
            {":/images/document-save-as-new2.png", "png", action},
            {":/images/input-mouse.png", "png", action},
            {":/images/emblem-important.png", "png", action},
            {":/images/document-print.png", "png", action},
            {":/images/go-next.png", "png", arrow},
            {":/images/go-previous.png", "png", arrow},
    };
    for (const auto &row : rows) {
        QTest::newRow(row.path) << QString::fromUtf8(row.path) << QByteArray(row.format)
                                << row.size;
    }
}

void tst_Resources::images()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, format);
    QFETCH(QSize, size);

    QImageReader reader(path);
    QCOMPARE(reader.format(), format);
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);

    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    QImageReader reader2x(path.left(dot) + QStringLiteral("@2x") + path.mid(dot));
    QCOMPARE(reader2x.format(), format);
    const QImage image2x = reader2x.read();
    QVERIFY2(!image2x.isNull(), qPrintable(reader2x.fileName() + ": " + reader2x.errorString()));
    QCOMPARE(image2x.size(), size * 2);
    QCOMPARE(image2x.devicePixelRatio(), 2.0);
}

// A typo in the style sheet is only reported as a runtime warning and silently drops the
// rest of the sheet; make it a test failure instead.
void tst_Resources::styleSheetParses()
{
    QTest::failOnWarning(QRegularExpression(QStringLiteral("(?i)style ?sheet")));
    QWidget widget;
    widget.setStyleSheet(QString::fromLatin1(kStyleSheet));
    widget.ensurePolished();
    QVERIFY(QString::fromLatin1(kStyleSheet).startsWith("/* Z&Q example style sheet */"));
}

QTEST_MAIN(tst_Resources)
#include "tst_resources.moc"
