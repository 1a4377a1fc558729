#pragma once

#include <QLabel>

class DocumentChanges;
class QStatusBar;

// The status bar's standing word on which file the window shows: the file's name, or
// "Untitled" when the document has none (after New, or after a readout), and whether
// it holds unsaved changes. The window title names only the switch model.
class DocumentStatus : public QLabel
{
    Q_OBJECT

public:
    DocumentStatus(DocumentChanges &changes, QStatusBar &statusBar);

protected:
    void changeEvent(QEvent *event) override;

private:
    void showState();

    DocumentChanges &m_changes;
};
