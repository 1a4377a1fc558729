#include "document/configuration.h"
#include "document/printing.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const int kCell = 46;
const int kFooterBand = 24;

Configuration layout(int channelCount, const QList<QRect> &tiles)
{
    Configuration c;
    resetConfiguration(c);
    c.channelCount = quint8(channelCount);
    for (int i = 0; i < tiles.size(); ++i) {
        if (tiles[i].isNull())
            continue;
        ChannelEntry &e = c.channels[i];
        e.placed = 1;
        e.left = quint8(tiles[i].left());
        e.top = quint8(tiles[i].top());
        e.right = quint8(tiles[i].left() + tiles[i].width());
        e.bottom = quint8(tiles[i].top() + tiles[i].height());
    }
    return c;
}

bool isWhite(QRgb p)
{
    return qRed(p) > 250 && qGreen(p) > 250 && qBlue(p) > 250;
}

bool isTileGrey(QRgb p)
{
    return qAbs(qRed(p) - 220) <= 3 && qAbs(qGreen(p) - 220) <= 3 && qAbs(qBlue(p) - 220) <= 3;
}

// The extent of everything drawn above the footer band. One pixel of slack around the
// page: a one-pixel outline at the area's far edges lies just outside it.
QRect drawingExtent(const QImage &image, const QRect &page)
{
    QRect extent;
    for (int y = page.top() - 1; y < page.bottom() - kFooterBand; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = page.left() - 1; x <= page.right() + 1; ++x) {
            if (!isWhite(line[x]))
                extent |= QRect(x, y, 1, 1);
        }
    }
    return extent;
}

// A point a quarter cell into cell (c, r) of a drawing of cols x rows cells: clear of
// the grid lines and of the tile texts, which sit at the tile's centre.
QPoint samplePoint(const QRect &extent, int cols, int rows, int c, int r)
{
    const double cw = double(extent.width() - 1) / cols;
    const double ch = double(extent.height() - 1) / rows;
    return QPoint(extent.left() + int((c + 0.25) * cw), extent.top() + int((r + 0.25) * ch));
}

QImage renderPage(const Configuration &config, const QSize &visibleArea, QRect *page)
{
    // A landscape A4 page at 96 dpi with 10 mm margins, as the printer has it.
    QImage image(1123, 794, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::white);
    *page = QRect(38, 38, 1123 - 76, 794 - 76);
    QPainter painter(&image);
    drawLayoutPage(painter, *page, config, kCell, kCell, QString(), visibleArea);
    return image;
}

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class tst_Printing : public QObject
{
    Q_OBJECT

private slots:
    void footer_data();
    void footer();
    void placesTiles_data();
    void placesTiles();
    void fitsThePage_data();
    void fitsThePage();
    void degenerateAreaPrintsFooterOnly_data();
    void degenerateAreaPrintsFooterOnly();
    void pdfPage();
};

void tst_Printing::footer_data()
{
    QTest::addColumn<int>("channels");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no file") << 8 << QString() << "Vorrix8-Configuration";
    QTest::newRow("path") << 8 << "/home/op/plans/lab.ovs"
                          << "Vorrix8-Configuration - lab.ovs";
    QTest::newRow("bare name") << 2 << "lab.ovs"
                               << "Vorrix2-Configuration - lab.ovs";
    QTest::newRow("odd count from a file") << 3 << "/x/y.ovs"
                                           << "Vorrix3-Configuration - y.ovs";
}

void tst_Printing::footer()
{
    QFETCH(int, channels);
    QFETCH(QString, fileName);
    QFETCH(QString, expected);
    QCOMPARE(printFooterText(layout(channels, {}), fileName), expected);
}

