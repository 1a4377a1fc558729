#include "app/documentstatus.h"

#include "document/documentchanges.h"

#include <QEvent>
#include <QFileInfo>
#include <QStatusBar>

DocumentStatus::DocumentStatus(DocumentChanges &changes, QStatusBar &statusBar)
    : QLabel(&statusBar)
    , m_changes(changes)
{
    setObjectName(QStringLiteral("documentFile"));
    setIndent(12); // apart from the counts of the layout's problems
    statusBar.addPermanentWidget(this);
    connect(&m_changes, &DocumentChanges::fileStateChanged, this, &DocumentStatus::showState);
    showState();
}

void DocumentStatus::showState()
{
    const Document &doc = m_changes.document();
    const QString name
            = doc.fileName.isEmpty() ? tr("Untitled") : QFileInfo(doc.fileName).fileName();
    const QString text = doc.modified ? tr("%1 (unsaved changes)").arg(name) : name;
    if (text != QLabel::text())
        setText(text);
    const QString path
            = doc.fileName.isEmpty() ? QString() : QFileInfo(doc.fileName).absoluteFilePath();
    setToolTip(path);
    // Setting either text tells assistive technology that it changed.
    const QString spoken = tr("File: %1").arg(text);
    if (accessibleName() != spoken)
        setAccessibleName(spoken);
    if (accessibleDescription() != path)
        setAccessibleDescription(path);
}

void DocumentStatus::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        showState();
    QLabel::changeEvent(event);
}
