#include "editor/layoutmarks.h"

#include "document/documentchanges.h"
#include "document/layoutwarnings.h"
#include "editor/configwidget.h"
#include "editor/rastergeometry.h"
#include "editor/rasterwidget.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollArea>
#include <QStatusBar>

#include <algorithm>

LayoutMarks::LayoutMarks(DocumentChanges &changes, RasterWidget &canvas, QStatusBar *statusBar,
                         QObject *parent)
    : QObject(parent)
    , m_changes(changes)
    , m_canvas(canvas)
{
    if (statusBar) {
        m_summary = new QLabel(statusBar);
        m_summary->setObjectName(QStringLiteral("layoutProblems"));
        m_summary->setStyleSheet(QStringLiteral("color: #c00000;"));
        m_summary->setCursor(Qt::PointingHandCursor);
        m_summary->installEventFilter(this);
        m_summary->hide();
        statusBar->addPermanentWidget(m_summary);
    }
    // The tiles and the canvas are relabelled on a language change; so are the marks.
    m_canvas.installEventFilter(this);
    connect(&m_changes, &DocumentChanges::configurationChanged, this, &LayoutMarks::update);
    update();
}

void LayoutMarks::update()
{
    m_problems = operatorLayoutCheck(m_changes.configuration());
    showTexts();
}

QList<int> LayoutMarks::concernedTiles() const
{
    const Configuration &config = m_changes.configuration();
    const int count = std::min<int>(config.channelCount, kMaxChannels);
    QList<int> tiles;
    for (const LayoutProblem &p : m_problems) {
        for (const int i : p.channels) {
            if (i < count && standsOnCanvas(config.channels[i]) && !tiles.contains(i))
                tiles.append(i);
        }
    }
    std::sort(tiles.begin(), tiles.end());
    return tiles;
}

void LayoutMarks::showTexts()
{
    const QList<int> marked = concernedTiles();
    for (int i = 0; i < kMaxChannels; ++i) {
        QStringList lines;
        if (marked.contains(i)) {
            for (const LayoutProblem &p : std::as_const(m_problems)) {
                if (p.channels.contains(i))
                    lines << layoutProblemText(p);
            }
        }
        m_canvas.tile(i)->setProblems(lines.join(QLatin1Char('\n')));
    }

    if (!m_summary)
        return;
    const int n = int(m_problems.size());
    m_summary->setText(n == 1 ? tr("1 layout problem") : tr("%1 layout problems").arg(n));
    QStringList lines;
    for (const QString &line : layoutProblemTexts(m_problems))
        lines << QStringLiteral("\u2022 ") + line;
    m_summary->setToolTip(lines.join(QLatin1Char('\n')));
    m_summary->setVisible(n > 0);
}

void LayoutMarks::selectConcernedTiles()
{
    const QList<int> tiles = concernedTiles();
    m_canvas.childLostFocus();
    for (const int i : tiles)
        m_canvas.tile(i)->setSelected(true);
    if (tiles.isEmpty())
        return;
    // The first of them comes into view and takes the keyboard, so the arrow keys move
    // the selection at once.
    configwidget *first = m_canvas.tile(tiles.first());
    QWidget *viewport = m_canvas.parentWidget();
    if (auto *area = qobject_cast<QScrollArea *>(viewport ? viewport->parentWidget() : nullptr))
        area->ensureWidgetVisible(first, 0, 0);
    first->setFocus(Qt::OtherFocusReason);
}

bool LayoutMarks::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_canvas && event->type() == QEvent::LanguageChange)
        showTexts();
    if (watched == m_summary && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        selectConcernedTiles();
    return QObject::eventFilter(watched, event);
}
