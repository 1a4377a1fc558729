#include "editor/layoutmarks.h"

#include "document/documentchanges.h"
#include "document/layoutwarnings.h"
#include "editor/configwidget.h"
#include "editor/rastergeometry.h"
#include "editor/rasterwidget.h"

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollArea>
#include <QStatusBar>

#include <algorithm>

namespace {
QString bulleted(const QList<LayoutProblem> &problems)
{
    QStringList lines;
    for (const QString &line : layoutProblemTexts(problems))
        lines << QStringLiteral("\u2022 ") + line;
    return lines.join(QLatin1Char('\n'));
}
} // namespace

LayoutMarks::LayoutMarks(DocumentChanges &changes, RasterWidget &canvas, QStatusBar *statusBar,
                         QObject *parent)
    : QObject(parent)
    , m_changes(changes)
    , m_canvas(canvas)
{
    if (statusBar) {
        m_summary = makeCount(statusBar, "layoutProblems", QStringLiteral("#c00000"));
        m_notices = makeCount(statusBar, "layoutNotices", QStringLiteral("#6b4a00"));
    }
    m_selectAction = new QAction(this);
    m_selectAction->setObjectName(QStringLiteral("actionSelectProblems"));
    connect(m_selectAction, &QAction::triggered, this, [this] { selectConcernedTiles(); });
    // The tiles and the canvas are relabelled on a language change; so are the marks.
    m_canvas.installEventFilter(this);
    connect(&m_changes, &DocumentChanges::configurationChanged, this, &LayoutMarks::update);
    update();
}

QLabel *LayoutMarks::makeCount(QStatusBar *statusBar, const char *name, const QString &colour)
{
    auto *label = new QLabel(statusBar);
    label->setObjectName(QLatin1String(name));
    label->setStyleSheet(QStringLiteral("color: %1;").arg(colour));
    label->setCursor(Qt::PointingHandCursor);
    label->setIndent(8); // apart from its neighbours in the status bar
    label->installEventFilter(this);
    label->hide();
    statusBar->addPermanentWidget(label);
    return label;
}

void LayoutMarks::update()
{
    m_problems = operatorLayoutCheck(m_changes.configuration());
    showTexts();
}

QList<int> LayoutMarks::concernedTiles(std::optional<LayoutSeverity> severity) const
{
    const Configuration &config = m_changes.configuration();
    const int count = std::min<int>(config.channelCount, kMaxChannels);
    QList<int> tiles;
    for (const LayoutProblem &p : m_problems) {
        if (severity && layoutProblemSeverity(p.kind) != *severity)
            continue;
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
    const QList<int> errorTiles = concernedTiles(LayoutSeverity::Error);
    const QList<int> marked = concernedTiles(std::nullopt);
    for (int i = 0; i < kMaxChannels; ++i) {
        QStringList lines;
        if (marked.contains(i)) {
            for (const LayoutProblem &p : std::as_const(m_problems)) {
                if (p.channels.contains(i))
                    lines << layoutProblemText(p);
            }
        }
        m_canvas.tile(i)->setProblems(lines.join(QLatin1Char('\n')),
                                      errorTiles.contains(i) ? configwidget::Mark::Error
                                                             : configwidget::Mark::Notice);
    }
    m_selectAction->setText(tr("Select screens with problems"));
    m_selectAction->setEnabled(!marked.isEmpty());

    if (!m_summary)
        return;
    const QList<LayoutProblem> errors = layoutProblemsOf(m_problems, LayoutSeverity::Error);
    const int n = int(errors.size());
    m_summary->setText(n == 1 ? tr("1 layout problem") : tr("%1 layout problems").arg(n));
    m_summary->setToolTip(bulleted(errors));
    m_summary->setVisible(n > 0);

    const QList<LayoutProblem> notices = layoutProblemsOf(m_problems, LayoutSeverity::Notice);
    const int k = int(notices.size());
    m_notices->setText(k == 1 ? tr("1 notice") : tr("%1 notices").arg(k));
    m_notices->setToolTip(bulleted(notices));
    m_notices->setVisible(k > 0);
}

void LayoutMarks::selectConcernedTiles(std::optional<LayoutSeverity> severity)
{
    const QList<int> tiles = concernedTiles(severity);
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
    if ((watched == m_summary || watched == m_notices)
        && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        selectConcernedTiles(watched == m_summary ? LayoutSeverity::Error : LayoutSeverity::Notice);
    return QObject::eventFilter(watched, event);
}
