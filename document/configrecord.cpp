#include "document/configrecord.h"

#include "document/crossings.h"
#include "document/layoutcheck.h"
#include "document/layoutpage.h"
#include "document/regularfile.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>

#include <algorithm>

namespace {

// Device pixels per inch: the screen resolution the printed page is drawn in, so the
// record's drawing has the same proportions as the printout.
constexpr int kDpi = 96;
const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

QString row(const QString &label, const QString &value)
{
    return QStringLiteral("<tr><th width=\"25%\">%1</th><td>%2</td></tr>")
            .arg(esc(label), esc(value));
}

QString table(const QString &rows)
{
    return QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" "
                          "cellpadding=\"4\" style=\"border-collapse: collapse\">%1</table>")
            .arg(rows);
}

// A stored 0 or 1 in words; any other value, which the layout check names, as it is.
QString flag(quint8 value, const QString &one, const QString &zero)
{
    return value == 1 ? one : value == 0 ? zero : QString::number(value);
}

QString heading(const QString &text)
{
    return QStringLiteral("<h3>%1</h3>").arg(esc(text));
}

} // namespace

QString ConfigRecord::crossingsText(const Configuration &config, int index)
{
    QStringList pieces;
    for (const Crossing &c : crossingsOfChannel(config, index)) {
        const bool vertical = c.seam == Crossing::Seam::Vertical;
        const bool first = c.before == index;
        const QString side
                = vertical ? (first ? tr("Channel %1 on the right") : tr("Channel %1 on the left"))
                           : (first ? tr("Channel %1 below") : tr("Channel %1 above"));
        QString span;
        if (c.to - c.from == 1)
            span = (vertical ? tr("row %1") : tr("column %1")).arg(c.from + 1);
        else
            span = (vertical ? tr("rows %1–%2") : tr("columns %1–%2")).arg(c.from + 1).arg(c.to);
        pieces << tr("%1, %2").arg(side.arg(neighbourOf(c, index) + 1), span);
    }
    return pieces.join(QStringLiteral("; "));
}

QString ConfigRecord::channelRowsHtml() const
{
    QString rows = QStringLiteral("<tr>");
    for (const QString &label : {tr("Channel"), tr("Placed"), tr("Position"), tr("Size in cells"),
                                 tr("Resolution"), tr("Crossings")})
        rows += QStringLiteral("<th>%1</th>").arg(esc(label));
    rows += QStringLiteral("</tr>");

    const QString none = QStringLiteral("–");
    const int count = qMin<int>(config.channelCount, kMaxChannels);
    for (int i = 0; i < count; ++i) {
        const ChannelEntry &e = config.channels[i];
        const bool placed = e.placed == 1;
        const QString resolution
                = e.resolutionX != 0 && e.resolutionY != 0
                          ? QStringLiteral("%1 X %2").arg(e.resolutionX).arg(e.resolutionY)
                          : tr("not set");
        const QString crossings = placed ? crossingsText(config, i) : QString();
        const QStringList cells{
                tr("Channel %1").arg(i + 1),
                flag(e.placed, tr("yes"), tr("no")),
                // Counted from 1, as the canvas's descriptions count.
                placed ? tr("column %1, row %2").arg(e.left + 1).arg(e.top + 1) : none,
                placed ? tr("%1 × %2").arg(e.right - e.left).arg(e.bottom - e.top) : none,
                resolution,
                crossings.isEmpty() ? none : crossings,
        };
        rows += QStringLiteral("<tr>");
        for (const QString &cell : cells)
            rows += QStringLiteral("<td>%1</td>").arg(esc(cell));
        rows += QStringLiteral("</tr>");
    }
    return table(rows);
}

