#pragma once

#include "document/configrecord.h"

#include <QObject>
#include <QPointer>

class CommandHost;
class DocumentChanges;
class ExchangeReport;
class QAction;
class QMenu;

// File → "Export record…": the PDF record of the window's configuration, with the last
// exchange with a switch, written to a file the operator chooses. Its labels follow the
// interface language.
class RecordExport : public QObject
{
    Q_OBJECT

public:
    // Puts the action into `fileMenu` right after `after`; the window is the parent.
    RecordExport(CommandHost &host, DocumentChanges &changes, ExchangeReport &report,
                 QMenu &fileMenu, QAction &after);

    // The record as it would be written now. Clears the tile selection, as printing does.
    ConfigRecord record();
    // Writes the record to `path`; on failure the operator is told and false returned.
    bool exportTo(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void exportRecord();
    void retranslate();

    CommandHost &m_host;
    DocumentChanges &m_changes;
    // The window lets the device sequence, which owns the report, go before its children.
    QPointer<ExchangeReport> m_report;
    QAction *const m_action;
};
