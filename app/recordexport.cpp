#include "app/recordexport.h"

#include "document/commandhost.h"
#include "document/configdiff.h"
#include "document/documentchanges.h"
#include "link/exchangereport.h"

#include <QAction>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

RecordExport::RecordExport(CommandHost &host, DocumentChanges &changes, ExchangeReport &report,
                           QMenu &fileMenu, QAction &after)
    : QObject(host.hostWindow())
    , m_host(host)
    , m_changes(changes)
    , m_report(&report)
    , m_action(new QAction(host.hostWindow()))
{
    m_action->setObjectName(QStringLiteral("actionExportRecord"));
    const QList<QAction *> actions = fileMenu.actions();
    const qsizetype at = actions.indexOf(&after);
    fileMenu.insertAction(at >= 0 && at + 1 < actions.size() ? actions.at(at + 1) : nullptr,
                          m_action);
    retranslate();
    connect(m_action, &QAction::triggered, this, &RecordExport::exportRecord);
    host.hostWindow()->installEventFilter(this);
}

bool RecordExport::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    return QObject::eventFilter(watched, event);
}

void RecordExport::retranslate()
{
    m_action->setText(tr("&Export record…"));
}

ConfigRecord RecordExport::record()
{
    const Document &doc = m_changes.document();
    const CommandHost::PrintArea area = m_host.preparePrintArea();
    ConfigRecord record;
    record.config = doc.currentConfig;
    record.fileName = doc.fileName;
    record.modified = doc.modified;
    record.cellWidth = area.cellWidth;
    record.cellHeight = area.cellHeight;
    record.visibleArea = area.viewport;
    record.withExchange = true;
    if (!m_report)
        return record;
    const ExchangeReport::LastExchange last = m_report->lastExchange();
    ConfigRecord::Exchange &exchange = record.exchange;
    exchange.happened = last.happened;
    exchange.port = last.port;
    exchange.time = last.time.toString(QStringLiteral("HH:mm:ss"));
    exchange.outcome = last.outcome;
    if (!last.verified)
        exchange.verified = tr("no");
    else if (!last.matched)
        exchange.verified = tr("yes: the switch held a different configuration");
    else if (!diffConfigurations(last.shown, doc.currentConfig).isEmpty())
        exchange.verified = tr("yes, but the configuration has been changed since");
    else
        exchange.verified = tr("yes: the switch holds this configuration");
    return record;
}

bool RecordExport::exportTo(const QString &path)
{
    m_host.setBusy(true);
    const bool ok = record().write(path);
    m_host.setBusy(false);
    if (!ok)
        m_host.showMessage(QCoreApplication::translate("CorvaneCfg", "Could not save file!"));
    return ok;
}

void RecordExport::exportRecord()
{
    QFileDialog dialog(m_host.hostWindow());
    dialog.setWindowTitle(tr("Export record"));
    dialog.setNameFilter(tr("PDF file (*.pdf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // With the suffix known here, the dialog asks before it lets a file be replaced.
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    const QString fileName = m_changes.document().fileName;
    if (!fileName.isEmpty()) {
        const QFileInfo info(fileName);
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.completeBaseName() + QStringLiteral(".pdf"));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    exportTo(dialog.selectedFiles().constFirst());
}