// Tiles are found on the rendered page by their fill, cell by cell, so the test holds
// whatever the scale: grey where a channel in range is placed, white elsewhere.
void tst_Printing::placesTiles_data()
{
    QTest::addColumn<Configuration>("config");
    QTest::addColumn<QSize>("visibleArea");
    QTest::addColumn<QSize>("cells");
    QTest::addColumn<QList<QPoint>>("tileCells");
    QTest::addColumn<QList<QPoint>>("emptyCells");

    QTest::newRow("nothing placed: the visible area in whole cells")
            << layout(8, {}) << QSize(10 * kCell + 20, 5 * kCell + 45) << QSize(10, 5)
            << QList<QPoint>{} << QList<QPoint>{{0, 0}, {9, 0}, {0, 4}, {9, 4}, {5, 2}};

    QTest::newRow("two tiles, area from their extent")
            << layout(4, {QRect(2, 1, 2, 2), QRect(), QRect(5, 2, 2, 2)}) << QSize(900, 600)
            << QSize(5, 3) << QList<QPoint>{{0, 0}, {1, 1}, {3, 1}, {4, 2}}
            << QList<QPoint>{{2, 0}, {4, 0}, {0, 2}, {2, 2}};

    // Entries 5 and 7 hold placed tiles, but the model has two channels: they take no
    // part in the area and are not drawn.
    Configuration beyond = layout(2, {QRect(0, 0, 1, 2), QRect(3, 0, 1, 2), QRect(), QRect(),
                                      QRect(), QRect(1, 0, 2, 2), QRect(), QRect(20, 20, 3, 3)});
    QTest::newRow("entries at the channel count and above")
            << beyond << QSize(900, 600) << QSize(4, 2) << QList<QPoint>{{0, 0}, {3, 1}}
            << QList<QPoint>{{1, 0}, {2, 0}, {1, 1}, {2, 1}};

    Configuration odd = layout(4, {QRect(0, 0, 1, 1), QRect(1, 0, 1, 1), QRect(2, 0, 1, 1)});
    odd.channels[1].placed = 2; // a value only a foreign file holds: neither placed nor not
    QTest::newRow("placed other than 1") << odd << QSize(900, 600) << QSize(3, 1)
                                         << QList<QPoint>{{0, 0}, {2, 0}} << QList<QPoint>{{1, 0}};
}

void tst_Printing::placesTiles()
{
    QFETCH(Configuration, config);
    QFETCH(QSize, visibleArea);
    QFETCH(QSize, cells);
    QFETCH(QList<QPoint>, tileCells);
    QFETCH(QList<QPoint>, emptyCells);

    QRect page;
    const QImage image = renderPage(config, visibleArea, &page);
    const QRect extent = drawingExtent(image, page);
    QVERIFY(!extent.isEmpty());
    // The cells are square on paper as on screen.
    QVERIFY(qAbs(double(extent.width() - 1) / cells.width()
                 - double(extent.height() - 1) / cells.height())
            < 1.0);

    for (const QPoint &cell : tileCells) {
        const QPoint p = samplePoint(extent, cells.width(), cells.height(), cell.x(), cell.y());
        QVERIFY2(isTileGrey(image.pixel(p)),
                 qPrintable(QStringLiteral("cell %1,%2 not a tile").arg(cell.x()).arg(cell.y())));
    }
    for (const QPoint &cell : emptyCells) {
        const QPoint p = samplePoint(extent, cells.width(), cells.height(), cell.x(), cell.y());
        QVERIFY2(isWhite(image.pixel(p)),
                 qPrintable(QStringLiteral("cell %1,%2 not empty").arg(cell.x()).arg(cell.y())));
    }

    // Count the grid's columns along the first row: one line more than cells.
    int lines = 0;
    bool inLine = false;
    const int y = samplePoint(extent, cells.width(), cells.height(), 0, 0).y();
    if (tileCells.isEmpty()) {
        for (int x = extent.left(); x <= extent.right(); ++x) {
            const bool grid = !isWhite(image.pixel(x, y));
            if (grid && !inLine)
                ++lines;
            inLine = grid;
        }
        QCOMPARE(lines, cells.width() + 1);
    }
}

void tst_Printing::fitsThePage_data()
{
    QTest::addColumn<Configuration>("config");
    QTest::addColumn<bool>("fillsWidth");

    QTest::newRow("wider than the page fills the width") << layout(2, {QRect(0, 0, 12, 1)}) << true;
    QTest::newRow("taller than the page fills the height")
            << layout(2, {QRect(0, 0, 2, 5)}) << false;
}

void tst_Printing::fitsThePage()
{
    QFETCH(Configuration, config);
    QFETCH(bool, fillsWidth);

    QRect page;
    const QImage image = renderPage(config, QSize(500, 500), &page);
    const QRect extent = drawingExtent(image, page);
    const int drawH = page.height() - kFooterBand;
    if (fillsWidth) {
        QVERIFY(qAbs(extent.width() - page.width()) <= 2);
        // Centred in the space above the footer band.
        QVERIFY(qAbs((extent.top() - page.top()) - (page.top() + drawH - extent.bottom())) <= 3);
    } else {
        QVERIFY(qAbs(extent.height() - drawH) <= 2);
        QVERIFY(qAbs((extent.left() - page.left()) - (page.right() - extent.right())) <= 3);
    }
}