QString ConfigRecord::detailsHtml() const
{
    QString html = QStringLiteral("<h2>%1</h2>").arg(esc(tr("Configuration record")));

    const QStringList problems = layoutProblemTexts(checkLayout(config));
    html += heading(tr("Settings"))
            + table(row(tr("Model"), tr("Vorrix %1").arg(config.channelCount))
                    + row(tr("Pointer speed"), QString::number(config.mouseSpeed))
                    + row(tr("Orvanel Switching"),
                          flag(config.switchingEnabled, tr("on"), tr("off")))
                    + row(tr("Layout check"),
                          problems.isEmpty() ? tr("no problems") : problems.join(QLatin1Char('\n')))
                              .replace(QLatin1Char('\n'), QStringLiteral("<br>")));

    QString fileRows;
    if (fileName.isEmpty()) {
        fileRows = row(tr("Name"), tr("not saved"));
    } else {
        const QFileInfo info(fileName);
        QString saved = info.exists() ? info.lastModified().toString(kDateFormat) : tr("not saved");
        if (modified)
            saved = tr("%1, changed since").arg(saved);
        fileRows = row(tr("Name"), info.fileName()) + row(tr("Folder"), info.absolutePath())
                   + row(tr("Saved"), saved);
    }
    fileRows += row(tr("Record made"), created.toString(kDateFormat));
    html += heading(tr("File")) + table(fileRows);

    if (withExchange) {
        html += heading(tr("Last exchange with a switch"));
        html += exchange.happened
                        ? table(row(tr("Port"), exchange.port) + row(tr("Time"), exchange.time)
                                + row(tr("Exchange"), exchange.outcome)
                                + row(tr("Verified"), exchange.verified))
                        : QStringLiteral("<p>%1</p>").arg(esc(tr("none")));
    }

    html += heading(tr("Channels")) + channelRowsHtml();
    return html;
}

QByteArray ConfigRecord::toPdf() const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kDpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    writer.setTitle(tr("Configuration record"));
    writer.setCreator(QStringLiteral("Orvanel Switching Config Tool"));

    QPainter painter;
    if (!painter.begin(&writer))
        return {};
    // The painter's origin is the top left of the area inside the margins.
    const QRect page(QPoint(0, 0), writer.pageLayout().paintRectPixels(kDpi).size());

    // First page: a heading above the layout as the printed page draws it.
    painter.setPen(Qt::black);
    QFont titleFont = printFont(16);
    titleFont.setBold(true);
    painter.setFont(titleFont);
    const QString title = tr("Configuration record") + QStringLiteral(" – ")
                          + tr("Vorrix %1").arg(config.channelCount);
    int y = painter.fontMetrics().ascent();
    painter.drawText(QPoint(page.left(), page.top() + y), title);
    y += painter.fontMetrics().descent();
    painter.setFont(printFont(10));
    y += painter.fontMetrics().lineSpacing();
    const QString file = fileName.isEmpty() ? tr("not saved") : QFileInfo(fileName).fileName();
    painter.drawText(QPoint(page.left(), page.top() + y),
                     tr("File: %1").arg(file) + QStringLiteral("    ")
                             + tr("Record made: %1").arg(created.toString(kDateFormat)));
    y += painter.fontMetrics().descent() + painter.fontMetrics().lineSpacing();
    drawLayoutPage(painter, page.adjusted(0, y, 0, 0), config, cellWidth, cellHeight, fileName,
                   visibleArea);

    // Then the settings and the tables, on as many pages as they need.
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setDefaultFont(printFont(10));
    doc.setDefaultStyleSheet(QStringLiteral("th { text-align: left; background-color: #dcdcdc; }"
                                            " table { border-color: #a0a0a4; }"));
    doc.setDocumentMargin(0);
    doc.setPageSize(page.size());
    doc.setHtml(detailsHtml());
    for (int p = 0; p < doc.pageCount(); ++p) {
        if (!writer.newPage())
            return {};
        painter.save();
        painter.translate(page.left(), page.top() - p * page.height());
        doc.drawContents(&painter, QRectF(0, p * page.height(), page.width(), page.height()));
        painter.restore();
    }
    if (!painter.end())
        return {};
    return buffer.data();
}

bool ConfigRecord::write(const QString &path) const
{
    // A device node or a FIFO would be renamed over by the new file.
    if (!isReplaceableFile(path))
        return false;
    const QByteArray pdf = toPdf();
    return !pdf.isEmpty() && saveFileContents(path, pdf);
}
