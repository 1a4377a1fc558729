#include "editor/arrangeactions.h"

#include "document/documentchanges.h"
#include "editor/editorstate.h"

#include <QAction>
#include <QEvent>
#include <QMenu>

ArrangeActions::ArrangeActions(QMenu &editMenu, DocumentChanges &changes, EditorState &state)
    : QObject(&editMenu)
    , m_changes(changes)
    , m_state(state)
{
    editMenu.addSeparator();
    m_row = editMenu.addAction(QString());
    m_row->setObjectName(QStringLiteral("actionArrangeRow"));
    m_grid = editMenu.addAction(QString());
    m_grid->setObjectName(QStringLiteral("actionArrangeGrid"));
    retranslate();
    connect(m_row, &QAction::triggered, this, [this] { arrange(Arrangement::Row); });
    connect(m_grid, &QAction::triggered, this, [this] { arrange(Arrangement::Grid); });
    editMenu.installEventFilter(this);
}

bool ArrangeActions::arrange(Arrangement how)
{
    const Configuration &config = m_changes.configuration();
    const auto after
            = arranged(config, tilesToArrange(config, m_state.selectedChannels.items()), how);
    if (!after)
        return false;
    // The step is named as the menu names it, without the mnemonic, and follows a
    // later change of language like every other step.
    const StepText text
            = how == Arrangement::Row
                      ? StepText("ArrangeActions",
                                 QT_TRANSLATE_NOOP("ArrangeActions", "Arrange in a row"))
                      : StepText("ArrangeActions",
                                 QT_TRANSLATE_NOOP("ArrangeActions", "Arrange in a grid"));
    return m_changes.apply(*after, text);
}

void ArrangeActions::retranslate()
{
    m_row->setText(tr("Arrange in a &row"));
    m_grid->setText(tr("Arrange in a &grid"));
}

bool ArrangeActions::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    return QObject::eventFilter(watched, event);
}
