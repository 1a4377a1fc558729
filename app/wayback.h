#pragma once

#include "app/keepdialog.h"
#include "document/configuration.h"
#include "document/restorepoints.h"

#include <QObject>
#include <QPointer>
#include <QString>

class CommandHost;
class DeviceSequence;
class DocumentChanges;
class DocumentCommands;
class QAction;
class QMenu;
class QMessageBox;
struct PortDescription;

// The window's way back from a transmission. Before "Set device configuration" writes
// anything, the switch's present configuration is kept as a restore point; after a
// successful transmission the operator is asked to keep the new one, and going back
// (asked for, the question closed, or no answer in time) sends the restore point back.
// Every readout, transmission, verification and going back goes into the journal, and
// Action → History… works on the journal's entries.
class WayBack : public QObject
{
    Q_OBJECT

public:
    struct Parts
    {
        CommandHost &host;
        DocumentChanges &changes;
        DocumentCommands &commands;
        DeviceSequence &sequence;
        const PortDescription &port;
        QMessageBox &messageBox;
        QMenu &actionMenu;
    };

    explicit WayBack(Parts parts, QObject *parent = nullptr);
    ~WayBack() override;

    void retranslate();
    // The keep question while it is open.
    KeepDialog *keepDialog() const { return m_keep; }

private:
    bool saveRestorePoint(const Configuration &previous, QString *why);
    void installHook();
    void onOutcome();
    void journal();
    void ask();
    void answered(KeepDialog::Answer answer);
    void goBack();
    void showHistory();
    void openAsNew(const Configuration &config);
    void compare(const Configuration &config);

    Parts m;
    QAction *m_history = nullptr;
    QPointer<KeepDialog> m_keep;
    // The restore point of the transmission under way, set when it was saved.
    QString m_restorePoint;
    RestorePoints m_restorePoints;
    bool m_exchangeRunning = false;
    Configuration m_previous;
    // What going back sends, and why it goes back.
    QString m_backFile;
    Configuration m_back;
    QString m_backReason;
    // A configuration from the history on its way to the switch, and its file.
    QString m_sentFile;
    QString m_sentSha;
};