// A canvas smaller than a cell, or a file whose tile has no extent, leaves nothing to
// scale; the page must still come out, with its footer, and nothing else.
void tst_Printing::degenerateAreaPrintsFooterOnly_data()
{
    QTest::addColumn<Configuration>("config");
    QTest::addColumn<QSize>("visibleArea");

    QTest::newRow("canvas smaller than a cell") << layout(4, {}) << QSize(30, 400);
    QTest::newRow("hidden canvas") << layout(4, {}) << QSize(0, 0);
    Configuration inverted = layout(4, {QRect(0, 0, 2, 2)});
    inverted.channels[0].right = 0; // right below left, as an unchecked file may hold it
    QTest::newRow("tile without extent") << inverted << QSize(900, 600);
}

void tst_Printing::degenerateAreaPrintsFooterOnly()
{
    QFETCH(Configuration, config);
    QFETCH(QSize, visibleArea);

    QRect page;
    const QImage image = renderPage(config, visibleArea, &page);
    QVERIFY(drawingExtent(image, page).isEmpty());
    const QRect band(page.left(), page.bottom() - kFooterBand, page.width(), kFooterBand + 1);
    bool footerInk = false;
    for (int y = band.top(); y <= band.bottom(); ++y) {
        for (int x = band.left(); x <= band.right(); ++x)
            footerInk = footerInk || !isWhite(image.pixel(x, y));
    }
    QVERIFY(footerInk);
}

// The real printer path: one landscape PDF page with the footer, the names and the
// resolution, and the tiles where they belong on a rasterised page.
void tst_Printing::pdfPage()
{
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdfinfo.isEmpty() || pdftotext.isEmpty() || pdftoppm.isEmpty())
        QSKIP("poppler-utils (pdfinfo, pdftotext, pdftoppm) are not installed");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("page.pdf"));

    Configuration config = layout(8, {QRect(0, 0, 4, 3), QRect(), QRect(4, 0, 4, 3)});
    config.channels[0].resolutionX = 1920;
    config.channels[0].resolutionY = 1080;
    config.channels[2].resolutionX = 1280; // half a resolution is no resolution
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    QVERIFY(printLayout(printer, config, kCell, kCell, QStringLiteral("/srv/plans/lab.ovs"),
                        QSize(800, 600)));

    const QString info = run(pdfinfo, {pdf});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(info));
    const QRegularExpressionMatch size
            = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)")).match(info);
    QVERIFY(size.hasMatch());
    QVERIFY(size.captured(1).toDouble() > size.captured(2).toDouble());

    const QString text = run(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    QVERIFY2(text.contains(QStringLiteral("Vorrix8-Configuration - lab.ovs")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Channel 1")));
    QVERIFY(text.contains(QStringLiteral("Channel 3")));
    QVERIFY(text.contains(QStringLiteral("1920 X 1080")));
    QVERIFY(!text.contains(QStringLiteral("1280")));
    QVERIFY(!text.contains(QStringLiteral("Channel 2")));

    const QString dpi = QString::number(printer.resolution());
    run(pdftoppm, {QStringLiteral("-r"), dpi, QStringLiteral("-png"), QStringLiteral("-singlefile"),
                   pdf, dir.filePath(QStringLiteral("page"))});
    const QImage image(dir.filePath(QStringLiteral("page.png")));
    QVERIFY(!image.isNull());
    QVERIFY(image.width() > image.height());
    const QRect page = printer.pageRect(QPrinter::DevicePixel).toRect();
    const QRect extent = drawingExtent(image.convertToFormat(QImage::Format_RGB32), page);
    QVERIFY(!extent.isEmpty());
    QVERIFY(isTileGrey(image.pixel(samplePoint(extent, 8, 3, 0, 0))));
    QVERIFY(isTileGrey(image.pixel(samplePoint(extent, 8, 3, 7, 2))));
}

QTEST_MAIN(tst_Printing)
#include "tst_printing.moc"
